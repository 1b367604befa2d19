#include "platform/MailHandOver.h"
#include "platform/SystemDesktopServices.h"
#include "platform/SystemProxy.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cardolin::platform;

namespace {

TEST(SystemDesktop, MailArgumentsLeaveOutWhatIsEmptyAndNeverPassAnOption)
{
    EXPECT_EQ(MailProgramArguments("", "", "", ""), QStringList{"--utf8"});
    EXPECT_EQ(MailProgramArguments("a@x; b@y;--attach;/etc/passwd", "Hi", "Body", "/tmp/c.vcf"),
              (QStringList{"--utf8", "--subject", "Hi", "--body", "Body", "--attach", "/tmp/c.vcf", "a@x", "b@y", "/etc/passwd"}));
    SystemDesktopServices desktop;
    EXPECT_FALSE(desktop.OpenAddress("  "));
    desktop.SetClipboardText("kept");
    EXPECT_EQ(desktop.ClipboardText(), "kept");
}

void WriteScript(const QString &path, const QByteArray &body)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Whether an installer could be opened is asked of stand-ins of the desktop's
// tools: xdg-mime knows a program for ".deb" files only.
TEST(SystemDesktop, AFileHasAnOpenerOnlyWithXdgOpenAndAProgramForItsType)
{
    QTemporaryDir tools;
    WriteScript(tools.filePath("xdg-mime"), "case \"$2:$3\" in\n"
                                            "filetype:*.deb) echo application/x-deb ;;\n"
                                            "filetype:*) echo text/plain ;;\n"
                                            "default:application/x-deb) echo installer.desktop ;;\n"
                                            "esac\n");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", tools.path().toLocal8Bit());
    EXPECT_FALSE(HasOpenerFor("/tmp/cardolin.deb")); // no xdg-open
    WriteScript(tools.filePath("xdg-open"), "exit 0\n");
    EXPECT_TRUE(HasOpenerFor("/tmp/cardolin.deb"));
    EXPECT_FALSE(HasOpenerFor("/tmp/cardolin.txt"));
    qputenv("PATH", path);
}

TEST(SystemProxy, SchemeChoosesTheVariable)
{
    qputenv("https_proxy", "http://secure.example:8443/");
    qputenv("http_proxy", "plain.example");
    const struct
    {
        const char *scheme;
        bool use;
        const char *address;
        int port;
    } cases[] = {
        {"HTTPS", true, "secure.example", 8443},
        {"http", true, "plain.example", 80},
        {"gopher", true, "plain.example", 80},
        {"ftp", false, "", 80},
    };
    for (const auto &c : cases) {
        bool use = !c.use;
        QString address = "x";
        int port = 0;
        EXPECT_TRUE(GetInternetProxySettings(c.scheme, use, address, port));
        EXPECT_EQ(use, c.use) << c.scheme;
        EXPECT_EQ(address, c.address) << c.scheme;
        EXPECT_EQ(port, c.port) << c.scheme;
    }
    qunsetenv("https_proxy");
    qunsetenv("http_proxy");
}

} // namespace
