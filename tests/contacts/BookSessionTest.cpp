#include "contacts/BookBackup.h"
#include "contacts/BookClaim.h"
#include "contacts/BookSession.h"
#include "contacts/QorContacts.h"
#include "fakes/Files.h"
#include "fakes/RecordingPrompts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

using namespace cardolin;
using cardolin::testing::RecordingPrompts;

using cardolin::testing::ReadAll;
using cardolin::testing::WriteAll;

namespace {

const QString kSaveQuestion = "Do you want to save the current contacts book?";

struct SessionTest : ::testing::Test
{
    QTemporaryDir dir;
    RecordingPrompts prompts;
    TQorContacts contacts;
    TContactsBookSession session{contacts, [this](const QString &account) { return Book(account); }, prompts};

    SessionTest()
    {
        contacts.SetPrompts(prompts);
        QDir().mkpath(dir.filePath("home/ann"));
        QDir().mkpath(dir.filePath("home/bob"));
    }

    QString Book(const QString &account) const
    {
        return dir.filePath("home/" + account + "/Contacts/" + account + ".qcb");
    }

    void Add(const char *firstName)
    {
        contacts.CreateContactData()->FirstName = firstName;
        session.SetModified(true);
    }
};

TEST_F(SessionTest, AnAccountWithoutABookStartsEmptyAndTheFirstSaveMakesItsFolder)
{
    EXPECT_TRUE(session.Refresh("ann"));
    EXPECT_EQ(session.LoadedWindowsUserAccount(), "ann");
    EXPECT_TRUE(contacts.ContactDataList().empty());

    Add("First");
    ASSERT_TRUE(session.Save());
    EXPECT_FALSE(session.Modified());
    const QByteArray first = ReadAll(Book("ann"));
    EXPECT_TRUE(first.contains("First"));

    // Saving twice keeps the previous version as the backup.
    Add("Second");
    ASSERT_TRUE(session.Save());
    EXPECT_EQ(ReadAll(dir.filePath("home/ann/Contacts/ann.~cb")), first);
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(SessionTest, AFailedSaveKeepsTheChangesUnsaved)
{
    ASSERT_TRUE(session.Refresh("zed")); // no profile: the folder is not made
    Add("Kept");
    EXPECT_FALSE(session.Save());
    EXPECT_TRUE(session.Modified());
    EXPECT_EQ(prompts.errors.size(), 1);

    // Yes to the question, the save fails again: the other book is not loaded
    // over the changes.
    prompts.answerYes = true;
    EXPECT_FALSE(session.SwitchAccount("ann"));
    EXPECT_EQ(prompts.questions, QStringList{kSaveQuestion});
    EXPECT_EQ(session.LoadedWindowsUserAccount(), "zed");
    EXPECT_EQ(contacts.ContactDataList().size(), 1u);
}

TEST_F(SessionTest, SwitchingAsksBeforeUnsavedChangesGo)
{
    ASSERT_TRUE(session.Refresh("ann"));
    Add("Ann's friend");
    prompts.answerYes = true;
    ASSERT_TRUE(session.SwitchAccount("bob"));
    EXPECT_EQ(prompts.questions, QStringList{kSaveQuestion});
    EXPECT_TRUE(ReadAll(Book("ann")).contains("Ann's friend"));
    EXPECT_EQ(session.LoadedWindowsUserAccount(), "bob");
    EXPECT_TRUE(contacts.ContactDataList().empty());

    // No: nothing saved, nothing asked twice, and the same account does nothing.
    Add("Bob's friend");
    prompts.answerYes = false;
    prompts.questions.clear();
    EXPECT_TRUE(session.SwitchAccount("bob"));
    EXPECT_TRUE(prompts.questions.isEmpty());
    ASSERT_TRUE(session.SwitchAccount("ann"));
    EXPECT_EQ(prompts.questions, QStringList{kSaveQuestion});
    EXPECT_FALSE(QFile::exists(Book("bob")));
    EXPECT_EQ(contacts.ContactDataList().size(), 1u);
    EXPECT_FALSE(session.Modified());
}

TEST_F(SessionTest, ABookThatCannotBeReadShowsNothingOfItself)
{
    QDir().mkpath(dir.filePath("home/bob/Contacts"));
    QFile::copy(CARDOLIN_FIXTURES "/cli/malformed.qcb", Book("bob"));
    Add("Unrelated");
    session.SetModified(false);

    EXPECT_FALSE(session.Refresh("bob"));
    EXPECT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(contacts.ContactDataList().empty());
    EXPECT_EQ(session.LoadedWindowsUserAccount(), "bob");

    // Apply must not replace the unreadable book with the empty list, nor its
    // backup; a later good load lifts the guard.
    const QByteArray unreadable = ReadAll(Book("bob"));
    Add("Typed after the failure");
    EXPECT_FALSE(session.Save());
    EXPECT_EQ(prompts.errors.size(), 2);
    EXPECT_TRUE(prompts.errors.last().contains("could not be read"));
    EXPECT_EQ(ReadAll(Book("bob")), unreadable);
    EXPECT_FALSE(QFile::exists(dir.filePath("home/bob/Contacts/bob.~cb")));

    QFile::remove(Book("bob"));
    session.SetModified(false);
    ASSERT_TRUE(session.Refresh("bob"));
    Add("Fresh start");
    EXPECT_TRUE(session.Save());
}

// A book written by someone else: another program's save of one contact.
QByteArray WriteOtherBook(const QString &path, const char *firstName)
{
    TQorContacts other;
    other.CreateContactData()->FirstName = firstName;
    other.SaveToXMLFile(path);
    return ReadAll(path);
}

// What stands in the book's place decides what the user is told: a file that
// cannot be opened as a book is no damaged book, and a FIFO must not block.
TEST_F(SessionTest, ABookThatCannotBeReadIsToldFromADamagedOne)
{
    using Trouble = TContactsBookSession::TBookTrouble;
    struct Case
    {
        const char *name;
        std::function<bool(const QString &)> make;
        Trouble trouble;
        const char *reason;
        const char *message;
    };
    const Case cases[] = {
        {"a folder", [](const QString &path) { return QDir().mkpath(path); }, Trouble::Unreadable, "folder",
         "cannot be read"},
        {"a FIFO", [](const QString &path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; },
         Trouble::Unreadable, "not a regular file", "cannot be read"},
        {"a malformed book",
         [](const QString &path) { return QFile::copy(CARDOLIN_FIXTURES "/cli/malformed.qcb", path); },
         Trouble::Damaged, "", "is damaged"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dir.filePath("home/bob/Contacts")).removeRecursively();
        QDir().mkpath(dir.filePath("home/bob/Contacts"));
        ASSERT_TRUE(c.make(Book("bob")));
        prompts = RecordingPrompts();
        session.SetModified(false);
        EXPECT_FALSE(session.Refresh("bob"));
        EXPECT_TRUE(session.LoadFailed());
        EXPECT_EQ(session.Trouble(), c.trouble);
        EXPECT_TRUE(session.TroubleReason().contains(c.reason)) << session.TroubleReason().toStdString();
        ASSERT_EQ(prompts.errors.size(), 1);
        EXPECT_TRUE(prompts.errors[0].contains(c.message)) << prompts.errors[0].toStdString();
        EXPECT_TRUE(prompts.errors[0].contains(Book("bob")));
        Add("Typed after the failure");
        EXPECT_FALSE(session.Save());
    }
}

// Every unloadable book that a save moved aside stays: the next one gets the
// next free name instead of replacing it.
TEST_F(SessionTest, EarlierBooksKeptAsideAreNeverReplaced)
{
    QDir().mkpath(dir.filePath("home/ann/Contacts"));
    WriteOtherBook(dir.filePath("home/ann/Contacts/ann.~cb"), "Backed up");
    ASSERT_TRUE(WriteAll(Book("ann") + ".bad", "an older casualty"));
    for (const char *damage : {"<QorContacts", "<<<"}) {
        ASSERT_TRUE(WriteAll(Book("ann"), damage));
        session.SetModified(false);
        EXPECT_FALSE(session.Refresh("ann"));
        const QString aside = BookAsideName(Book("ann"));
        ASSERT_TRUE(session.OpenBackup());
        EXPECT_EQ(session.Trouble(), TContactsBookSession::TBookTrouble::None);
        ASSERT_TRUE(session.Save());
        EXPECT_EQ(ReadAll(aside), damage);
    }
    EXPECT_EQ(ReadAll(Book("ann") + ".bad"), "an older casualty");
    EXPECT_EQ(ReadAll(Book("ann") + ".bad2"), "<QorContacts");
    EXPECT_EQ(ReadAll(Book("ann") + ".bad3"), "<<<");
}

TEST_F(SessionTest, TheBookIsHeldWhileOpenAndABookChangedOnDiskIsReplacedOnlyWhenTheUserSaysSo)
{
    QDir().mkpath(dir.filePath("home/ann/Contacts"));
    WriteOtherBook(Book("ann"), "Loaded");
    ASSERT_TRUE(session.Refresh("ann"));
    EXPECT_TRUE(session.HoldsBook());
    EXPECT_FALSE(platform::FileLock(BookLockFileName(Book("ann"))).Lock(0));

    Add("Mine");
    const QByteArray theirs = WriteOtherBook(Book("ann"), "Theirs");
    EXPECT_FALSE(session.Save()); // answered No
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(prompts.questions[0].contains("was changed or removed by another program"))
        << prompts.questions[0].toStdString();
    EXPECT_EQ(ReadAll(Book("ann")), theirs);
    EXPECT_TRUE(session.Modified());

    prompts.answerYes = true;
    ASSERT_TRUE(session.Save());
    EXPECT_TRUE(ReadAll(Book("ann")).contains("Mine"));
    EXPECT_EQ(ReadAll(dir.filePath("home/ann/Contacts/ann.~cb")), theirs);
    // Its own save is no change by someone else.
    Add("More");
    ASSERT_TRUE(session.Save());
    EXPECT_EQ(prompts.questions.size(), 2);

    // Another account's book lets this one go.
    ASSERT_TRUE(session.SwitchAccount("bob"));
    EXPECT_TRUE(platform::FileLock(BookLockFileName(Book("ann"))).Lock(0));
}

TEST_F(SessionTest, ABookAnotherProgramHoldsOpensButIsNotSavedUntilItLetsGo)
{
    QDir().mkpath(dir.filePath("home/ann/Contacts"));
    WriteOtherBook(Book("ann"), "Shown");
    platform::FileLock other(BookLockFileName(Book("ann")));
    ASSERT_TRUE(other.Lock(0));

    ASSERT_TRUE(session.Refresh("ann"));
    EXPECT_EQ(contacts.ContactDataList().size(), 1u);
    ASSERT_EQ(prompts.warnings.size(), 1);
    EXPECT_TRUE(prompts.warnings[0].contains("is in use by")) << prompts.warnings[0].toStdString();
    EXPECT_FALSE(session.HoldsBook());

    Add("Mine");
    EXPECT_FALSE(session.Save());
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].contains("is in use by")) << prompts.errors[0].toStdString();
    EXPECT_TRUE(session.Modified());

