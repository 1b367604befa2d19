#include "fakes/CoreApplication.h"
#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUuid>

#include <gtest/gtest.h>

using cardolin::platform::SingleInstanceGuard;

namespace {

QString UniqueName()
{
    return "cardolin-test-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// The guard talks over a real local socket, which needs an event loop.
struct SingleInstanceTest : ::testing::Test
{
    static void SetUpTestSuite() { cardolin::testing::EnsureCoreApplication(); }

    template <typename Done> static bool SpinUntil(Done done)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return done();
    }
};

TEST_F(SingleInstanceTest, ALaterStartHandsItsArgumentsToTheFirst)
{
    const QString name = UniqueName();
    SingleInstanceGuard first(name);
    QList<QStringList> activations;
    first.OnActivation = [&](const QStringList &arguments) { activations.append(arguments); };
    ASSERT_TRUE(first.Claim({}));

    // The second guard connects and writes synchronously; the first one
    // receives on its event loop.
    SingleInstanceGuard second(name);
    EXPECT_FALSE(second.Claim({"/home/ann/Contacts/ann.qcb", "two words"}));
    ASSERT_TRUE(SpinUntil([&] { return !activations.isEmpty(); }));
    EXPECT_EQ(activations.first(), (QStringList{"/home/ann/Contacts/ann.qcb", "two words"}));
}

TEST_F(SingleInstanceTest, TheChannelOfAnEndedRunIsTakenOver)
{
    const QString name = UniqueName();
    {
        SingleInstanceGuard ended(name);
        ASSERT_TRUE(ended.Claim({}));
    }
    SingleInstanceGuard next(name);
    EXPECT_TRUE(next.Claim({}));
    SingleInstanceGuard third(name);
    EXPECT_FALSE(third.Claim({}));
}

} // namespace
