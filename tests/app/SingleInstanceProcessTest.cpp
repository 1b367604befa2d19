#include "platform/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// The channel name the program computes for a settings folder.
QString ChannelFor(const QString &configFolder)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", configFolder.toUtf8());
    const QString name = cardolin::platform::SingleInstanceName();
    qputenv("XDG_CONFIG_HOME", saved);
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

TEST(SingleInstanceProcess, ASecondStartHandsOverAndEndsWithSuccess)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("home/ann"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", dir.filePath("home/ann"));
    environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    // Leaks inside the window system's libraries are not ours to judge here.
    environment.insert("ASAN_OPTIONS", "detect_leaks=0");

    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(QUILLET_EXECUTABLE, {});
    ASSERT_TRUE(first.waitForStarted());
    const QString channel = ChannelFor(dir.filePath("config"));
    ASSERT_TRUE(WaitForChannel(channel, first)) << first.readAllStandardError().data();

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(QUILLET_EXECUTABLE, {"/home/bob/Contacts/bob.qcb"});
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished();
    QLocalServer::removeServer(channel);
}

} // namespace
