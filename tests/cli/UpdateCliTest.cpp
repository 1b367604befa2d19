#include "fakes/FakeUpdateServer.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using cardolin::testing::FakeUpdateServer;

namespace {

struct Outcome
{
    int exitCode = -1;
    QString out;
    QString err;
};

// The server answers on this thread, so the wait keeps serving it.
Outcome Cli(const QStringList &arguments, const QString &environmentUrl = {})
{
    QTemporaryDir home;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.remove(QStringLiteral("CARDOLIN_UPDATE_URL"));
    if (!environmentUrl.isEmpty())
        environment.insert(QStringLiteral("CARDOLIN_UPDATE_URL"), environmentUrl);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUILLET_CLI), arguments);
    process.closeWriteChannel();
    for (int waited = 0; !process.waitForFinished(20) && waited < 3000; ++waited)
        QCoreApplication::processEvents();
    if (process.state() != QProcess::NotRunning || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(CliUpdate, ExitCodesTellUpToDateNewerAndFailed)
{
    FakeUpdateServer server;
    const QString url = server.Url(QStringLiteral("/velmora/VelmoraUpdates.txt"));
    // The program's own version is far below 99.
    server.Publish(QStringLiteral("/velmora/VelmoraUpdates.txt"),
                   "[Quillet]\nVersion=99.00.00\nDownloadFileURL=http://example.org/q.deb\n");
    Outcome newer = Cli({"update", "check", "--url", url});
    EXPECT_EQ(newer.exitCode, 1) << newer.err.toStdString();
    EXPECT_TRUE(newer.out.contains(u"99.00.00"));
    EXPECT_TRUE(newer.out.contains(u"http://example.org/q.deb"));

    server.Publish(QStringLiteral("/velmora/VelmoraUpdates.txt"), "[Quillet]\nVersion=0.00.00\n");
    const Outcome current = Cli({"update", "check"}, url);
    EXPECT_EQ(current.exitCode, 0) << current.err.toStdString();
    EXPECT_EQ(current.out, QStringLiteral("There are no new versions available.\n"));

    const Outcome missing = Cli({"update", "check", "--url", server.Url(QStringLiteral("/nothing.txt"))});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains(u"404 Not Found"));

    const int requestsBefore = int(server.requests.size());
    const Outcome unconfigured = Cli({"update", "check"});
    EXPECT_EQ(unconfigured.exitCode, 2);
    EXPECT_TRUE(unconfigured.err.contains(u"No update address is configured"));
    EXPECT_EQ(server.requests.size(), requestsBefore);

    // A section for another program tells nothing about this one.
    server.Publish(QStringLiteral("/velmora/VelmoraUpdates.txt"), "[Other]\nVersion=99.00.00\n");
    EXPECT_EQ(Cli({"update", "check", "--url", url}).exitCode, 2);
}

} // namespace
