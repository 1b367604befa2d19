#include "contacts/ContactSearchIndex.h"
#include "contacts/QorContacts.h"

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

// A small book whose records are told apart by their first names.
class QueryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Add("Ann", "Smith", [](TContactData &c) {
            c.WorkCity = "Seattle", c.WorkStateProvince = "WA", c.WorkCountryRegion = "USA";
            c.Categories.Assign({"Family"});
            c.Notes = {"met in Paris"};
            c.LastVisit = DateToSerial(QDate(2021, 3, 4));
        });
        Add("eric", "Lee", [](TContactData &c) {
            c.HomeStateProvince = "CA", c.HomeCountryRegion = "USA";
            c.Company = "Acme";
            c.Keywords.Assign({"golf"});
            c.VisitCount = 42;
        });
        Add("Bob", "Brown", [](TContactData &c) {
            c.HomeCity = "Fresno", c.HomeStateProvince = "CA", c.HomeCountryRegion = "USA";
            c.OtherCountryRegion = "France";
            c.Categories.Assign({""});
            c.LastVisit = DateToSerial(QDate(2020, 1, 1));
        });
        Add(QString::fromUtf8("Éric"), "Paris", [](TContactData &c) {
            c.Categories.Assign({"Friends"});
            c.WorkCoordinates = "1.5,2.5,0"; // never searched
            c.GoogleContactID = "people/c1";
            c.LastVisit = DateToSerial(QDate(2020, 1, 1));
        });
    }

    template <typename Fill> void Add(const QString &first, const QString &last, Fill fill)
    {
        TContactData *c = book.CreateContactData();
        c->FirstName = first;
        c->LastName = last;
        fill(*c);
    }

    QStringList Query(const QString &text, TQueryType type, TDisplayType display = dtFirstLastName)
    {
        const int count = book.QueryContactDataList(text, type, display);
        QStringList names;
        for (TContactData *c : book.QueryResultsContactDataList())
            names.append(c->FirstName);
        EXPECT_EQ(count, names.size());
        return names;
    }

    std::vector<TContactData *> Records() const
    {
        std::vector<TContactData *> records;
        for (const auto &contact : book.ContactDataList())
            records.push_back(contact.get());
        return records;
    }

    // Olaf Fatima Brown0, and someone whose notes hold the words of that name.
    void AddPeopleOfSeveralNames()
    {
        Add("Olaf", "Brown0", [](TContactData &c) { c.MiddleName = "Fatima"; });
        Add("Noted", "Paris", [](TContactData &c) { c.Notes = {"wrote to Brown0 Olaf"}; });
    }

    TQorContacts book;
};

TEST_F(QueryTest, TermsAndTypes)
{
    const struct { const char *text; TQueryType type; QStringList expected; } cases[] = {
        {"smith", qtAll, {"Ann"}},
        {"Éric", qtAll, {"eric", QString::fromUtf8("Éric")}},
        {"paris", qtAll, {"Ann", QString::fromUtf8("Éric")}},
        {"Paris&Family", qtAll, {"Ann"}},
        {"&", qtAll, {"Ann", "eric", "Bob", QString::fromUtf8("Éric")}},
        {"", qtKeyword, {"Ann", "eric", "Bob", QString::fromUtf8("Éric")}},
        {"Paris& Family", qtAll, {}}, // blanks around terms take part
        {"42", qtAll, {"eric"}},
        {"2021-03", qtAll, {"Ann"}},
        {"1899-12-30", qtAll, {"Ann", "eric", "Bob", QString::fromUtf8("Éric")}}, // unset dates read as the epoch
        {"1.5,2.5", qtAll, {}},            // coordinates are not searched
        {"people/", qtAll, {}},            // nor the account links
        {"Normal", qtAll, {"Ann", "eric", "Bob", QString::fromUtf8("Éric")}},
        {"Fam", qtCategory, {"Ann"}},
        {"a", qtCategory, {"Ann"}},
        {"acm", qtCompany, {"eric"}},
        {"GOLF", qtKeyword, {"eric"}},
        {"Seattle, WA, USA", qtLocation, {"Ann"}},
        {" seattle ,wa,usa ", qtLocation, {"Ann"}},
        {"CA, USA", qtLocation, {"eric"}},
        {"Fresno, USA", qtLocation, {}},
        {"Fresno, CA, USA", qtLocation, {"Bob"}},
        {"France", qtLocation, {"Bob"}},
        {"a, b, c, d", qtLocation, {"Ann", "eric", "Bob", QString::fromUtf8("Éric")}}, // all three empty
    };
    for (const auto &c : cases)
        EXPECT_EQ(Query(QString::fromUtf8(c.text), c.type), c.expected) << c.text << " type " << c.type;
}

TEST_F(QueryTest, FindOptions)
{
    book.SetFindOptions({});
    EXPECT_EQ(Query("smith", qtAll), QStringList{"Ann"});
    EXPECT_EQ(Query(QString::fromUtf8("éric"), qtAll), QStringList{}); // É and é differ without folding
    book.SetFindOptions(foCaseSensitive);
    EXPECT_EQ(Query("smith", qtAll), QStringList{});
    EXPECT_EQ(Query("Smith", qtAll), QStringList{"Ann"});
    book.SetFindOptions(foCaseSensitive | foIgnoreAccentedChars);
    EXPECT_EQ(Query("Eric", qtAll), QStringList{QString::fromUtf8("Éric")});
}

