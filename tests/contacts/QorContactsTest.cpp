#include "contacts/QorContacts.h"

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

TEST(QorContacts, ConstructionDefaults)
{
    TQorContacts book;
    EXPECT_EQ(book.Categories(), (QStringList{"Contacts", "Coworkers", "Family", "Favorites", "Friends", "Starred"}));
    EXPECT_EQ(book.Keywords(), QStringList{"Obsolete"});
    EXPECT_EQ(book.Titles(), (QStringList{"Dr.", "Miss", "Mr.", "Mrs.", "Ms.", "Prof."}));
    EXPECT_EQ(book.Suffixes(), (QStringList{"Jr.", "Sr."}));
    EXPECT_EQ(book.GoogleContactGroups(), (QStringList{"Contacts", "Coworkers", "Family", "Friends", "Starred"}));
    EXPECT_EQ(book.DisplayType(), dtFirstMiddleLastName);
    EXPECT_EQ(book.MapsProvider(), mpNone);
    EXPECT_EQ(book.FindOptions(), TFindOptions(foIgnoreAccentedChars));
    EXPECT_EQ(book.FormatContactsOptions(), fcoDialNumber | fcoEmail | fcoWebsite);
    EXPECT_EQ(book.ProxyPort(), "80");
    EXPECT_EQ(book.BatchGeoHighPriorityMarkerGroup(), "Default Group");
    EXPECT_EQ(book.ZeeMapsLowPriorityMarkerColor(), "red");
    EXPECT_EQ(book.Font().Name, "Segoe UI");
    EXPECT_EQ(book.FontNotes().Name, "Calibri");
    EXPECT_TRUE(book.ContactDataList().empty());
}

TEST(QorContacts, DeletingManyKeepsTheOthersInOrderAndForgetsThemInQueries)
{
    TQorContacts book;
    std::vector<TContactData *> all;
    for (const char *name : {"Ann", "Bob", "Cy", "Di"}) {
        all.push_back(book.CreateContactData());
        all.back()->FirstName = name;
    }
    book.QueryResultsContactDataList() = all;
    TQorContacts other;

    EXPECT_EQ(book.DeleteContactDataList({all[1], all[3], other.CreateContactData()}), 2);
    ASSERT_EQ(book.ContactDataList().size(), 2u);
    EXPECT_EQ(book.ContactDataList()[0]->FirstName, "Ann");
    EXPECT_EQ(book.ContactDataList()[1]->FirstName, "Cy");
    EXPECT_EQ(book.QueryResultsContactDataList(), (std::vector<TContactData *>{all[0], all[2]}));
}

TEST(QorContacts, ProxyPortTakesDigitsOnly)
{
    const struct { const char *given, *stored; } cases[] = {
        {"8080", "8080"}, {"80a", "80"}, {"-1", "80"}, {"", "80"}, {" 81", "80"}, {"+81", "80"}, {"0", "0"},
    };
    TQorContacts book;
    for (const auto &c : cases) {
        book.SetProxyPort(QStringLiteral("1234"));
        book.SetProxyPort(QString::fromLatin1(c.given));
        EXPECT_EQ(book.ProxyPort(), QString::fromLatin1(c.stored)) << c.given;
    }
}

TEST(QorContacts, MarkerColoursAreLowerCased)
{
    TQorContacts book;
    book.SetZeeMapsHighPriorityMarkerColor(QStringLiteral("Blue"));
    book.SetGoogleEarthLowPriorityMarkerColor(QStringLiteral("YELLOW"));
    EXPECT_EQ(book.ZeeMapsHighPriorityMarkerColor(), "blue");
    EXPECT_EQ(book.GoogleEarthLowPriorityMarkerColor(), "yellow");
}

TEST(QorContacts, MapsProviderIsSharedByTheProcess)
{
    TQorContacts one, two;
    one.SetMapsProvider(mpBing);
    EXPECT_EQ(TQorContacts::MapsProviderInUse(), mpBing);
    two.SetMapsProvider(mpGoogle);
    EXPECT_EQ(TQorContacts::MapsProviderInUse(), mpGoogle);
    EXPECT_EQ(one.MapsProvider(), mpBing);
}

TEST(QorContacts, RemoveUnassignedKeepsOrderAndIgnoresCase)
{
    TQorContacts book;
    book.SetCategories({"Contacts", "Family", "Friends"});
    book.SetKeywords({"b", "A", "c"});
    TContactData *contact = book.CreateContactData();
    contact->Categories.Add(QStringLiteral("family"));
    contact->Keywords.Add(QStringLiteral("C"));
    contact->Keywords.Add(QStringLiteral("b"));

    EXPECT_EQ(book.RemoveUnassignedCategories(), 2);
    EXPECT_EQ(book.Categories(), QStringList{"Family"});
    EXPECT_EQ(book.RemoveUnassignedKeywords(), 1);
    EXPECT_EQ(book.Keywords(), (QStringList{"b", "c"}));
}

TEST(QorContacts, ListSettersCopy)
{
    TQorContacts book;
    QStringList mine{"One"};
    book.SetCategories(mine);
    mine.append("Two");
    EXPECT_EQ(book.Categories(), QStringList{"One"});
    book.SetCategories(book.Categories()); // assigning to itself keeps it
    EXPECT_EQ(book.Categories(), QStringList{"One"});
}

TEST(QorContacts, EventsAreOptional)
{
    TQorContacts book;
    book.ReportError("Op", "Type", "text", 1); // no handler: nothing happens
    QString seen;
    book.OnError = [&](TQorContacts *sender, const QString &context, const QString &, const QString &text, int count) {
        EXPECT_EQ(sender, &book);
        seen = context + ':' + text + ':' + QString::number(count);
    };
    book.ReportError("ImportFromNokiaCSVFile", "CSV File Parsing Error", "bad,line", 7);
    EXPECT_EQ(seen, "ImportFromNokiaCSVFile:bad,line:7");
}

TEST(QorContacts, ClearEmptiesTheBook)
{
    TQorContacts book;
    book.ClearContactDataList();
    book.CreateContactData();
    book.CreateContactData();
    book.ClearContactDataList();
    EXPECT_TRUE(book.ContactDataList().empty());
}

} // namespace
