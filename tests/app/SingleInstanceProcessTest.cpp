#include "platform/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const char *const kChannelVariables[] = {"XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "TMPDIR"};

// The channel name the program computes in an environment.
QString ChannelFor(const QProcessEnvironment &environment)
{
    QList<QByteArray> saved;
    for (const char *name : kChannelVariables) {
        saved.append(qgetenv(name));
        qputenv(name, environment.value(name).toUtf8());
    }
    const QString name = cardolin::platform::SingleInstanceName();
    for (int i = 0; i < saved.size(); ++i)
        qputenv(kChannelVariables[i], saved[i]);
    return name;
}

bool WaitForChannel(const QString &name, const QProcess &owner)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 60000 && owner.state() == QProcess::Running) {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(200))
            return true;
        QThread::msleep(100);
    }
    return false;
}

struct SingleInstanceProcess : ::testing::Test
{
    QTemporaryDir dir;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

    SingleInstanceProcess()
    {
        for (const char *folder : {"home/ann", "runtime", "tmp"})
            QDir().mkpath(dir.filePath(folder));
        ::chmod(QFile::encodeName(dir.filePath("runtime")).constData(), 0700);
        environment.insert("HOME", dir.filePath("home/ann"));
        environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        environment.insert("XDG_RUNTIME_DIR", dir.filePath("runtime"));
        environment.insert("TMPDIR", dir.filePath("tmp"));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        // Leaks inside the window system's libraries are not ours to judge here.
        environment.insert("ASAN_OPTIONS", "detect_leaks=0");
    }

    void Start(QProcess &process, const QStringList &arguments)
    {
        process.setProcessEnvironment(environment);
        process.start(QUILLET_EXECUTABLE, arguments);
        ASSERT_TRUE(process.waitForStarted());
    }

    static void Stop(QProcess &process)
    {
        process.kill();
        process.waitForFinished();
    }
};

TEST_F(SingleInstanceProcess, ASecondStartHandsOverAndEndsWithSuccess)
{
    QProcess first;
    Start(first, {});
    const QString channel = ChannelFor(environment);
    EXPECT_TRUE(channel.startsWith(dir.filePath("runtime/")));
    ASSERT_TRUE(WaitForChannel(channel, first)) << first.readAllStandardError().data();

    QProcess second;
    Start(second, {"/home/bob/Contacts/bob.qcb"});
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    Stop(first);
}

TEST_F(SingleInstanceProcess, AnOpenRuntimeFolderIsNotUsedAndItsSquatterGetsNothing)
{
    // Another user could have made the socket in a folder open to all; the
    // program keeps its channel in a private folder of its own instead.
    ::chmod(QFile::encodeName(dir.filePath("runtime")).constData(), 0777);
    const QString channel = ChannelFor(environment);
    EXPECT_TRUE(channel.startsWith(dir.filePath("tmp/cardolin-"))) << channel.toStdString();
    QLocalServer squatter;
    ASSERT_TRUE(squatter.listen(dir.filePath("runtime/") + QFileInfo(channel).fileName()));

    QProcess first;
    Start(first, {"/home/ann/Contacts/ann.qcb"});
    ASSERT_TRUE(WaitForChannel(channel, first)) << first.readAllStandardError().data();
    EXPECT_FALSE(squatter.waitForNewConnection(0));
    Stop(first);
}

} // namespace
