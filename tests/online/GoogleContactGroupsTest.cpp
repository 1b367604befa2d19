#include "GoogleFixture.h"

using namespace cardolin;
using namespace cardolin::testing;

namespace {

using Groups = GoogleFixture;

TEST_F(Groups, ReadFollowsThePagesAndCallsMyContactsContacts)
{
    google.groups = {{"My Contacts", "contactGroups/myContacts"}, {"Golf", "contactGroups/golf"}};
    for (int i = 0; i < 33; ++i)
        google.groups.append({QString("G%1").arg(i), QString("contactGroups/g%1").arg(i)});
    Connect();

    EXPECT_EQ(book.ReadGoogleContactGroupsFromGoogleContactsService(), 35);
    EXPECT_EQ(google.CountRequests("GET /v1/contactGroups?pageSize=30"), 2);
    EXPECT_EQ(book.GoogleContactGroups().value(0), "Contacts=contactGroups/myContacts");
    EXPECT_TRUE(book.GoogleContactGroupsAvailability());
    EXPECT_EQ(book.GetGoogleContactGroupName("contactGroups/golf"), "Golf");
    EXPECT_EQ(book.GetGoogleContactGroupResourceName("GOLF"), "contactGroups/golf");
    EXPECT_EQ(book.GetGoogleContactGroupName(""), "");
}

TEST_F(Groups, FreshListKnowsNoResourceNamesAndReadsNothing)
{
    for (const char *resource : {"contactGroups/myContacts", "Contacts", ""})
        EXPECT_EQ(book.GetGoogleContactGroupName(resource), "") << resource;
    EXPECT_TRUE(google.requestLines.isEmpty());
}

TEST_F(Groups, WriteCreatesMissingCategoriesAndDeletesStrayGroupsExceptProtectedOnes)
{
    google.groups = {{"My Contacts", "contactGroups/myContacts"}, {"Bowling", "contactGroups/bowling"},
                     {"Blocked", "contactGroups/blocked"},         {"All Contacts", "contactGroups/all"},
                     {"golf", "contactGroups/golf"}};
    book.SetCategories({"Contacts", "Family", "Starred in Android", "Golf", "Chess \"club\""});
    Connect();
    book.ReadGoogleContactGroupsFromGoogleContactsService();

    book.WriteGoogleContactGroupsToGoogleContactsService();

    QStringList names;
    for (const auto &group : google.groups)
        names << group.first;
    EXPECT_EQ(names, (QStringList{"My Contacts", "Blocked", "All Contacts", "golf", "Chess \"club\""}));
    EXPECT_EQ(google.CountRequests("POST /v1/contactGroups"), 1);
    EXPECT_EQ(google.CountRequests("DELETE /v1/contactGroups/"), 1);
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join('\n').toStdString();
    EXPECT_FALSE(book.DeleteGoogleContactGroupFromGoogleContactsService("My Contacts"));
}

TEST_F(Groups, CreatedGroupWithoutResourceNameIsReadAgain)
{
    google.omitCreatedGroupName = true;
    book.SetCategories({"Golf"});
    Connect();
    book.ReadGoogleContactGroupsFromGoogleContactsService();
    book.WriteGoogleContactGroupsToGoogleContactsService();
    EXPECT_EQ(google.CountRequests("GET /v1/contactGroups"), 2);
    EXPECT_EQ(book.GetGoogleContactGroupResourceName("Golf"), "contactGroups/g1");
}

TEST_F(Groups, RefusedCreationAndDeletionAreToldAndTheLoopGoesOn)
{
    book.SetCategories({"A", "B"});
    Connect();
    book.ReadGoogleContactGroupsFromGoogleContactsService();
    google.accessToken = "changed"; // every People request now answers 401
    book.WriteGoogleContactGroupsToGoogleContactsService();
    EXPECT_EQ(prompts.errors,
              (QStringList{"An error occurred while creating the following contact group in Google Contacts "
                           "Service:\nA",
                           "An error occurred while creating the following contact group in Google Contacts "
                           "Service:\nB"}));
}

TEST_F(Groups, RefusedReadKeepsTheListAndStopsCreation)
{
    google.groups = {{"Golf", "contactGroups/golf"}};
    book.SetCategories({"Chess"});
    Connect();
    ASSERT_EQ(book.ReadGoogleContactGroupsFromGoogleContactsService(), 1);
    google.accessToken = "changed";
    EXPECT_EQ(book.ReadGoogleContactGroupsFromGoogleContactsService(), 1);
    EXPECT_FALSE(book.GoogleContactGroupsAvailability());
    EXPECT_EQ(prompts.errors, QStringList{"An error occurred while reading contact groups from Google Contacts Service."});
    google.accessToken = "access-1";
    book.WriteGoogleContactGroupsToGoogleContactsService();
    EXPECT_EQ(google.CountRequests("POST /v1/contactGroups"), 0);
}

} // namespace
