#include "contacts/BookBackup.h"
#include "contacts/QorContacts.h"
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

TEST(SaveBookWithBackup, NoBackupNoSave)
{
    QTemporaryDir dir;
    const QString book = dir.filePath("Ann.qcb");
    TQorContacts contacts;
    cardolin::testing::RecordingPrompts prompts;
    contacts.SetPrompts(prompts);
    contacts.CreateContactData()->FirstName = "First";
    ASSERT_EQ(SaveBookWithBackup(contacts, book), 1);
    const QByteArray before = ReadAll(book);
    ASSERT_TRUE(QDir(dir.path()).mkdir("Ann.~cb")); // the backup cannot be written

    contacts.CreateContactData()->FirstName = "Second";
    EXPECT_EQ(SaveBookWithBackup(contacts, book), 0);
    EXPECT_EQ(prompts.errors, QStringList{"Cannot save \"" + dir.filePath("Ann.~cb") + "\"."});
    EXPECT_EQ(ReadAll(book), before);
}

} // namespace
