#include "contacts/QorContacts.h"
#include "fakes/RecordingPrompts.h"
#include "support/Clock.h"

#include <gtest/gtest.h>

using namespace cardolin;
using cardolin::testing::RecordingPrompts;

namespace {

// The steps around the contact dialog, with a stand-in dialog that edits the
// record as a user would and answers as told.
class ContactDialogFlowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        book.SetClock(clock);
        book.SetPrompts(prompts);
        book.SetContactDialog([this](TQorContacts &, TContactData &contact, bool editable, const QString &caption) {
            ++shown;
            openWhileShown = TQorContacts::PropertiesDialogOpen();
            shownEditable = editable;
            shownCaption = caption;
            if (edit && answer.Confirmed)
                edit(contact);
            return answer;
        });
        clock.Set(QDateTime(QDate(2024, 5, 1), QTime(10, 0), Qt::UTC));
    }

    TContactData *Add(const QString &first, const QString &last)
    {
        TContactData *contact = book.CreateContactData();
        contact->FirstName = first;
        contact->LastName = last;
        contact->Modified = contact->Accessed = 100;
        return contact;
    }

    TDateTime Now() const { return DateTimeToSerial(clock.NowUtc()); }

    FixedClock clock{QDateTime()};
    RecordingPrompts prompts;
    TQorContacts book;
    TContactDialogResult answer;
    std::function<void(TContactData &)> edit;
    int shown = 0;
    bool openWhileShown = false;
    bool shownEditable = false;
    QString shownCaption;
};

TEST_F(ContactDialogFlowTest, ViewingChangesOnlyAccessed)
{
    TContactData *ann = Add("Ann", "Lee");
    answer.Confirmed = false;
    EXPECT_FALSE(book.DisplayContactProperties(ann, false, ""));
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(openWhileShown);
    EXPECT_FALSE(TQorContacts::PropertiesDialogOpen());
    EXPECT_EQ(ann->Accessed, Now());
    EXPECT_EQ(ann->Modified, 100);
    EXPECT_EQ(book.ContactDataList().size(), 1u);
}

TEST_F(ContactDialogFlowTest, ConfirmingStampsAndFormats)
{
    TContactData *ann = Add("Ann", "Lee");
    book.SetFormatContacts(true);
    book.SetFormatContactsOptions(fcoEmail);
    answer.Confirmed = true;
    edit = [](TContactData &c) { c.WorkEmail = "Ann at Example dot com"; };
    EXPECT_TRUE(book.DisplayContactProperties(ann, true, "Modify"));
    EXPECT_TRUE(shownEditable);
    EXPECT_EQ(shownCaption, "Modify");
    EXPECT_EQ(ann->WorkEmail, "ann@example.com");
    EXPECT_EQ(ann->Modified, Now());
    EXPECT_EQ(ann->Accessed, Now());
}

TEST_F(ContactDialogFlowTest, NewRecordIsKeptOnlyWhenConfirmed)
{
    answer.Confirmed = false;
    EXPECT_FALSE(book.DisplayContactProperties(nullptr, true, ""));
    EXPECT_TRUE(book.ContactDataList().empty());

    answer.Confirmed = true;
    edit = [](TContactData &c) { c.FirstName = "Bob"; };
    EXPECT_TRUE(book.DisplayContactProperties(nullptr, true, ""));
    ASSERT_EQ(book.ContactDataList().size(), 1u);
    EXPECT_EQ(book.ContactDataList()[0]->FirstName, "Bob");
}

TEST_F(ContactDialogFlowTest, VocabulariesFollowTheFlags)
{
    TContactData *ann = Add("Ann", "Lee");
    book.SetCategories({"Family", "Friends", "Golfers"});
    Add("Cy", "Po")->Categories.Add("Golfers");
    answer = {true, {"Family", "Golf", "Golfers"}, true, true, {"Obsolete", "Pilot"}, false, false};
    edit = [](TContactData &c) { c.Categories.Assign({"Golf"}); };
    EXPECT_TRUE(book.DisplayContactProperties(ann, true, ""));
    // Friends was used by no one; Family neither, so it goes too.
    EXPECT_EQ(book.Categories(), (QStringList{"Golfers", "Golf"}));
    EXPECT_EQ(book.Keywords(), QStringList{"Obsolete"}); // no flag, no change
}

TEST_F(ContactDialogFlowTest, SameFullNameAsksToMerge)
{
    TContactData *older = Add("Ann", "Lee");
    older->Company = "Acme";
    TContactData *edited = Add("Bob", "Ray");
    answer.Confirmed = true;
    edit = [](TContactData &c) { c.FirstName = "Ann", c.LastName = "Lee"; };

    prompts.answerYes = false;
    EXPECT_FALSE(book.DisplayContactProperties(edited, true, ""));
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions[0], "A contact keyed with the same full name already exists. "
                                    "Do you want to merge both contacts?");
    EXPECT_EQ(book.ContactDataList().size(), 2u); // an existing record stays as typed
    EXPECT_EQ(edited->FirstName, "Ann");

    prompts.answerYes = true;
    EXPECT_TRUE(book.DisplayContactProperties(edited, true, ""));
    ASSERT_EQ(book.ContactDataList().size(), 1u);
    EXPECT_EQ(book.ContactDataList()[0].get(), edited);
    EXPECT_EQ(edited->Company, "Acme");
}

TEST_F(ContactDialogFlowTest, EditedRecordSurvivesADuplicateDatedInTheFuture)
{
    TContactData *future = Add("Ann", "Lee");
    future->Company = "Future Inc";
    future->JobTitle = "Pilot";
    future->Modified = Now() + 365;
    TContactData *edited = Add("Bob", "Ray");
    answer.Confirmed = true;
    edit = [](TContactData &c) { c.FirstName = "Ann", c.LastName = "Lee", c.Company = "Acme"; };
    prompts.answerYes = true;
    EXPECT_TRUE(book.DisplayContactProperties(edited, true, ""));
    ASSERT_EQ(book.ContactDataList().size(), 1u);
    EXPECT_EQ(book.ContactDataList()[0].get(), edited);
    EXPECT_EQ(edited->Company, "Acme");  // typed values win
    EXPECT_EQ(edited->JobTitle, "Pilot"); // and empty ones are filled
    EXPECT_EQ(edited->Modified, Now());
}

TEST_F(ContactDialogFlowTest, NewDuplicateRefusedIsDeleted)
{
    Add("Ann", "Lee");
    answer.Confirmed = true;
    edit = [](TContactData &c) { c.FirstName = "Ann", c.LastName = "Lee"; };
    prompts.answerYes = false;
    EXPECT_FALSE(book.DisplayContactProperties(nullptr, true, ""));
    EXPECT_EQ(book.ContactDataList().size(), 1u);
}

TEST_F(ContactDialogFlowTest, NamelessContactsAreNotAskedAbout)
{
    Add("", "");
    answer.Confirmed = true;
    EXPECT_TRUE(book.DisplayContactProperties(nullptr, true, ""));
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(book.ContactDataList().size(), 2u);
}

TEST_F(ContactDialogFlowTest, NoDialogOrForeignRecordShowsNothing)
{
    TQorContacts other;
    EXPECT_FALSE(book.DisplayContactProperties(other.CreateContactData(), true, ""));
    book.SetContactDialog({});
    EXPECT_FALSE(book.DisplayContactProperties(nullptr, true, ""));
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(book.ContactDataList().empty());
}

} // namespace
