#include "fakes/ChildMemory.h"
#include "fakes/CoreApplication.h"
#include "fakes/Files.h"
#include "platform/FileLock.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace cardolin::platform;
using namespace cardolin::testing;

namespace {

constexpr uid_t kNobody = 65534;
// A user of the shared folder who is neither root nor nobody.
constexpr uid_t kColleague = 4242;

// A folder everyone may write to, where only owners remove their files.
struct SharedFolder : ::testing::Test
{
    QTemporaryDir dir;
    QString shared;

    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "needs root to stand in for other users";
        EnsureCoreApplication();
        shared = dir.filePath("shared");
        ASSERT_TRUE(QDir().mkdir(shared));
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    }

    QString Lock() const { return shared + "/team.qcb.lock"; }

    // A lock file that nobody owns, with what it claims about its holder.
    void PlantNobodysLock(const QByteArray &holder) const
    {
        ASSERT_TRUE(WriteAll(Lock(), holder));
        ASSERT_EQ(::chown(QFile::encodeName(Lock()).constData(), kNobody, kNobody), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(Lock()).constData(), 0644), 0);
    }

    // What Lock answers for a colleague: 0 when it took the lock, else 1 with
    // the reason written to the file "answer".
    ChildRun TryAsColleague(int waitMs) const
    {
        const QString answer = shared + "/answer";
        QFile::remove(answer);
        return RunInChild([&] {
            if (::setgid(kColleague) != 0 || ::setuid(kColleague) != 0)
                return 3;
            FileLock lock(Lock());
            if (lock.Lock(waitMs))
                return 0;
            QFile file(answer);
            if (!file.open(QIODevice::WriteOnly))
                return 4;
            file.write((lock.Holder() + '|' + lock.Error()).toUtf8());
            return 1;
        });
    }
};

TEST_F(SharedFolder, AnotherUsersLockThatNobodyHoldsIsReportedWithItsOwner)
{
    PlantNobodysLock("quillet-cli\n12\npc1\n");
    const ChildRun run = TryAsColleague(5000);
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.exitCode, 1);
    const QString answer = QString::fromUtf8(ReadAll(shared + "/answer"));
    EXPECT_TRUE(answer.startsWith('|')) << answer.toStdString(); // not "held"
    EXPECT_TRUE(answer.contains("user nobody")) << answer.toStdString();
    EXPECT_TRUE(answer.contains("no program holds it")) << answer.toStdString();
}

TEST_F(SharedFolder, AForgedHolderIsShownWithTheUserWhoseFileItIs)
{
    PlantNobodysLock("quillet-cli\n12\npc1\n");
    const int fd = ::open(QFile::encodeName(Lock()).constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    const ChildRun run = TryAsColleague(0);
    ::close(fd);
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.exitCode, 1);
    EXPECT_EQ(ReadAll(shared + "/answer"), "quillet-cli (process 12, host pc1, user nobody)|");
}

TEST(FileLockTest, WhatStandsAtTheLockFilesPlaceIsNamed)
{
    EnsureCoreApplication();
    QTemporaryDir dir;
    const QString folder = dir.filePath("folder.lock"), link = dir.filePath("link.lock");
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(QFile::link(dir.filePath("elsewhere"), link));
    const struct
    {
        QString path;
        const char *says;
    } cases[] = {{folder, "no file that can serve as its lock"}, {link, "a symbolic link stands where"}};
    for (const auto &c : cases) {
        FileLock lock(c.path);
        EXPECT_FALSE(lock.Lock(0));
        EXPECT_TRUE(lock.Holder().isEmpty());
        EXPECT_TRUE(lock.Error().contains(c.says)) << lock.Error().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("elsewhere")));
}

} // namespace
