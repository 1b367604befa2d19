// The update check against servers and update files that try to make it
// read too much, wait for ever, or read this machine's files.

#include "support/QorAppUpdate.h"

#include "fakes/FakeUpdateServer.h"
#include "fakes/HostileServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

constexpr qint64 kMiB = 1024 * 1024;

TQorAppUpdate UpdateOf(const QString &address, const QString &version = QStringLiteral("1.02.08"))
{
    TQorAppUpdate update;
    update.UpdateFileURL = address;
    update.Version = version;
    update.ProgramName = QStringLiteral("Quillet");
    return update;
}

TEST(VersionOrder, PartByPartAsNumbers)
{
    struct Case
    {
        const char *a;
        const char *b;
        int order;
    };
    const Case cases[] = {
        {"1.02.08", "1.02.09", -1},
        {"1.02.08", "1.02.08", 0},
        {"1.10.00", "1.09.99", 1},
        {"0.1.0", "00.00.01", 1}, // character codes put "0.1.0" first
        {"1.9", "1.10", -1},
        {"1.2", "1.2.0", 0},
        {"1.2", "1.2.1", -1},
        {"2", "10", -1},
        {"1.02.08", "1.02.08b1", -1},
        {"", "0.0.1", -1},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CompareVersions(c.a, c.b), c.order) << c.a << " vs " << c.b;
        EXPECT_EQ(CompareVersions(c.b, c.a), -c.order) << c.b << " vs " << c.a;
    }
}

TEST(UpdateCheckVersions, OlderPublishedVersionIsNotNewer)
{
    FakeUpdateServer server;
    server.Publish(QStringLiteral("/u.txt"), "[Quillet]\nVersion=00.00.01\n");
    EXPECT_EQ(UpdateOf(server.Url("/u.txt"), "0.1.0").Check().Outcome, TQorAppUpdate::TOutcome::UpToDate);
    server.Publish(QStringLiteral("/u.txt"), "[Quillet]\nVersion=0.10.0\n");
    EXPECT_EQ(UpdateOf(server.Url("/u.txt"), "0.9.0").Check().Outcome, TQorAppUpdate::TOutcome::NewerVersion);
}

// The update file, or a read-me it names, as an endless chunked body: the
// 1 MiB cap holds as the bytes arrive.
TEST(UpdateCheckBounds, EndlessBodiesStopAtTheCap)
{
    for (const bool readme : {false, true}) {
        FakeUpdateServer site;
        HostileServer hostile(HostileServer::Mode::EndlessChunked);
        site.Publish(QStringLiteral("/u.txt"),
                     "[Quillet]\nVersion=9.0\nReadmeFileURL=" + hostile.Url("readme.txt").toUtf8() + "\n");
        const QString address = readme ? site.Url("/u.txt") : hostile.Url("u.txt");
        const ChildRun run = RunInChildWithin(60, [&] {
            const TQorAppUpdate::TCheckResult result = UpdateOf(address).Check();
            const bool bounded = readme ? result.Outcome == TQorAppUpdate::TOutcome::NewerVersion && result.Info.Readme.isEmpty()
                                        : result.Outcome == TQorAppUpdate::TOutcome::Failed
                                              && result.FailureText.contains("larger than 1048576 bytes");
            return bounded && hostile.bytesSent < 64 * kMiB ? 0 : 1;
        });
        EXPECT_TRUE(run.finished) << readme;
        EXPECT_EQ(run.exitCode, 0) << readme;
        EXPECT_LT(run.growthBytes, 100 * kMiB) << readme;
    }
}

// One byte every 50 ms never lets the idle timeout fire: the deadline does.
TEST(UpdateCheckBounds, SlowDripMeetsTheDeadline)
{
    HostileServer hostile(HostileServer::Mode::Drip, 50);
    TQorAppUpdate update = UpdateOf(hostile.Url("u.txt"));
    update.TimeoutMs = 1000;
    update.DeadlineMs = 1500;
    QElapsedTimer clock;
    clock.start();
    const ChildRun run = RunInChildWithin(60, [&] {
        const TQorAppUpdate::TCheckResult result = update.Check();
        return result.Outcome == TQorAppUpdate::TOutcome::Failed && result.FailureText.contains("in time") ? 0 : 1;
    });
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_LT(clock.elapsed(), 15000);
}

// A published update file names files of this machine; only one the user
// configured may.
TEST(UpdateCheckSources, PublishedFilesNameNoLocalFiles)
{
    QTemporaryDir dir;
    const QString secret = dir.filePath("registry.txt");
    QFile file(secret);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("GoogleClientSecret=hush\n");
    file.close();
    const QString fifo = dir.filePath("fifo.txt");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    FakeUpdateServer site;
    struct Case
    {
        const char *name;
        bool published; // the update file comes from the web site
        QString readme;
        const char *expected;
    };
    const Case cases[] = {
        {"web file names a file: address", true, QUrl::fromLocalFile(secret).toString(), ""},
        {"web file names a path", true, secret, ""},
        {"web file names a FIFO", true, fifo, ""},
        {"web file names plain http elsewhere", true, "http://example.invalid/readme.txt", ""},
        {"local file names a file", false, secret, "GoogleClientSecret=hush\n"},
        {"local file names a FIFO", false, fifo, ""},
    };
    for (const Case &c : cases) {
        const QByteArray text = "[Quillet]\nVersion=9.0\nReadmeFileURL=" + c.readme.toUtf8()
                                + "\nDownloadFileURL=" + c.readme.toUtf8() + "\n";
        site.Publish(QStringLiteral("/u.txt"), text);
        const QString local = dir.filePath("u.txt");
        QFile updateFile(local);
        ASSERT_TRUE(updateFile.open(QIODevice::WriteOnly | QIODevice::Truncate));
        updateFile.write(text);
        updateFile.close();
        const TQorAppUpdate update = UpdateOf(c.published ? site.Url("/u.txt") : local);
        const ChildRun run = RunInChildWithin(20, [&] {
            const TQorAppUpdate::TCheckResult result = update.Check();
            if (result.Outcome != TQorAppUpdate::TOutcome::NewerVersion || result.Info.Readme != c.expected)
                return 1;
            // The installer follows the same rule.
            TUpdateTransfer transfer(update.TransferOptions());
            const bool sized = transfer.QuerySize(c.readme) > 0;
            return sized == !std::string(c.expected).empty() ? 0 : 2;
        });
        EXPECT_TRUE(run.finished) << c.name;
        EXPECT_EQ(run.exitCode, 0) << c.name;
    }
}

} // namespace
