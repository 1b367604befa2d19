#include "contacts/BookBackup.h"
#include "contacts/BookClaim.h"
#include "contacts/BookLocation.h"
#include "contacts/BookRelocation.h"
#include "fakes/Files.h"
#include "contacts/ProfilesFixture.h"
#include "fakes/RecordingPrompts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cardolin;
using cardolin::testing::RecordingPrompts;
using Answer = UserPrompts::Answer;

using cardolin::testing::ReadAll;
using cardolin::testing::WriteAll;

namespace {

struct RelocationTest : cardolin::testing::ProfilesFixture
{
    RecordingPrompts prompts;
    const TStorageSettings inProfiles{};
    const TStorageSettings inLibrary{false, library, false};
    const QStringList names{"ann", "bob", "cy"};

    RelocationTest() : ProfilesFixture({"ann", "bob", "cy"}) { QDir().mkpath(library); }

    QString UserBook(const QString &name) const { return profiles + "/" + name + "/Contacts/" + name + ".qcb"; }
    QString LibraryBook(const QString &name) const { return library + "/" + name + ".qcb"; }

    int Relocate(const TStorageSettings &before, const TStorageSettings &after, const BookClaim *held = nullptr)
    {
        return RelocateContactsBooks(accounts.Accounts(), TContactsBookLocator(accounts, before),
                                     TContactsBookLocator(accounts, after), prompts, held);
    }
};

TEST(Relocation, OnlyWhereBooksLiveMatters)
{
    EXPECT_FALSE(RelocationNeeded({}, {true, "", false}));
    EXPECT_TRUE(RelocationNeeded({}, {true, "", true})); // books named otherwise
    EXPECT_TRUE(RelocationNeeded({}, {false, "", false}));
    EXPECT_TRUE(RelocationNeeded({false, "/a", false}, {false, "/b", false}));
}

TEST_F(RelocationTest, YesToAllMovesEveryBookAndBackupAskingOnce)
{
    ASSERT_TRUE(WriteAll(UserBook("ann"), "ann"));
    ASSERT_TRUE(WriteAll(BackupFileName(UserBook("ann")), "ann before"));
    ASSERT_TRUE(WriteAll(UserBook("cy"), "cy")); // bob has no book: nothing to ask
    prompts.toAllAnswers = {Answer::YesToAll};

    EXPECT_EQ(Relocate(inProfiles, inLibrary), 2);
    EXPECT_EQ(prompts.questions, QStringList{"Do you want to relocate ann's contacts book?"});
    EXPECT_EQ(ReadAll(LibraryBook("ann")), "ann");
    EXPECT_EQ(ReadAll(library + "/ann.~cb"), "ann before");
    EXPECT_EQ(ReadAll(LibraryBook("cy")), "cy");
    EXPECT_FALSE(QFile::exists(UserBook("ann")));
    EXPECT_FALSE(QFile::exists(BackupFileName(UserBook("ann"))));
    EXPECT_TRUE(prompts.errors.isEmpty());

    // And back again, into Contacts folders that no longer exist.
    QDir(profiles + "/cy/Contacts").removeRecursively();
    prompts.toAllAnswers = {Answer::YesToAll};
    EXPECT_EQ(Relocate(inLibrary, inProfiles), 2);
    EXPECT_EQ(ReadAll(UserBook("cy")), "cy");
}

TEST_F(RelocationTest, EachQuestionKeepsItsOwnToAllAnswer)
{
    for (const QString &name : names) {
        ASSERT_TRUE(WriteAll(UserBook(name), name.toUtf8()));
        ASSERT_TRUE(WriteAll(LibraryBook(name), "older " + name.toUtf8()));
    }
    // Relocate: Yes, then Yes to All. Override: No to All on the first.
    prompts.toAllAnswers = {Answer::Yes, Answer::NoToAll, Answer::YesToAll};

    EXPECT_EQ(Relocate(inProfiles, inLibrary), 0);
    EXPECT_EQ(prompts.questions, (QStringList{"Do you want to relocate ann's contacts book?",
                                              "Do you want to override ann's contacts book?",
                                              "Do you want to relocate bob's contacts book?"}));
    for (const QString &name : names) {
        EXPECT_EQ(ReadAll(UserBook(name)), name.toUtf8());
        EXPECT_EQ(ReadAll(LibraryBook(name)), "older " + name.toUtf8());
    }

    prompts.questions.clear();
    prompts.toAllAnswers = {Answer::No, Answer::Yes, Answer::Yes, Answer::NoToAll};
    EXPECT_EQ(Relocate(inProfiles, inLibrary), 1);
    EXPECT_EQ(ReadAll(LibraryBook("bob")), "bob"); // replaced
    EXPECT_EQ(ReadAll(LibraryBook("ann")), "older ann");
    EXPECT_EQ(prompts.questions.size(), 4);
}

TEST_F(RelocationTest, AFailedMoveIsReportedAndTheOthersGoOn)
{
    ASSERT_TRUE(WriteAll(UserBook("ann"), "ann"));
    ASSERT_TRUE(WriteAll(BackupFileName(UserBook("ann")), "ann before"));
    ASSERT_TRUE(WriteAll(UserBook("bob"), "bob"));
    ASSERT_TRUE(WriteAll(BackupFileName(UserBook("bob")), "bob before"));
    ASSERT_TRUE(WriteAll(library + "/bob.~cb", "a backup with no book")); // in the way of bob's backup
    // Where ann's book should go there is a folder, which no move replaces.
    const TStorageSettings elsewhere{false, dir.filePath("Other"), false};
    QDir().mkpath(dir.filePath("Other/ann.qcb/inside"));
    prompts.toAllAnswers = {Answer::YesToAll, Answer::YesToAll};

    EXPECT_EQ(Relocate(inProfiles, elsewhere), 1);
    EXPECT_EQ(prompts.errors, QStringList{"ann's contacts book relocation failed."});
    // ann's backup stays with ann's book.
    EXPECT_EQ(ReadAll(BackupFileName(UserBook("ann"))), "ann before");
    EXPECT_EQ(ReadAll(dir.filePath("Other/bob.qcb")), "bob");

    prompts.errors.clear();
    EXPECT_EQ(Relocate(inProfiles, inLibrary), 0); // nothing left in the profiles but ann's
    ASSERT_TRUE(WriteAll(UserBook("bob"), "bob again"));
    ASSERT_TRUE(WriteAll(BackupFileName(UserBook("bob")), "bob before again"));
    prompts.toAllAnswers = {Answer::YesToAll};
    Relocate(inProfiles, inLibrary);
    EXPECT_TRUE(prompts.errors.contains("bob's backup contacts book relocation failed."));
    EXPECT_EQ(ReadAll(library + "/bob.~cb"), "a backup with no book");
}

TEST_F(RelocationTest, ABookAnotherProgramHoldsStaysWhereItIsAndTheUserIsTold)
{
    for (const char *name : {"ann", "bob", "cy"})
        ASSERT_TRUE(WriteAll(UserBook(name), name));
    ASSERT_TRUE(WriteAll(BackupFileName(UserBook("bob")), "bob before"));
    platform::FileLock other(BookLockFileName(UserBook("bob")));
    ASSERT_TRUE(other.Lock(0));
    BookClaim mine; // the caller's own, as the window holds its loaded book
    ASSERT_TRUE(mine.Claim(UserBook("ann")));
    prompts.toAllAnswers = {Answer::YesToAll};

    EXPECT_EQ(Relocate(inProfiles, inLibrary, &mine), 2);
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].startsWith("bob's contacts book was not relocated: The contacts book \""
                                             + UserBook("bob") + "\" is in use by "))
        << prompts.errors[0].toStdString();
    EXPECT_EQ(ReadAll(UserBook("bob")), "bob");
    EXPECT_EQ(ReadAll(BackupFileName(UserBook("bob"))), "bob before");
    EXPECT_EQ(ReadAll(LibraryBook("ann")), "ann");
    EXPECT_EQ(ReadAll(LibraryBook("cy")), "cy");
    EXPECT_FALSE(QFileInfo::exists(LibraryBook("bob")));
}

TEST_F(RelocationTest, TheSameFileUnderTwoSpellingsIsLeftAlone)
{
    ASSERT_TRUE(WriteAll(LibraryBook("ann"), "ann"));
    ASSERT_TRUE(QFile::link(library, dir.filePath("Linked")));
    prompts.answerYes = true;
    EXPECT_EQ(Relocate(inLibrary, {false, dir.filePath("Linked"), false}), 0);
    EXPECT_EQ(Relocate(inLibrary, {false, library + "/", false}), 0);
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(ReadAll(LibraryBook("ann")), "ann");
}

} // namespace
