#include "contacts/BookBackup.h"
#include "contacts/QorContacts.h"
#include "fakes/Files.h"
#include "fakes/RecordingPrompts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

TEST(BackupFileName, ReplacesTheExtensionsFirstCharacter)
{
    const struct { const char *book, *backup; } cases[] = {
        {"/home/ann/Contacts/Ann.qcb", "/home/ann/Contacts/Ann.~cb"},
        {"Ann.qcb", "Ann.~cb"},
        {"/books/Ann Lee.x", "/books/Ann Lee.~"},
        {"/books/Ann", "/books/Ann.~"},
        {"/books/Ann.", "/books/Ann.~"},
        {"/books.d/Ann", "/books.d/Ann.~"},
        {"/books/a.b.qcb", "/books/a.b.~cb"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(BackupFileName(c.book), c.backup) << c.book;
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(SaveBookWithBackup, KeepsThePreviousVersion)
{
    QTemporaryDir dir;
    const QString book = dir.filePath("Ann.qcb");
    TQorContacts contacts;
    cardolin::testing::RecordingPrompts prompts;
    contacts.SetPrompts(prompts);

    contacts.CreateContactData()->FirstName = "First";
    ASSERT_EQ(SaveBookWithBackup(contacts, book), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("Ann.~cb"))); // nothing to back up yet
    const QByteArray first = ReadAll(book);

    contacts.CreateContactData()->FirstName = "Second";
    ASSERT_EQ(SaveBookWithBackup(contacts, book), 2);
    EXPECT_EQ(ReadAll(dir.filePath("Ann.~cb")), first);
    const QByteArray second = ReadAll(book);

    contacts.CreateContactData()->FirstName = "Third";
    ASSERT_EQ(SaveBookWithBackup(contacts, book), 3);
    EXPECT_EQ(ReadAll(dir.filePath("Ann.~cb")), second);
    EXPECT_TRUE(prompts.errors.isEmpty());
}

// A book of one contact, not saved yet.
struct BackupTest : ::testing::Test
{
    QTemporaryDir dir;
    const QString book = dir.filePath("Ann.qcb");
    TQorContacts contacts;
    cardolin::testing::RecordingPrompts prompts;

    BackupTest()
    {
        contacts.SetPrompts(prompts);
        contacts.CreateContactData()->FirstName = "First";
    }
};

TEST_F(BackupTest, NoBackupNoSave)
{
    ASSERT_EQ(SaveBookWithBackup(contacts, book), 1);
    const QByteArray before = ReadAll(book);
    ASSERT_TRUE(QDir(dir.path()).mkdir("Ann.~cb")); // the backup cannot be written

    contacts.CreateContactData()->FirstName = "Second";
    EXPECT_EQ(SaveBookWithBackup(contacts, book), 0);
    EXPECT_EQ(prompts.errors, QStringList{"Cannot save \"" + dir.filePath("Ann.~cb") + "\": Is a directory."});
    EXPECT_EQ(ReadAll(book), before);
}

TEST_F(BackupTest, ABookRewrittenByAnotherProgramWhileBeingSavedIsKept)
{
    ASSERT_EQ(SaveBookWithBackup(contacts, book), 1);
    contacts.CreateContactData()->FirstName = "Second";
    // A writer that ignores the lock replaces the book while ours is being
    // written: the check made before the save began cannot see it.
    QByteArray theirs;
    contacts.OnProgress = [&](TQorContacts *, int, int, int) {
        if (!theirs.isEmpty())
            return;
        TQorContacts other;
        other.CreateContactData()->FirstName = "Theirs";
        ASSERT_EQ(other.SaveToXMLFile(book), 1);
        theirs = ReadAll(book);
    };
    EXPECT_EQ(SaveBookWithBackup(contacts, book), 0);
    EXPECT_EQ(prompts.errors, QStringList{"Cannot save \"" + book
                                          + "\": another program changed it while it was being saved."});
    EXPECT_EQ(ReadAll(book), theirs);
    EXPECT_EQ(QDir(dir.path()).entryList({"*.tmp"}, QDir::Files), QStringList());
}

TEST_F(BackupTest, BooksAndBackupsArePrivateUnlessTheUserChoseOtherwise)
{
    cardolin::testing::UmaskScope mask(022);
    const QString accountBook = dir.filePath("home/Contacts/Ann.qcb"), backup = dir.filePath("home/Contacts/Ann.~cb");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("home")));

    ASSERT_TRUE(SaveAccountBook(contacts, accountBook));
    EXPECT_EQ(cardolin::testing::ModeOf(dir.filePath("home/Contacts")), 0700);
    EXPECT_EQ(cardolin::testing::ModeOf(accountBook), 0600);
    ASSERT_TRUE(SaveAccountBook(contacts, accountBook));
    EXPECT_EQ(cardolin::testing::ModeOf(backup), 0600);

    // A book the user shares with the group stays shared, and so does its backup.
    ASSERT_TRUE(QFile::setPermissions(accountBook, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(SaveAccountBook(contacts, accountBook));
    EXPECT_EQ(cardolin::testing::ModeOf(accountBook), 0640);
    EXPECT_EQ(cardolin::testing::ModeOf(backup), 0640);
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(BackupTest, ALinkPlantedAtTheBackupIsReplacedNotFollowed)
{
    const QString backup = dir.filePath("Ann.~cb"), victim = dir.filePath("victim");
    ASSERT_TRUE(cardolin::testing::WriteAll(victim, "precious"));
    ASSERT_TRUE(QFile::link(victim, backup));
    ASSERT_EQ(SaveBookWithBackup(contacts, book), 1);
    const QByteArray first = ReadAll(book);
    ASSERT_EQ(SaveBookWithBackup(contacts, book), 1);

    EXPECT_EQ(ReadAll(victim), "precious");
    EXPECT_FALSE(QFileInfo(backup).isSymLink());
    EXPECT_EQ(ReadAll(backup), first);
}

} // namespace