    EXPECT_TRUE(session.ReadOnly());

    other.Unlock();
    ASSERT_TRUE(session.Save());
    EXPECT_TRUE(session.HoldsBook());
    EXPECT_FALSE(session.ReadOnly());
    EXPECT_TRUE(prompts.questions.isEmpty());
}

TEST_F(SessionTest, ABookKeptUnderTheOtherNameIsPointedOutNotShownAsAnEmptyBook)
{
    const QString elsewhere = dir.filePath("home/ann/Contacts/Ann Lee.qcb");
    QDir().mkpath(dir.filePath("home/ann/Contacts"));
    WriteOtherBook(elsewhere, "Kept");
    session.SetBookElsewhere([&](const QString &account) {
        return account == "ann" ? elsewhere : dir.filePath("home/bob/Contacts/Bob Stone.qcb");
    });
    ASSERT_TRUE(session.Refresh("ann"));
    ASSERT_EQ(prompts.warnings.size(), 1);
    EXPECT_TRUE(prompts.warnings[0].contains("there is one at \"" + elsewhere + "\""))
        << prompts.warnings[0].toStdString();

    ASSERT_TRUE(session.SwitchAccount("bob")); // nothing anywhere: nothing to say
    EXPECT_EQ(prompts.warnings.size(), 1);
}

