#include "fakes/CoreApplication.h"
#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace cardolin::platform;

namespace {

QString UniqueName()
{
    return "cardolin-test-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// The guard talks over a real local socket, which needs an event loop.
struct SingleInstanceTest : ::testing::Test
{
    static void SetUpTestSuite() { cardolin::testing::EnsureCoreApplication(); }

    template <typename Done> static bool SpinUntil(Done done, int ms = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < ms)
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

// A user id that is not ours: a guard given it stands for another local user.
unsigned Stranger()
{
    return CurrentUserId() + 1;
}

TEST_F(SingleInstanceTest, AStrangersChannelReceivesNothingAndTheStartRunsOnItsOwn)
{
    // Someone else listens at the name; the later start checks who before
    // sending, here seen from a guard that runs as another user.
    const QString name = UniqueName();
    QLocalServer squatter;
    ASSERT_TRUE(squatter.listen(name));
    SingleInstanceGuard later(name, Stranger());
    EXPECT_TRUE(later.Claim({"/home/ann/Contacts/ann.qcb"}));
    QList<QLocalSocket *> connections;
    QByteArray received;
    SpinUntil([&] {
        while (QLocalSocket *socket = squatter.nextPendingConnection())
            connections.append(socket);
        for (QLocalSocket *socket : connections)
            received += socket->readAll();
        return false;
    }, 300);
    EXPECT_EQ(received, QByteArray());
}

TEST_F(SingleInstanceTest, AStartOfAnotherUserIsNotLetIn)
{
    const QString name = UniqueName();
    SingleInstanceGuard first(name, Stranger());
    int activations = 0;
    first.OnActivation = [&](const QStringList &) { ++activations; };
    ASSERT_TRUE(first.Claim({}));
    SingleInstanceGuard ours(name);
    ours.Claim({"x"});
    SpinUntil([&] { return activations > 0; }, 300);
    EXPECT_EQ(activations, 0);
}

TEST(SingleInstanceFolder, OnlyARealFolderOfOursClosedToOthersIsPrivate)
{
    QTemporaryDir dir;
    const auto folder = [&](const char *name, mode_t mode) {
        const QString path = dir.filePath(name);
        QDir().mkpath(path);
        ::chmod(QFile::encodeName(path).constData(), mode);
        return path;
    };
    QFile::link(folder("private", 0700), dir.filePath("link"));
    QFile file(dir.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const struct
    {
        QString path;
        unsigned owner;
        bool isPrivate;
    } cases[] = {
        {dir.filePath("private"), CurrentUserId(), true},
        {folder("open", 0755), CurrentUserId(), false},
        {folder("group", 0710), CurrentUserId(), false},
        {dir.filePath("private"), Stranger(), false},
        {dir.filePath("link"), CurrentUserId(), false},
        {dir.filePath("file"), CurrentUserId(), false},
        {dir.filePath("missing"), CurrentUserId(), false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsPrivateFolder(c.path, c.owner), c.isPrivate) << c.path.toStdString();
}

// Sets environment variables for the life of the object.
class ScopedEnvironment
{
public:
    ScopedEnvironment(std::initializer_list<std::pair<const char *, QString>> values)
    {
        for (const auto &[name, value] : values) {
            m_saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
            qputenv(name, value.toUtf8());
        }
    }
    ~ScopedEnvironment()
    {
        for (const Saved &saved : m_saved)
            saved.wasSet ? qputenv(saved.name, saved.value) : qunsetenv(saved.name);
    }

private:
    struct Saved
    {
        const char *name;
        QByteArray value;
        bool wasSet;
    };
    QList<Saved> m_saved;
};

TEST(SingleInstanceFolder, AnOpenRuntimeFolderGivesWayToOurOwnAndASquattedOneToNone)
{
    QTemporaryDir dir;
    const QString runtime = dir.filePath("runtime"), temporary = dir.filePath("tmp");
    QDir().mkpath(runtime);
    QDir().mkpath(temporary);
    ::chmod(QFile::encodeName(runtime).constData(), 0755);
    const QString own = temporary + "/cardolin-" + QString::number(CurrentUserId());
    {
        const ScopedEnvironment environment{{"XDG_RUNTIME_DIR", runtime}, {"TMPDIR", temporary}};
        EXPECT_EQ(PrivateRuntimeFolder(), own);
        EXPECT_TRUE(SingleInstanceName().startsWith(own + "/cardolin-"));
        EXPECT_TRUE(IsPrivateFolder(own, CurrentUserId()));
        ::chmod(QFile::encodeName(runtime).constData(), 0700);
        EXPECT_EQ(PrivateRuntimeFolder(), runtime);
    }
    // Someone made our fallback folder first, open to all: there is no channel,
    // and the program starts without one.
    ::chmod(QFile::encodeName(runtime).constData(), 0755);
    ::chmod(QFile::encodeName(own).constData(), 0777);
    const ScopedEnvironment environment{{"XDG_RUNTIME_DIR", runtime}, {"TMPDIR", temporary}};
    EXPECT_EQ(SingleInstanceName(), QString());
    SingleInstanceGuard guard(SingleInstanceName());
    EXPECT_TRUE(guard.Claim({}));
}

} // namespace
