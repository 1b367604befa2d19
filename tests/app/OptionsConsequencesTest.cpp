#include "app/options/OptionsConsequences.h"
#include "contacts/ContactUndo.h"
#include "contacts/QorContacts.h"
#include "contacts/SerialDate.h"
#include "fakes/FakeUserDatabase.h"
#include "fakes/Files.h"
#include "fakes/RecordingPrompts.h"
#include "support/Clock.h"
#include "support/QorRegistryEnhanced.h"
#include "support/RegistryStore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// What confirming the Options dialog does to the book, without a window: the
// host records what the window would be asked to do.

using namespace cardolin;
using namespace cardolin::app;
using cardolin::testing::FakeUserDatabase;
using cardolin::testing::RecordingPrompts;

namespace {

struct OptionsConsequencesTest : ::testing::Test
{
    QTemporaryDir dir;
    FakeUserDatabase users;
    TUserAccounts accounts{users};
    MemoryRegistryStore store;
    TQorRegistryEnhanced registry{store};
    RecordingPrompts prompts;
    FixedClock clock{QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7), Qt::UTC)};
    TQorContacts book;
    TContactUndoHistory history;
    QStringList captions; // the rows, as the window shows them
    std::vector<TContactData *> synced;
    int rebuilds = 0;
    bool modified = false;
    TOptionsValues before;

    OptionsConsequencesTest()
    {
        users.home = dir.filePath("home/ann");
        registry.SetKey(QString(kProgramSettingsKey));
        book.SetClock(clock);
        before = LoadOptionsValues(registry, dir.path());
    }

    TContactData *Add(const QString &firstName, bool inContacts = false)
    {
        TContactData *contact = book.CreateContactData();
        contact->FirstName = firstName;
        if (inContacts)
            contact->Categories.Add("Contacts");
        captions.append(book.GetDisplayNameFromContactData(contact, dtInherited));
        return contact;
    }

    void Confirm(const TOptionsValues &after)
    {
        TOptionsHost host{book, prompts, accounts, &history, {}, {}, {}, {}, {}, {}};
        host.Rows = [this] {
            std::vector<std::pair<TContactData *, QString>> rows;
            for (qsizetype i = 0; i < captions.size(); ++i)
                rows.emplace_back(book.ContactDataList()[size_t(i)].get(), captions[i]);
            return rows;
        };
        host.SyncRows = [this](const std::vector<TContactData *> &records, bool) { synced = records; };
        host.RebuildFromBook = [this](bool) { ++rebuilds; };
        host.SetModified = [this](bool value) { modified = value; };
        host.UpdateStatus = [] {};
        TOptionsConsequences(host).Confirmed(before, after);
    }

    int Stamped() const
    {
        const TDateTime now = DateTimeToSerial(clock.NowUtc());
        return int(std::count_if(book.ContactDataList().begin(), book.ContactDataList().end(),
                                 [&](const auto &contact) { return contact->Modified == now; }));
    }
    int InContacts() const
    {
        return int(std::count_if(book.ContactDataList().begin(), book.ContactDataList().end(),
                                 [](const auto &contact) { return contact->Categories.Contains("Contacts"); }));
    }
};

TEST_F(OptionsConsequencesTest, ContactsCategoryQuestionChangesOnlyTheContactsThatNeedIt)
{
    struct Case
    {
        const char *name;
        bool assign;
        bool answer;
        int stamped;
        int inContacts;
    } cases[] = {
        {"assign, Yes", true, true, 6, 10},
        {"assign, No", true, false, 0, 4},
        {"clear, Yes", false, true, 4, 0},
        {"clear, No", false, false, 0, 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        book.ClearContactDataList();
        captions.clear();
        history.Clear();
        prompts.questions.clear();
        modified = false;
        rebuilds = 0;
        clock.Set(QDateTime(QDate(2025, 1, 1), QTime(0, 0), Qt::UTC));
        for (int i = 0; i < 10; ++i)
            Add(QString("Person %1").arg(i), i % 3 == 0); // 0, 3, 6, 9
        clock.Set(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7), Qt::UTC));
        before.Settings[SettingId::AssignContactsCategoryToContactsByDefault] = !c.assign;
        TOptionsValues after = before;
        after.Settings[SettingId::AssignContactsCategoryToContactsByDefault] = c.assign;
        prompts.answerYes = c.answer;

        Confirm(after);

        EXPECT_EQ(prompts.questions, QStringList{c.assign ? "Do you want to asign \"Contacts\" category to all contacts?"
                                                          : "Do you want to clear \"Contacts\" category from all contacts?"});
        EXPECT_EQ(Stamped(), c.stamped);
        EXPECT_EQ(InContacts(), c.inContacts);
        EXPECT_EQ(modified, c.answer);
        EXPECT_EQ(rebuilds, c.answer ? 1 : 0);
        EXPECT_EQ(history.CanUndo(), c.answer);
    }
    // An empty book asks nothing.
    book.ClearContactDataList();
    prompts.questions.clear();
    TOptionsValues after = before;
    after.Settings[SettingId::AssignContactsCategoryToContactsByDefault] = true;
    before.Settings[SettingId::AssignContactsCategoryToContactsByDefault] = false;
    Confirm(after);
    EXPECT_TRUE(prompts.questions.isEmpty());
}

