// Services that never stop answering, or answer too slowly to notice: every
// read must end with a clear failure, within its bounds of memory and time.
// Each run happens in a child process, so a run-away read cannot take the
// test runner down.

#include "GoogleFixture.h"

#include "fakes/HostileServer.h"
#include "online/WebRequest.h"

#include <QElapsedTimer>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

constexpr qint64 kMiB = 1024 * 1024;

using HostileService = GoogleFixture;

// Before the reply was read as it came, an endless chunked answer grew until
// memory ran out; now a page stops at the cap of one answer.
TEST_F(HostileService, EndlessChunkedPageStopsAtTheCap)
{
    const ChildRun run = RunInChildWithin(60, [&] {
        HostileServer hostile(HostileServer::Mode::EndlessChunked);
        Connect();
        qputenv("CARDOLIN_GOOGLE_PEOPLE_URL", hostile.BaseUrl().toUtf8());
        const bool failed = book.ImportFromGoogleContactsService() == 0 || !book.LastError().isEmpty();
        return failed && hostile.requests > 0 && hostile.bytesSent < 64 * kMiB ? 0 : 1;
    });
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_LT(run.growthBytes, 200 * kMiB);
}

// A byte every 50 ms keeps the idle timeout from ever firing; the overall
// deadline ends the request all the same.
TEST_F(HostileService, SlowDripMeetsTheOverallDeadline)
{
    Connect();
    HostileServer hostile(HostileServer::Mode::Drip, 50);
    qputenv("CARDOLIN_GOOGLE_PEOPLE_URL", hostile.BaseUrl().toUtf8());
    TQorContacts::GoogleServiceTiming timing{0, 0, 0};
    timing.requestIdleMs = 1000;
    timing.requestDeadlineMs = 1500;
    book.SetGoogleServiceTiming(timing);
    QElapsedTimer clock;
    clock.start();
    const ChildRun run = RunInChildWithin(60, [&] { return book.ImportFromGoogleContactsService() == 0 ? 1 : 0; });
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_LT(clock.elapsed(), 15000);
}

// A service that keeps handing out full pages with a next page token: the
// read stops at the most an account can hold, and fails.
TEST_F(HostileService, EndlessPagesStopAtTheMostAnAccountHolds)
{
    struct Case
    {
        const char *name;
        int pageSize;
        const char *message;
    };
    const Case cases[] = {
        {"people", 2500, "The Google account holds more than 100000 contacts (the most Cardolin reads)."},
        {"groups", 500, "The Google account holds more than 10000 contact groups (the most Cardolin reads)."},
    };
    for (const Case &c : cases) {
        google.endlessPageSize = c.pageSize;
        const ChildRun run = RunInChildWithin(120, [&] {
            Connect();
            const bool people = std::string(c.name) == "people";
            const int read = people ? book.ImportFromGoogleContactsService()
                                    : book.ReadGoogleContactGroupsFromGoogleContactsService();
            const bool refused = !book.LastError().isEmpty() && prompts.errors.value(0) == c.message;
            return refused && read != 0 ? 0 : 1;
        });
        EXPECT_TRUE(run.finished) << c.name;
        EXPECT_EQ(run.exitCode, 0) << c.name;
        EXPECT_LT(run.growthBytes, 1536 * kMiB) << c.name;
    }
}

TEST(WebRequestBounds, EndlessAnswerIsNoAnswer)
{
    HostileServer hostile(HostileServer::Mode::EndlessChunked);
    const ChildRun run = RunInChildWithin(60, [&] {
        WebRequest request;
        request.baseUrl = hostile.BaseUrl();
        const WebResponse response = Execute(request);
        return response.status == 0 && response.body.isEmpty() && hostile.bytesSent < 64 * kMiB ? 0 : 1;
    });
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_LT(run.growthBytes, 200 * kMiB);
}

} // namespace
