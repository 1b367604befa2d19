#include "fakes/CoreApplication.h"
#include "fakes/Files.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/SystemFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cardolin::platform;
using namespace cardolin::testing;

namespace {

struct SaveFileTest : ::testing::Test
{
    QTemporaryDir dir;
    UmaskScope mask{022};
    QString Path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    // The name a save of target in this process writes first.
    static QString TemporaryOf(const QString &target)
    {
        return target + '.' + QString::number(QCoreApplication::applicationPid()) + ".tmp";
    }
};

TEST_F(SaveFileTest, ModesOfNewAndReplacedFiles)
{
    ASSERT_TRUE(WriteAll(Path("model"), "m"));
    ASSERT_TRUE(QFile::setPermissions(Path("model"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const struct
    {
        const char *name;
        int existingMode; // -1: no file yet
        const char *modeOf;
        bool ownerOnly;
        int expected;
    } cases[] = {
        {"new file is private", -1, nullptr, false, 0600},
        {"existing file keeps its mode", 0640, nullptr, false, 0640},
        {"existing read-only file keeps its mode", 0444, nullptr, false, 0444},
        {"new file takes the model's mode", -1, "model", false, 0640},
        {"model wins over the file replaced", 0666, "model", false, 0640},
        {"secrets are private whatever was there", 0644, nullptr, true, 0600},
    };
    for (const auto &c : cases) {
        const QString path = Path(c.name);
        if (c.existingMode >= 0) {
            ASSERT_TRUE(WriteAll(path, "old"));
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode_t(c.existingMode)), 0);
        }
        SaveOptions options;
        if (c.modeOf)
            options.modeOf = Path(c.modeOf);
        options.ownerOnly = c.ownerOnly;
        ASSERT_TRUE(SaveFile(path, QByteArray("new"), options)) << c.name;
        EXPECT_EQ(ReadAll(path), "new") << c.name;
        EXPECT_EQ(ModeOf(path), c.expected) << c.name;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).filter(".tmp"), QStringList());
}

TEST_F(SaveFileTest, LinksPlantedAtTheTemporaryOrAReplacedPathLeaveTheirTargetAlone)
{
    const QString victim = Path("victim"), target = Path("book");
    ASSERT_TRUE(WriteAll(victim, "precious"));
    ASSERT_TRUE(QFile::link(victim, TemporaryOf(target)));
    ASSERT_TRUE(SaveFile(target, QByteArray("saved")));
    EXPECT_EQ(ReadAll(victim), "precious");
    EXPECT_EQ(ReadAll(target), "saved");
    EXPECT_FALSE(QFileInfo::exists(TemporaryOf(target)) || QFileInfo(TemporaryOf(target)).isSymLink());

    const QString backup = Path("backup");
    ASSERT_TRUE(QFile::link(victim, backup));
    ASSERT_TRUE(SaveFile(backup, QByteArray("copy"), {AtLink::Replace, target}));
    EXPECT_EQ(ReadAll(victim), "precious");
    EXPECT_FALSE(QFileInfo(backup).isSymLink());
    EXPECT_EQ(ReadAll(backup), "copy");
    EXPECT_EQ(ModeOf(backup), 0600);
}

TEST_F(SaveFileTest, ALinkTheUserMadeIsWrittenThroughAndStays)
{
    ASSERT_TRUE(QDir().mkpath(Path("elsewhere")));
    const QString real = Path("elsewhere/book"), link = Path("book");
    ASSERT_TRUE(WriteAll(real, "old"));
    ASSERT_TRUE(QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_TRUE(SaveFile(link, QByteArray("new")));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadAll(real), "new");
    EXPECT_EQ(ModeOf(real), 0640);
}

TEST_F(SaveFileTest, AFailedWriteLeavesTheOldFileAndNoTemporary)
{
    const QString path = Path("book");
    ASSERT_TRUE(WriteAll(path, "old"));
    EXPECT_FALSE(SaveFile(path, [](QIODevice &file) { return file.write("half") < 0; }));
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_FALSE(QFileInfo::exists(TemporaryOf(path)));
    EXPECT_FALSE(SaveFile(Path("missing/book"), QByteArray("x")));
}

TEST_F(SaveFileTest, AppendedFilesAndCreatedFoldersArePrivate)
{
    const QString log = Path("app.log");
    ASSERT_TRUE(AppendToFile(log, "one\n"));
    ASSERT_TRUE(AppendToFile(log, "two\n"));
    EXPECT_EQ(ReadAll(log), "one\ntwo\n");
    EXPECT_EQ(ModeOf(log), 0600);

    ASSERT_TRUE(CreatePrivateFolder(Path("Contacts")));
    EXPECT_EQ(ModeOf(Path("Contacts")), 0700);
    ASSERT_TRUE(QDir().mkdir(Path("Shared")));
    ASSERT_TRUE(CreatePrivateFolder(Path("Shared")));
    EXPECT_EQ(ModeOf(Path("Shared")), 0755); // the user's own choice stays
    EXPECT_FALSE(CreatePrivateFolder(Path("no/such/parent")));
}

TEST(FileLockTest, OneHolderAtATimeNamedToTheOthers)
{
    EnsureCoreApplication();
    QTemporaryDir dir;
    const QString path = dir.filePath("book.lock");
    FileLock first(path), second(path);
    ASSERT_TRUE(first.Lock(0));
    QElapsedTimer waited;
    waited.start();
    EXPECT_FALSE(second.Lock(300));
    EXPECT_GE(waited.elapsed(), 300);
    EXPECT_EQ(second.Holder(), QStringLiteral("%1 (process %2, host %3)")
                                   .arg(QCoreApplication::applicationName())
                                   .arg(QCoreApplication::applicationPid())
                                   .arg(ComputerName()));
    first.Unlock();
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(second.Lock(0));
}

TEST(FileLockTest, TheFileOfAnEndedHolderIsTakenOver)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("book.lock");
    ASSERT_TRUE(WriteAll(path, "quillet-cli\n999999\nelsewhere\n"));
    FileLock lock(path);
    EXPECT_TRUE(lock.Lock(0));
    EXPECT_TRUE(ReadAll(path).contains('\n' + QByteArray::number(QCoreApplication::applicationPid()) + '\n'));

    FileLock nowhere(dir.filePath("missing/book.lock"));
    EXPECT_FALSE(nowhere.Lock(0));
    EXPECT_TRUE(nowhere.Holder().isEmpty());
    EXPECT_FALSE(nowhere.Error().isEmpty());
}

} // namespace