TEST_F(OptionsConsequencesTest, SwitchingFormattingOnFormatsEveryContactAndItsRow)
{
    TContactData *ann = Add("Ann");
    ann->WorkEmail = "  Ann@Example.COM ";
    TContactData *bob = Add("Bob");
    bob->LastName = "Lee";
    TOptionsValues after = before;
    after.Settings[SettingId::FormatContacts] = true;
    after.Settings[SettingId::FormatLastNameUppercase] = true;
    book.SetFormatContactsOptions(fcoEmail | fcoLastNameUppercase); // as the new options put it in effect

    Confirm(after);

    EXPECT_EQ(ann->WorkEmail, "ann@example.com");
    EXPECT_EQ(bob->LastName, "LEE");
    EXPECT_EQ(synced, (std::vector<TContactData *>{ann, bob})); // rows show the formatted texts
    EXPECT_TRUE(modified);
    EXPECT_TRUE(prompts.questions.isEmpty());
    ASSERT_TRUE(history.CanUndo());
    history.Undo();
    EXPECT_EQ(ann->WorkEmail, "  Ann@Example.COM ");
}

TEST_F(OptionsConsequencesTest, AccentChangeStampsOnlyContactsWhoseNameChanges)
{
    TContactData *zoe = Add("Zoé");
    TContactData *ann = Add("Ann");
    const TDateTime earlier = ann->Modified;
    TOptionsValues after = before;
    after.Settings[SettingId::DisplayReplaceAccentedChars] = true;
    book.SetDisplayTypeOptions(dtoReplaceAccentedChars);
    prompts.answerYes = true;

    Confirm(after);

    EXPECT_EQ(prompts.questions, QStringList{"Do you want to update all contacts?"});
    EXPECT_EQ(zoe->Modified, DateTimeToSerial(clock.NowUtc()));
    EXPECT_EQ(ann->Modified, earlier);
    EXPECT_EQ(synced, (std::vector<TContactData *>{zoe, ann})); // every row re-captioned
    EXPECT_TRUE(modified);
}

// Captions follow the display options, but only contacts that change make the
// book changed: a new display type changes none, nor accents answered No.
TEST_F(OptionsConsequencesTest, NewCaptionsAloneLeaveTheBookUnchanged)
{
    TContactData *ann = Add("Ann");
    ann->LastName = "Lee";
    TOptionsValues after = before;
    after.Settings[SettingId::DisplayType] = 3;
    Confirm(after);
    EXPECT_EQ(synced, std::vector<TContactData *>{ann});
    EXPECT_FALSE(modified);

    synced.clear();
    after = before;
    after.Settings[SettingId::DisplayReplaceAccentedChars] = true;
    Add("Zoé");
    prompts.answerYes = false;
    Confirm(after);
    EXPECT_EQ(prompts.questions, QStringList{"Do you want to update all contacts?"});
    EXPECT_EQ(synced.size(), 2u);
    EXPECT_FALSE(modified);
    EXPECT_FALSE(history.CanUndo());
}

TEST_F(OptionsConsequencesTest, NamingBooksAfterDisplayNamesOffersToMoveThem)
{
    users.fullNames["ann"] = "Ann Lee";
    const QString byAccount = dir.filePath("home/ann/Contacts/ann.qcb");
    const QString byDisplayName = dir.filePath("home/ann/Contacts/Ann Lee.qcb");
    ASSERT_TRUE(cardolin::testing::WriteAll(byAccount, "ann's book"));
    TOptionsValues after = before;
    after.Settings[SettingId::UseDisplayNameAsWindowsUserAccountForStorage] = true;
    prompts.answerYes = true;
    Confirm(after);
    EXPECT_EQ(prompts.questions, QStringList{"Do you want to relocate ann's contacts book?"});
    EXPECT_EQ(cardolin::testing::ReadAll(byDisplayName), "ann's book");
    EXPECT_FALSE(QFileInfo::exists(byAccount));

    // And back, once the user says so.
    prompts.questions.clear();
    std::swap(before, after);
    Confirm(after);
    EXPECT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(cardolin::testing::ReadAll(byAccount), "ann's book");
}

TEST_F(OptionsConsequencesTest, UnchangedOptionsLeaveTheBookAlone)
{
    Add("Ann", true);
    Confirm(before);
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_TRUE(synced.empty());
    EXPECT_FALSE(modified);
    EXPECT_FALSE(history.CanUndo());
}

} // namespace
