#include "support/QorAppUpdate.h"
#include "support/QorRegistryEnhanced.h"
#include "support/RegistryStore.h"
#include "support/SettingsTable.h"
#include "support/StartupSettings.h"
#include "support/UpdateDownload.h"

#include "fakes/FakeUpdateServer.h"
#include "fakes/RecordingDesktop.h"
#include "fakes/RecordingPrompts.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cardolin;
using cardolin::testing::FakeUpdateServer;
using cardolin::testing::RecordingDesktop;
using cardolin::testing::RecordingPrompts;
using U = TQorAppUpdateFileSizeUnit;

namespace {

const QLocale kComma(QLocale::English, QLocale::UnitedStates);

TEST(FormatFileSize, EveryUnit)
{
    struct Case
    {
        qint64 size;
        U unit;
        const char *text;
    };
    const Case cases[] = {
        {0, U::Auto, "0 B"},
        {1, U::Auto, "1 B"},
        {1024, U::Auto, "1,024 B"},
        {1025, U::Auto, "1 KB"},
        {1048576, U::Auto, "1,024 KB"},
        {5242880, U::Auto, "5 MB"},
        {1073741825, U::Auto, "1 GB"},
        {5000000000000, U::Auto, "4,656 GB"},
        {0, U::Bytes, "0 B"},
        {1234567, U::Bytes, "1,234,567 B"},
        {0, U::KiloBytes, "0 KB"},
        {500, U::KiloBytes, "1 KB"},
        {1536, U::KiloBytes, "1 KB"},
        {2621440, U::KiloBytes, "2,560 KB"},
        {0, U::MegaBytes, "0 MB"},
        {1, U::MegaBytes, "1 MB"},
        {3 * 1048576 + 5, U::MegaBytes, "3 MB"},
        {0, U::GigaBytes, "0 GB"},
        {1048576, U::GigaBytes, "1 GB"},
        {qint64(2048) * 1073741824, U::GigaBytes, "2,048 GB"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FormatFileSize(c.size, c.unit, kComma), QString::fromUtf8(c.text)) << c.size;
    // The separator is the locale's.
    EXPECT_EQ(FormatFileSize(2621440, U::KiloBytes, QLocale(QLocale::German)), QStringLiteral("2.560 KB"));
}

TEST(DownloadTexts, TransferSpeedAndTimes)
{
    QLocale::setDefault(kComma);
    EXPECT_EQ(DownloadTransferText(0, 2621440, true, U::KiloBytes), QStringLiteral("0 KB of 2,560 KB (0%)"));
    EXPECT_EQ(DownloadTransferText(1310720, 2621440, true, U::KiloBytes), QStringLiteral("1,280 KB of 2,560 KB (50%)"));
    EXPECT_EQ(DownloadTransferText(2, 3, true, U::Bytes), QStringLiteral("2 B of 3 B (67%)"));
    // A guessed size gives no percentage.
    EXPECT_EQ(DownloadTransferText(1024, kUnknownDownloadSize, false, U::KiloBytes), QStringLiteral("1 KB of 4,096 KB"));
    EXPECT_EQ(DownloadSpeedText(5000, 0, U::KiloBytes), QStringLiteral("0 KB/sec"));
    EXPECT_EQ(DownloadSpeedText(10240, 2, U::KiloBytes), QStringLiteral("5 KB/sec"));
    EXPECT_EQ(ClockText(0), QStringLiteral("00:00:00"));
    EXPECT_EQ(ClockText(90061), QStringLiteral("25:01:01"));
    EXPECT_EQ(RemainingSeconds(0, 100, 5), 0);
    EXPECT_EQ(RemainingSeconds(25, 100, 5), 15);
    EXPECT_EQ(RemainingSeconds(200, 100, 5), 0);
    QLocale::setDefault(QLocale::c());
}

TEST(CompareVersions, PartsByValueThenTheBuild)
{
    struct Case
    {
        const char *installed, *published;
        int order;
    };
    const Case cases[] = {
        {"0.01.00", "0.01.00b0", 0}, // no build is build 0
        {"0.01.00b0", "0.01.00b0", 0},
        {"0.01.00b3", "0.01.00b3", 0},
        {"0.01.00", "0.01.00b3", -1},
        {"0.01.00b0", "0.01.00b1", -1},
        {"1.02.08b10", "1.02.08b9", 1},
        {"0.01.00b9", "0.01.01b0", -1},
        {"1.02.08", "1.02.09", -1},
        {"1.10", "1.9", 1},
        {"0.1.0", "00.00.01", 1},
        {"1.2", "1.2.0", 0},
        {"1.0rc", "1.0", 1}, // other letters still break ties as text
    };
    for (const Case &c : cases) {
        const QString a = QString::fromUtf8(c.installed), b = QString::fromUtf8(c.published);
        EXPECT_EQ(CompareVersions(a, b), c.order) << c.installed << " / " << c.published;
        EXPECT_EQ(CompareVersions(b, a), -c.order) << c.published << " / " << c.installed;
    }
}

TEST(UpdateSection, TakesOnlyTheProgramsSectionAndKeepsEarlierAddresses)
{
    const QByteArray ini = "[Other]\nVersion=9.99.99\nDownloadFileURL=http://x/other\n"
                           "[quillet]\n; a comment\nversion = 1.02.09\nDownloadFileURL=http://x/new.deb\n"
                           "SHA256Hash=ABCD\nnot a pair\n";
    TUpdateInfo info;
    info.DownloadFileURL = QStringLiteral("http://x/kept.deb");
    ReadUpdateSection(ini, QStringLiteral("Quillet"), info);
    EXPECT_EQ(info.Version, QStringLiteral("1.02.09"));
    EXPECT_EQ(info.DownloadFileURL, QStringLiteral("http://x/kept.deb"));
    EXPECT_EQ(info.SHA256Hash, QStringLiteral("ABCD"));
    EXPECT_EQ(ExpectedDigest(EffectiveHashType(THashType::htNone, info), info), QStringLiteral("abcd"));
}

TEST(UpdateSource, KindsAndFileNames)
{
    struct Case
    {
        const char *address;
        TUpdateSourceKind kind;
        const char *fileName;
    };
    const Case cases[] = {
        {"https://example.org/velmora/Quillet_1.02.09.deb", TUpdateSourceKind::Web, "Quillet_1.02.09.deb"},
        {"http://example.org/get?file=1", TUpdateSourceKind::Web, "get"},
        {"http://example.org/", TUpdateSourceKind::Web, ""},
        {"http://example.org/%2E%2E", TUpdateSourceKind::Web, ""},
        {"/srv/share/Quillet.deb", TUpdateSourceKind::Path, "Quillet.deb"},
        {"file:///srv/share/Quillet.deb", TUpdateSourceKind::Path, "Quillet.deb"},
        {"ftp://example.org/a.deb", TUpdateSourceKind::Invalid, ""},
        {"nonsense", TUpdateSourceKind::Invalid, ""},
    };
    for (const Case &c : cases) {
        const QString address = QString::fromUtf8(c.address);
        EXPECT_EQ(UpdateSourceKind(address), c.kind) << c.address;
        EXPECT_EQ(UpdateSourceFileName(address), QString::fromUtf8(c.fileName)) << c.address;
    }
    EXPECT_EQ(UpdatePageBeside(QStringLiteral("https://example.org/velmora/VelmoraUpdates.txt")),
              QStringLiteral("https://example.org/velmora/"));
}

TEST(FileDigest, KnownDigestsAndVerification)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("abc"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("abc");
    file.close();
    EXPECT_EQ(FileDigest(path, THashType::htMD5), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_EQ(FileDigest(path, THashType::htSHA1), QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d"));
    EXPECT_EQ(FileDigest(path, THashType::htSHA256),
              QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));

    TUpdateInfo info;
    EXPECT_TRUE(DownloadVerified(path, THashType::htNone, info)); // nothing to check against
    info.SHA256Hash = QStringLiteral("BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
    EXPECT_TRUE(DownloadVerified(path, THashType::htNone, info));
    info.SHA256Hash[0] = u'C';
    // A published digest is checked even when none was asked for.
    EXPECT_FALSE(DownloadVerified(path, THashType::htNone, info));
    info.MD5Hash = QStringLiteral("900150983CD24FB0D6963F7D28E17F72");
    EXPECT_TRUE(DownloadVerified(path, THashType::htMD5, info));
    EXPECT_FALSE(DownloadVerified(path, THashType::htSHA1, info)); // asked for, not published
}

// The main window's check against a site on this machine.
class UpdateCheck : public ::testing::Test
{
protected:
    void SetUp() override
    {
        update.UpdateFileURL = server.Url(QStringLiteral("/velmora/VelmoraUpdates.txt"));
        update.UpdatePageURL = server.Url(QStringLiteral("/velmora/"));
        update.Version = QStringLiteral("1.02.08");
        update.ProgramName = QStringLiteral("Quillet");
        update.ShowNotifyBox = [this](const TUpdateInfo &info) { shown.append(info); };
    }
    void PublishSection(const QByteArray &section)
    {
        server.Publish(QStringLiteral("/velmora/VelmoraUpdates.txt"), "[Cardolin]\nVersion=7.00.00\n" + section);
    }
    bool Execute() { return update.Execute(false, prompts, desktop); }

    FakeUpdateServer server;
    TQorAppUpdate update;
    RecordingPrompts prompts;
    RecordingDesktop desktop;
    QList<TUpdateInfo> shown;
};

TEST_F(UpdateCheck, NewerVersionShowsTheNotifyBoxWithTheReadme)
{
    PublishSection("[Quillet]\nVersion=1.02.09\nDownloadFileURL=" + server.Url("/velmora/q.deb").toUtf8()
                   + "\nReadmeFileURL=" + server.Url("/velmora/readme.txt").toUtf8() + "\n");
    server.Publish(QStringLiteral("/velmora/readme.txt"), "What is new\n");
    EXPECT_TRUE(Execute());
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].Version, QStringLiteral("1.02.09"));
    EXPECT_EQ(shown[0].Readme, QStringLiteral("What is new\n"));
    EXPECT_EQ(shown[0].UpdatePageURL, update.UpdatePageURL);
    EXPECT_TRUE(prompts.information.isEmpty());
    EXPECT_TRUE(server.requestLines[0].startsWith(u"GET /velmora/VelmoraUpdates.txt"));
    EXPECT_TRUE(server.requests[0].contains("User-Agent: Mozilla/4.0 (compatible; ICS)"));
}

TEST_F(UpdateCheck, AnswersWithoutANewerVersion)
{
    struct Case
    {
        QByteArray section;
        bool pageConfigured;
        bool answerYes;
        const char *information;
        const char *question;
        bool pageOpened;
    };
    const Case cases[] = {
        {"[Quillet]\nVersion=1.02.08\n", true, true, "There are no new versions available.", nullptr, false},
        {"[Quillet]\nVersion=1.01.99\n", false, true, "There are no new versions available.", nullptr, false},
        {"", true, true, nullptr,
         "There are no advertised versions available.\nDo you want to open the update web page?", true},
        {"", true, false, nullptr,
         "There are no advertised versions available.\nDo you want to open the update web page?", false},
        {"", false, true, "There are no new versions available.", nullptr, false},
    };
    for (const Case &c : cases) {
        PublishSection(c.section);
        prompts = RecordingPrompts();
        prompts.answerYes = c.answerYes;
        desktop.opened.clear();
        update.UpdatePageURL = c.pageConfigured ? server.Url(QStringLiteral("/velmora/")) : QString();
        EXPECT_FALSE(Execute());
        EXPECT_TRUE(shown.isEmpty());
        EXPECT_EQ(prompts.information, c.information ? QStringList{QString::fromUtf8(c.information)} : QStringList())
            << c.section.constData();
        EXPECT_EQ(prompts.questions, c.question ? QStringList{QString::fromUtf8(c.question)} : QStringList());
        EXPECT_EQ(desktop.opened.size(), c.pageOpened ? 1 : 0);
    }
}

// The program's own version, as the update file publishes it ("0.01.00b0")
// or without its build, is no newer version.
TEST_F(UpdateCheck, TheRunningVersionIsNotNewerThanItself)
{
    MemoryRegistryStore store;
    TQorRegistryEnhanced registry{store};
    registry.SetKey(QString(kProgramSettingsKey));
    ConfigureAppUpdate(update, registry);
    update.UpdateFileURL = server.Url(QStringLiteral("/velmora/VelmoraUpdates.txt"));
    for (const QString &published : {ProgramVersionText(), VersionWithoutBuild(ProgramVersionText())}) {
        prompts = RecordingPrompts();
        PublishSection("[Quillet]\nVersion=" + published.toUtf8() + "\n");
        EXPECT_FALSE(Execute()) << published.toStdString();
        EXPECT_EQ(prompts.information, QStringList{"There are no new versions available."});
    }
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(UpdateCheck, FailuresNeverPassForUpToDate)
{
    // Nothing published: 404. With a page the page is offered with the
    // reason; without one the reason is an error.
    prompts.answerYes = true;
    EXPECT_FALSE(Execute());
    EXPECT_EQ(prompts.questions, QStringList{"The update file could not be read (Failed: 404 Not Found).\n"
                                             "Do you want to open the update web page?"});
    EXPECT_EQ(desktop.opened, QStringList{update.UpdatePageURL});
    EXPECT_TRUE(prompts.information.isEmpty());

    prompts = RecordingPrompts();
    update.UpdatePageURL.clear();
    EXPECT_FALSE(Execute());
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_EQ(prompts.errors[0], QStringLiteral("The update file could not be read (Failed: 404 Not Found)."));
    EXPECT_TRUE(prompts.information.isEmpty());

    prompts = RecordingPrompts();
    update.UpdateFileURL = QStringLiteral("gopher://x/y");
    EXPECT_EQ(update.Check().FailureText, QStringLiteral("\"gopher://x/y\" is an invalid source."));

    update.UpdateFileURL.clear();
    EXPECT_FALSE(Execute());
    EXPECT_EQ(server.requests.size(), 2); // no request without an address
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].startsWith(u"No update address is configured"));
}

TEST_F(UpdateCheck, ReadsTheUpdateFileFromAPathAndFollowsRedirections)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("VelmoraUpdates.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Quillet]\nVersion=1.02.10\n");
    file.close();
    update.UpdateFileURL = file.fileName();
    EXPECT_EQ(update.Check().Outcome, TQorAppUpdate::TOutcome::NewerVersion);