TEST_F(SessionTest, ABookWhoseLockCannotBeMadeIsReadOnlyButItsContactsCanBeSavedElsewhere)
{
    QDir().mkpath(dir.filePath("home/ann/Contacts"));
    const QByteArray shown = WriteOtherBook(Book("ann"), "Shown");
    ASSERT_TRUE(QDir().mkdir(Book("ann") + ".lock"));

    ASSERT_TRUE(session.Refresh("ann"));
    EXPECT_TRUE(session.ReadOnly());
    ASSERT_EQ(prompts.warnings.size(), 1);
    EXPECT_TRUE(prompts.warnings[0].contains("cannot be locked against other programs"))
        << prompts.warnings[0].toStdString();

    Add("Mine");
    EXPECT_FALSE(session.Save());
    EXPECT_EQ(ReadAll(Book("ann")), shown);
    EXPECT_TRUE(session.Modified());

    const QString copy = dir.filePath("elsewhere.qcb");
    ASSERT_TRUE(session.SaveAs(copy));
    EXPECT_TRUE(ReadAll(copy).contains("Mine"));
    EXPECT_FALSE(session.Modified());
    EXPECT_EQ(ReadAll(Book("ann")), shown);
    EXPECT_FALSE(QFileInfo::exists(copy + ".lock"));

    // No folder yet is no reason for read-only: the first save makes it.
    ASSERT_TRUE(session.SwitchAccount("bob"));
    EXPECT_FALSE(session.ReadOnly());
}

} // namespace
