#include "contacts/ContactFields.h"
#include "contacts/QorContacts.h"
#include "support/Clock.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using namespace cardolin;

namespace {

const QDateTime kNow(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC);

TDateTime Year(int year)
{
    return DateToSerial(QDate(year, 1, 1));
}

class MergeTest : public ::testing::Test
{
protected:
    void SetUp() override { book.SetClock(clock); }
    FixedClock clock{kNow};
    TQorContacts book;
};

TEST_F(MergeTest, NewerWinsWhereItHasValues)
{
    TContactData *older = book.CreateContactData();
    TContactData *newer = book.CreateContactData();
    older->FirstName = "Anne", older->Company = "Acme", older->VisitCount = 2, older->Modified = Year(2019);
    older->Notes = {"old note"}, older->Birthday = Year(1980), older->WorkIM = "anne@im";
    older->WorkCoordinates = "1,2,0";
    newer->FirstName = "Ann", newer->VisitCount = 3, newer->Modified = Year(2021);
    newer->GoogleContactID = "people/c1", newer->Synced = Year(2021), newer->Exportable = false;
    newer->Keywords.Assign({"golf"});

    TContactData *merged = book.MergeContactData(older, newer, newer);
    EXPECT_EQ(merged, newer);
    EXPECT_EQ(merged->FirstName, "Ann");
    EXPECT_EQ(merged->Company, "Acme");
    EXPECT_EQ(merged->VisitCount, 5);
    EXPECT_EQ(merged->Notes, QStringList{"old note"});
    EXPECT_EQ(merged->Keywords.Entries(), QStringList{"golf"});
    EXPECT_EQ(merged->Birthday, Year(1980));
    EXPECT_EQ(merged->WorkIM, "anne@im"); // kept from the duplicate rather than lost
    EXPECT_TRUE(merged->WorkCoordinates.isEmpty()); // coordinates belong to one record
    EXPECT_TRUE(merged->GoogleContactID.isEmpty());
    EXPECT_EQ(merged->Synced, 0);
    EXPECT_TRUE(merged->Exportable);
    EXPECT_EQ(SerialToUtc(merged->Modified), kNow);
    EXPECT_EQ(merged->Accessed, merged->Modified);
}

TEST_F(MergeTest, ListsAreTakenWholeNotUnited)
{
    TContactData a, b;
    a.Modified = b.Modified = Year(2020); // a tie: the second source is the newer
    a.Notes = {"a1", "a2"};
    b.Notes = {"b1"};
    a.Categories.Assign({"Family"});
    TContactData *merged = book.MergeContactData(&a, &b, &a);
    EXPECT_EQ(merged->Notes, QStringList{"b1"});
    EXPECT_EQ(merged->Categories.Entries(), QStringList{"Family"});
}

TEST_F(MergeTest, MissingSourcesAndNewTarget)
{
    TContactData a;
    EXPECT_EQ(book.MergeContactData(nullptr, &a, &a), &a);
    EXPECT_EQ(book.MergeContactData(&a, nullptr, nullptr), nullptr);
    a.FirstName = "Ann";
    a.VisitCount = std::numeric_limits<int>::max();
    TContactData *created = book.MergeContactData(&a, &a, nullptr);
    ASSERT_EQ(book.ContactDataList().size(), 1u);
    EXPECT_EQ(book.ContactDataList()[0].get(), created);
    EXPECT_EQ(created->FirstName, "Ann");
    EXPECT_EQ(created->VisitCount, std::numeric_limits<int>::max()); // no overflow
}

// The record merged into stays the same contact, even when the other is newer;
// a record made by the merge is a new contact.
TEST_F(MergeTest, TheTargetKeepsItsUid)
{
    TContactData older, newer;
    older.Uid = "older", older.Modified = Year(2019);
    newer.Uid = "newer", newer.Modified = Year(2021);
    EXPECT_EQ(book.MergeContactData(&newer, &older, &older)->Uid, "older");
    const QString made = book.MergeContactData(&older, &newer, nullptr)->Uid;
    EXPECT_FALSE(made.isEmpty());
    EXPECT_NE(made, "older");
    EXPECT_NE(made, "newer");
}

class DedupeTest : public MergeTest
{
protected:
    TContactData *Add(const QString &first, const QString &last, TDateTime modified, const QString &company = {})
    {
        TContactData *c = book.CreateContactData();
        c->FirstName = first, c->LastName = last, c->Modified = modified, c->Company = company;
        return c;
    }
};

TEST_F(DedupeTest, ThreeOfTheSameName)
{
    for (TDeduplicationMethod method : {dmKeepNewest, dmKeepOldest, dmMerge}) {
        book.ClearContactDataList();
        Add("Ann", "Lee", Year(2020), "Acme");
        TContactData *newest = Add("Ann", "Lee", Year(2021));
        TContactData *oldest = Add("Ann", "Lee", Year(2019));
        TContactData *other = Add("Bob", "Lee", Year(2019));
        EXPECT_EQ(book.DeduplicateContactDataList(method), 2) << method;
        ASSERT_EQ(book.ContactDataList().size(), 2u);
        TContactData *survivor = book.ContactDataList()[0].get();
        EXPECT_EQ(survivor, method == dmKeepOldest ? oldest : newest) << method;
        EXPECT_EQ(book.ContactDataList()[1].get(), other);
        EXPECT_EQ(survivor->Company, method == dmMerge ? "Acme" : "") << method;
    }
}

TEST_F(DedupeTest, UniqueOrNamelessRecordsStay)
{
    TContactData *ann = Add("Ann", "Lee", Year(2020));
    Add("", "", Year(2020), "Acme");
    Add("", "", Year(2021), "Globex"); // two companies, no names: not one person
    EXPECT_EQ(book.DeduplicateContactData(ann, dmMerge), 0);
    EXPECT_EQ(book.DeduplicateContactDataList(dmKeepNewest), 0);
    EXPECT_EQ(book.ContactDataList().size(), 3u);
    EXPECT_EQ(book.DeduplicateContactData(nullptr, dmMerge), 0);
}

// A book stores a record without notes or categories in a way that reads back
// as one empty entry; that must not count as something to keep.
TEST_F(DedupeTest, MergingThroughALoadedBookKeepsTheOlderRecordsLists)
{
    TContactData *older = Add("Ann", "Lee", Year(2019));
    older->Notes = {"met at the fair"};
    older->Categories.Assign({"Family"});
    older->Keywords.Assign({"golf"});
    Add("Ann", "Lee", Year(2021));
    QTemporaryDir dir;
    const QString path = dir.filePath("book.qcb");
    ASSERT_EQ(book.SaveToXMLFile(path), 2);

    TQorContacts loaded;
    loaded.SetClock(clock);
    ASSERT_EQ(loaded.LoadFromXMLFile(path), 2);
    EXPECT_EQ(loaded.DeduplicateContactDataList(dmMerge), 1);
    const TContactData &merged = *loaded.ContactDataList()[0];
    EXPECT_EQ(merged.Notes, QStringList{"met at the fair"});
    EXPECT_EQ(merged.Categories.Entries(), QStringList{"Family"});
    EXPECT_EQ(merged.Keywords.Entries(), QStringList{"golf"});
}

TEST_F(DedupeTest, KeepOldestIgnoresTheFuture)
{
    Add("Ann", "Lee", DateTimeToSerial(kNow) + 1);
    Add("Ann", "Lee", DateTimeToSerial(kNow) + 2);
    EXPECT_EQ(book.DeduplicateContactDataList(dmKeepOldest), 0);
    TContactData *past = Add("Ann", "Lee", Year(2000));
    EXPECT_EQ(book.DeduplicateContactDataList(dmKeepOldest), 2);
    EXPECT_EQ(book.ContactDataList()[0].get(), past);
}

// ---- the fast paths against a plain transcription of the rules ----------------

// One record at a time, as the rules read: a uniqueness test and a whole-book
// query for each record, deleting as it goes.
int ReferenceDedupeOne(TQorContacts &book, TContactData *record, TDeduplicationMethod method, TDateTime now)
{
    const QString name = book.GetDisplayNameFromContactData(record, dtInherited);
    if (!record || name.isEmpty() || book.IsContactDataUnique(record))
        return 0;
    std::vector<TContactData *> same;
    for (const auto &c : book.ContactDataList())
        if (book.GetDisplayNameFromContactData(c.get(), dtInherited) == name)
            same.push_back(c.get());
    TContactData *survivor = nullptr;
    for (TContactData *c : same) {
        if (method == dmKeepOldest) {
            if (c->Modified < now && (!survivor || c->Modified < survivor->Modified))
                survivor = c;
        } else if (!survivor || c->Modified >= survivor->Modified) {
            survivor = c;
        }
    }
    if (!survivor)
        return 0;
    int removed = 0;
    for (TContactData *c : same) {
        if (c == survivor)
            continue;
        if (method == dmMerge)
            book.MergeContactData(c, survivor, survivor);
        book.DeleteContactData(c);
        ++removed;
    }
    return removed;
}

int ReferenceDedupeList(TQorContacts &book, TDeduplicationMethod method, TDateTime now)
{
    int total = 0;
    for (size_t position = 0; position < book.ContactDataList().size();) {
        const int removed = ReferenceDedupeOne(book, book.ContactDataList()[position].get(), method, now);
        total += removed;
        if (removed == 0)
            ++position;
    }
    return total;
}

// Small pools so that names collide, merges change names ("Ann" + "Lee Lee"),
// and Modified ties or lies in the future.
void FillRandomBook(TQorContacts &book, std::mt19937 &random, TDateTime now)
{
    const char *firsts[] = {"Ann", "Ann Lee", "", "Bo", "Ånn"};
    const char *middles[] = {"", "", "Lee"};
    const char *lasts[] = {"Lee", "", "Bo", "Lee Lee"};
    const TDateTime stamps[] = {0, now - 10, now - 5, now - 5, now, now + 3};
    const int count = std::uniform_int_distribution<int>(0, 14)(random);
    auto pick = [&](auto &pool) { return pool[std::uniform_int_distribution<size_t>(0, std::size(pool) - 1)(random)]; };
    for (int i = 0; i < count; ++i) {
        TContactData *c = book.CreateContactData();
        c->Uid = QStringLiteral("uid-%1").arg(i);
        c->FirstName = QString::fromUtf8(pick(firsts));
        c->MiddleName = QString::fromUtf8(pick(middles));
        c->LastName = QString::fromUtf8(pick(lasts));
        c->Title = random() % 4 == 0 ? QStringLiteral("Dr.") : QString();
        c->Suffix = random() % 5 == 0 ? QStringLiteral("Jr.") : QString();
        c->Company = random() % 2 ? QStringLiteral("Company %1").arg(i) : QString();
        c->VisitCount = int(random() % 3);
        c->Modified = pick(stamps);
        if (random() % 3 == 0)
            c->Notes = {QStringLiteral("note %1").arg(i)};
    }
}

void ExpectSameBooks(const TQorContacts &fast, const TQorContacts &reference, const std::string &where)
{
    ASSERT_EQ(fast.ContactDataList().size(), reference.ContactDataList().size()) << where;
    for (size_t i = 0; i < fast.ContactDataList().size(); ++i)
        for (const ContactField &field : ContactFields()) {
            bool same = false;
            std::visit([&](auto member) { same = *fast.ContactDataList()[i].*member == *reference.ContactDataList()[i].*member; },
                       field.member);
            ASSERT_TRUE(same) << where << " record " << i << " field " << field.name.data();
        }
}

TEST(DedupeDifferential, MatchesTheOneByOneWalk)
{
    std::mt19937 random(20261209);
    FixedClock clock(kNow);
    const TDateTime now = DateTimeToSerial(kNow);
    const TDisplayType types[] = {dtFirstLastName, dtFirstMiddleLastName, dtFullName, dtLastFirstName};
    for (int round = 0; round < 3000; ++round) {
        const auto seed = random();
        const TDeduplicationMethod method = TDeduplicationMethod(seed % 3);
        const TDisplayType type = types[(seed / 3) % 4];
        const bool fold = (seed / 12) % 2;
        const bool single = (seed / 24) % 4 == 0;
        TQorContacts fast, reference;
        for (TQorContacts *book : {&fast, &reference}) {
            book->SetClock(clock);
            book->SetDisplayType(type);
            if (fold)
                book->SetDisplayTypeOptions(dtoReplaceAccentedChars);
            std::mt19937 same(seed);
            FillRandomBook(*book, same, now);
        }
        const std::string where = "round " + std::to_string(round);
        if (single && !fast.ContactDataList().empty()) {
            const size_t at = seed % fast.ContactDataList().size();
            EXPECT_EQ(fast.DeduplicateContactData(fast.ContactDataList()[at].get(), method),
                      ReferenceDedupeOne(reference, reference.ContactDataList()[at].get(), method, now))
                << where;
        } else {
            EXPECT_EQ(fast.DeduplicateContactDataList(method), ReferenceDedupeList(reference, method, now)) << where;
        }
        ExpectSameBooks(fast, reference, where);
        if (::testing::Test::HasFailure())
            break;
    }
}

} // namespace