    server.Publish(QStringLiteral("/moved.txt"), {302, "", true, -1, server.Url("/velmora/VelmoraUpdates.txt").toUtf8()});
    PublishSection("[Quillet]\nVersion=1.02.08\n");
    update.UpdateFileURL = server.Url(QStringLiteral("/moved.txt"));
    EXPECT_EQ(update.Check().Outcome, TQorAppUpdate::TOutcome::UpToDate);
}

TEST_F(UpdateCheck, OversizedUpdateFileIsRefused)
{
    server.Publish(QStringLiteral("/velmora/VelmoraUpdates.txt"), QByteArray(kMaxUpdateTextBytes + 10, 'x'));
    const TQorAppUpdate::TCheckResult result = update.Check();
    EXPECT_EQ(result.Outcome, TQorAppUpdate::TOutcome::Failed);
}

TEST(UpdateTransfer, SizeFromHeadAndFourMiBWhenUnannounced)
{
    FakeUpdateServer server;
    server.Publish(QStringLiteral("/known.deb"), QByteArray(3000, 'k'));
    server.Publish(QStringLiteral("/unknown.deb"), {200, QByteArray(10, 'u'), false, -1, {}});
    TUpdateTransfer transfer({});
    EXPECT_EQ(transfer.QuerySize(server.Url(QStringLiteral("/known.deb"))), 3000);
    EXPECT_TRUE(server.requestLines.last().startsWith(u"HEAD /known.deb"));
    EXPECT_EQ(transfer.QuerySize(server.Url(QStringLiteral("/unknown.deb"))), kUnknownDownloadSize);
    EXPECT_EQ(transfer.QuerySize(server.Url(QStringLiteral("/absent.deb"))), -1);
    EXPECT_EQ(transfer.FailureText(), QStringLiteral("Failed: 404 Not Found"));
}

} // namespace