TEST_F(QueryTest, DisplayNameMatchesWholeText)
{
    EXPECT_EQ(Query("Ann Smith", qtDisplayName), QStringList{"Ann"});
    EXPECT_EQ(Query("ann Smith", qtDisplayName), QStringList{});
    EXPECT_EQ(Query("Smith Ann", qtDisplayName, dtLastFirstName), QStringList{"Ann"});
    EXPECT_EQ(Query("Ann&Smith", qtDisplayName), QStringList{});
    EXPECT_EQ(Query("", qtDisplayName), QStringList{});
    book.SetDisplayType(dtLastFirstName);
    EXPECT_EQ(Query("Smith Ann", qtDisplayName, dtInherited), QStringList{"Ann"});
}

// A name typed as the list shows it is found through the display name; when
// nothing has it as typed, its words are looked for one by one in any field.
TEST_F(QueryTest, TermsOfSeveralWords)
{
    AddPeopleOfSeveralNames();
    const struct { const char *text; TDisplayType display; QStringList expected; } cases[] = {
        {"Olaf Fatima Brown0", dtFirstMiddleLastName, {"Olaf"}},
        {"olaf fatima brown0", dtFirstMiddleLastName, {"Olaf"}},
        {"Fatima Brown0", dtFirstMiddleLastName, {"Olaf"}},
        {"Ann Smith&Paris", dtFirstMiddleLastName, {"Ann"}},
        {"Brown0, Olaf Fatima", dtLastFirstName, {}}, // the list shows no comma, and "Brown0," is no field
        {"Brown0 Olaf", dtFirstMiddleLastName, {"Noted"}},        // the notes hold it, so no word by word
        {"Brown0 Olaf", dtLastFirstName, {"Olaf", "Noted"}},      // as this list shows Olaf
        {"Smith Ann", dtFirstMiddleLastName, {"Ann"}},            // word by word
        {"Olaf Brown0&Paris", dtFirstMiddleLastName, {"Noted"}},  // word by word, with the other term kept
        {"Olaf Nobody", dtFirstMiddleLastName, {}},
        {"Fatima ", dtFirstMiddleLastName, {}},                   // one word: the blank takes part
        {" Fatima", dtFirstMiddleLastName, {}},
    };
    for (const auto &c : cases) {
        book.SetDisplayType(c.display);
        EXPECT_EQ(Query(QString::fromUtf8(c.text), qtAll, dtInherited), c.expected) << c.text;
    }
    // Only a search over every field reads the display name or splits words.
    EXPECT_EQ(Query("Smith Ann", qtCategory), QStringList{});
    EXPECT_EQ(Query("Olaf Brown0", qtCompany), QStringList{});
    const TContactData *olaf = book.ContactDataList()[4].get();
    book.SetDisplayType(dtFirstMiddleLastName);
    EXPECT_TRUE(book.FindTextInContactData(olaf, "Olaf Fatima Brown0", qtAll));
    EXPECT_FALSE(book.FindTextInContactData(olaf, "Olaf Fatima Brown0", qtCompany));
}

TEST_F(QueryTest, FindTextInOneRecord)
{
    const TContactData *ann = book.ContactDataList()[0].get();
    EXPECT_TRUE(book.FindTextInContactData(ann, "SEATTLE", qtAll));
    EXPECT_FALSE(book.FindTextInContactData(ann, "", qtAll));
    EXPECT_FALSE(book.FindTextInContactData(ann, "Ann Smith", qtDisplayName));
    EXPECT_FALSE(book.FindTextInContactData(nullptr, "Ann", qtAll));
}

// A large book is searched in two halves at once; the matches still come in
// book order.
TEST_F(QueryTest, ALargeBookKeepsItsOrder)
{
    QStringList expected;
    for (int i = 0; i < 5000; ++i) {
        const bool match = i % 7 == 0 || i == 2500;
        Add(QString::number(i), match ? "Smithers" : "Lee", [](TContactData &) {});
        if (match)
            expected.append(QString::number(i));
    }
    EXPECT_EQ(Query("smithers", qtAll), expected);
    TContactSearchIndex index;
    index.Build(Records(), book);
    EXPECT_EQ(index.Query("smithers"), std::optional(book.QueryResultsContactDataList()));
}

// The index of a book finds exactly what a search over its records finds.
TEST_F(QueryTest, TheIndexFindsWhatTheSearchFinds)
{
    AddPeopleOfSeveralNames();
    for (const TFindOptions options : {TFindOptions(foIgnoreAccentedChars), TFindOptions(foCaseSensitive), TFindOptions()})
        for (const TDisplayType display : {dtFirstMiddleLastName, dtLastFirstName}) {
            book.SetFindOptions(options);
            book.SetDisplayType(display);
            TContactSearchIndex index;
            index.Build(Records(), book);
            EXPECT_TRUE(index.IsBuiltFor(book));
            for (const char *text : {"smith", "Éric", "paris", "Paris&Family", "&", "", "Paris& Family", "42", "2021-03",
                                     "1899-12-30", "1.5,2.5", "people/", "Normal", "golf&usa", "ann smith", "nsmi", "A",
                                     "Olaf Fatima Brown0", "brown0 olaf", "Brown0 Olaf&Paris", "Olaf Nobody",
                                     "Fatima "}) {
                SCOPED_TRACE(text);
                book.QueryContactDataList(QString::fromUtf8(text), qtAll, dtInherited);
                EXPECT_EQ(index.Query(QString::fromUtf8(text)), std::optional(book.QueryResultsContactDataList()));
            }
        }
    // The names it holds are those of the list: another display type needs another build.
    TContactSearchIndex index;
    index.Build(Records(), book);
    book.SetDisplayType(dtFirstLastName);
    EXPECT_FALSE(index.IsBuiltFor(book));
    index.Build(Records(), book);
    EXPECT_FALSE(index.Query(QString("a") + QChar(0) + "b")); // a zero ends a field there
}

} // namespace
