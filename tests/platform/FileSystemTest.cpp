#include "fakes/ChildMemory.h"
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

#include <sys/resource.h>
#include <sys/wait.h>

using namespace cardolin::platform;
using namespace cardolin::testing;

namespace {

struct SaveFileTest : ::testing::Test
{
    QTemporaryDir dir;
    UmaskScope mask{022};
    QString Path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    // The name earlier versions wrote their temporary under: predictable.
    static QString TemporaryOf(const QString &target)
    {
        return target + '.' + QString::number(QCoreApplication::applicationPid()) + ".tmp";
    }
    QStringList Temporaries() const
    {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::System).filter(".tmp");
    }
};

// The id of a process that has ended.
qint64 EndedProcessId()
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

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
        int modeWhileWriting = -1;
        const auto write = [&](QIODevice &file) {
            modeWhileWriting = ModeOf(dir.filePath(Temporaries().value(0)));
            return file.write("new") == 3;
        };
        ASSERT_TRUE(SaveFile(path, write, options)) << c.name;
        EXPECT_EQ(ReadAll(path), "new") << c.name;
        EXPECT_EQ(ModeOf(path), c.expected) << c.name;
        // Nobody reads a shared file half made.
        EXPECT_EQ(modeWhileWriting, 0600) << c.name;
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
    EXPECT_EQ(Temporaries(), QStringList());
    EXPECT_FALSE(SaveFile(Path("missing/book"), QByteArray("x")));
}

TEST_F(SaveFileTest, NamesPlantedInAdvanceDoNotStopASave)
{
    // Another user of a shared folder cannot remove or guess what is in the
    // way: folders at every name a process id gives.
    const QString path = Path("team.qcb");
    for (qint64 pid = QCoreApplication::applicationPid() - 5; pid < QCoreApplication::applicationPid() + 50; ++pid)
        ASSERT_TRUE(QDir().mkpath(path + '.' + QString::number(pid) + ".tmp"));
    QString error;
    EXPECT_TRUE(SaveFile(path, QByteArray("saved"), {AtLink::WriteThrough, {}, false, {}, &error})) << error.toStdString();
    EXPECT_EQ(ReadAll(path), "saved");
}

TEST_F(SaveFileTest, TemporariesOfEndedWritersGoAtTheNextSaveOfTheirFile)
{
    const QString book = Path("book.qcb");
    const QString ended = QString::number(EndedProcessId());
    const QStringList stale = {"book.qcb." + ended + ".tmp", "book.qcb." + ended + ".k3J9xQ2a.tmp"};
    const QStringList kept = {
        "book.qcb.1.k3J9xQ2a.tmp",              // its writer still runs
        "book.~cb." + ended + ".k3J9xQ2a.tmp",  // another file's
        "book.qcb." + ended + ".notes.txt.tmp", // no temporary's name
        "book.qcb.x" + ended + ".tmp",
    };
    for (const QString &name : stale + kept)
        ASSERT_TRUE(WriteAll(Path(name.toUtf8()), "partial"));
    ASSERT_TRUE(SaveFile(book, QByteArray("saved")));
    for (const QString &name : stale)
        EXPECT_FALSE(QFileInfo::exists(Path(name.toUtf8()))) << name.toStdString();
    for (const QString &name : kept)
        EXPECT_TRUE(QFileInfo::exists(Path(name.toUtf8()))) << name.toStdString();
}

TEST_F(SaveFileTest, FailuresSayWhyAndLeaveNoTemporary)
{
    const QString path = Path("book");
    ASSERT_TRUE(WriteAll(path, "old"));
    QString error;
    SaveOptions options;
    options.error = &error;
    options.beforeReplace = [] { return QStringLiteral("changed meanwhile"); };
    EXPECT_FALSE(SaveFile(path, QByteArray("new"), options));
    EXPECT_EQ(error, "changed meanwhile");
    EXPECT_EQ(ReadAll(path), "old");

    options.beforeReplace = nullptr;
    EXPECT_FALSE(SaveFile(Path("missing/book"), QByteArray("x"), options));
    EXPECT_EQ(error, "No such file or directory");

    // A file size limit, as "ulimit -f" sets, fails the save like a full disk
    // rather than killing the program.
    const ChildRun run = RunInChild([&] {
        IgnoreFileSizeSignal();
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 3;
        if (SaveFile(path, QByteArray(64 * 1024, 'x'), options))
            return 1;
        return error == "File too large" ? 0 : 2;
    });
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(Temporaries(), QStringList());
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