#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>

namespace {

// A TLS server whose certificate nobody vouches for: the check must refuse it.
class UntrustedTlsServer : public QTcpServer
{
public:
    UntrustedTlsServer(const QString &certificate, const QString &key)
    {
        QFile certificateFile(certificate), keyFile(key);
        certificateFile.open(QIODevice::ReadOnly);
        keyFile.open(QIODevice::ReadOnly);
        m_certificate = QSslCertificate(certificateFile.readAll());
        m_key = QSslKey(keyFile.readAll(), QSsl::Rsa);
        listen(QHostAddress::LocalHost, 0);
    }
    int requestsRead = 0;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setLocalCertificate(m_certificate);
        socket->setPrivateKey(m_key);
        QObject::connect(socket, &QSslSocket::readyRead, socket, [this, socket] {
            ++requestsRead;
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 21\r\n\r\n[Quillet]\nVersion=9\n");
        });
        socket->startServerEncryption();
    }

private:
    QSslCertificate m_certificate;
    QSslKey m_key;
};

TEST(UpdateTransfer, HttpsServerWithoutATrustedCertificateIsRefused)
{
    cardolin::testing::EnsureCoreApplication();
    QTemporaryDir dir;
    const QString key = dir.filePath(QStringLiteral("key.pem")), certificate = dir.filePath(QStringLiteral("cert.pem"));
    QProcess openssl; // the openssl command makes a throw-away certificate
    openssl.start(QStringLiteral("openssl"), {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out",
                                        certificate, "-days", "1", "-subj", "/CN=127.0.0.1", "-addext",
                                        "subjectAltName=IP:127.0.0.1"});
    ASSERT_TRUE(openssl.waitForFinished(60000));
    ASSERT_EQ(openssl.exitCode(), 0);
    UntrustedTlsServer server(certificate, key);
    TQorAppUpdate update;
    update.ProgramName = QStringLiteral("Quillet");
    update.Version = QStringLiteral("1");
    update.UpdateFileURL = QStringLiteral("https://127.0.0.1:%1/velmora/VelmoraUpdates.txt").arg(server.serverPort());
    const TQorAppUpdate::TCheckResult result = update.Check();
    EXPECT_EQ(result.Outcome, TQorAppUpdate::TOutcome::Failed);
    EXPECT_EQ(server.requestsRead, 0);
}

} // namespace
