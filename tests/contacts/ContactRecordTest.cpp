#include "contacts/ContactFields.h"
#include "contacts/QorContacts.h"
#include "support/Clock.h"

#include <gtest/gtest.h>

#include <set>

using namespace cardolin;

namespace {

const QDateTime kNow(QDate(2024, 5, 6), QTime(7, 8, 9, 10), Qt::UTC);

TEST(CreateContactData, GivesDefaultsAndAppends)
{
    FixedClock clock(kNow);
    TQorContacts book;
    book.SetClock(clock);
    TContactData *first = book.CreateContactData();
    TContactData *second = book.CreateContactData();

    ASSERT_EQ(book.ContactDataList().size(), 2u);
    EXPECT_EQ(book.ContactDataList()[1].get(), second);
    EXPECT_EQ(first->Preferred, QStringLiteral("None"));
    EXPECT_EQ(first->Gender, QStringLiteral("Unspecified"));
    EXPECT_EQ(first->Priority, QStringLiteral("Normal"));
    EXPECT_EQ(first->Sensitivity, QStringLiteral("Normal"));
    EXPECT_TRUE(first->Exportable);
    EXPECT_FALSE(first->ExportableOverride);
    EXPECT_EQ(first->Synced, 0);
    EXPECT_EQ(first->VisitCount, 0);
    EXPECT_TRUE(first->Categories.IsEmpty());
    EXPECT_TRUE(first->Keywords.IsEmpty());
    EXPECT_EQ(SerialToUtc(first->Created), kNow);
    EXPECT_EQ(first->Modified, first->Created);
}

TEST(CreateContactData, TakesDefaultCategoryAndKeyword)
{
    TQorContacts book;
    book.SetDefaultCategory(QStringLiteral("Family"));
    book.SetDefaultKeyword(QStringLiteral("golf"));
    TContactData *contact = book.CreateContactData();
    EXPECT_EQ(contact->Categories.Entries(), QStringList{QStringLiteral("Family")});
    EXPECT_EQ(contact->Keywords.Entries(), QStringList{QStringLiteral("golf")});
}

TEST(SortedStringList, SortsIgnoringCaseWithoutDuplicates)
{
    TSortedStringList list;
    list.Add(QStringLiteral("Family"));
    list.Add(QStringLiteral("clients"));
    EXPECT_EQ(list.Add(QStringLiteral("family")), 1); // the existing position
    list.Add(QStringLiteral("Énergie"));
    list.Add(QStringLiteral("zoo"));
    EXPECT_EQ(list.Entries(), (QStringList{QStringLiteral("clients"), QStringLiteral("Énergie"),
                                           QStringLiteral("Family"), QStringLiteral("zoo")}));

    list.Assign({QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("B")});
    EXPECT_EQ(list.Entries(), (QStringList{QStringLiteral("A"), QStringLiteral("b")}));
}

// Fills every field with a value of its own, distinct per record.
void FillAll(TContactData &contact, int seed)
{
    const QString tag = QString::number(seed);
    for (const ContactField &field : ContactFields()) {
        switch (field.kind) {
        case FieldKind::Text: FieldRef<QString>(contact, field) = QString(field.name) + tag; break;
        case FieldKind::Date:
        case FieldKind::DateTime: FieldRef<TDateTime>(contact, field) = 40000 + seed; break;
        case FieldKind::Integer: FieldRef<int>(contact, field) = seed; break;
        case FieldKind::Boolean: FieldRef<bool>(contact, field) = seed % 2; break;
        case FieldKind::Lines: FieldRef<QStringList>(contact, field) = {tag, tag}; break;
        case FieldKind::SortedList: FieldRef<TSortedStringList>(contact, field).Assign({tag}); break;
        case FieldKind::Photo: FieldRef<QByteArray>(contact, field) = tag.toUtf8(); break;
        }
    }
}

bool SameField(const ContactField &field, const TContactData &a, const TContactData &b)
{
    bool same = false;
    std::visit([&](auto member) { same = a.*member == b.*member; }, field.member);
    return same;
}

TEST(CopyContactData, CopiesByContactType)
{
    // Fields that no copy ever touches, and those that only one type copies.
    const std::set<QString> neverCopied = {
        "Photo", "WorkCoordinates", "WorkCoordinatesUpdated", "WorkIM", "HomeCoordinates",
        "HomeCoordinatesUpdated", "OtherCoordinates", "OtherCoordinatesUpdated", "OtherMobilePhone",
        "OtherPager", "OtherIM", "ExportableOverride", "Uid"};
    const std::set<QString> defaultOnly = {"WorkLocation", "HomeLocation", "OtherLocation", "Keywords",
                                           "Created", "Accessed", "Modified"};
    const std::set<QString> googleOnly = {"GoogleContactID", "GoogleContactUpdated", "GoogleContactETag",
                                          "GoogleContactPhotoUrl"};
    TQorContacts book;
    for (TContactType type : {ctDefault, ctGoogle}) {
        TContactData source, dest, before;
        FillAll(source, 1);
        FillAll(dest, 2);
        FillAll(before, 2);
        ASSERT_TRUE(book.CopyContactData(&source, &dest, type));
        for (const ContactField &field : ContactFields()) {
            const QString name = field.name;
            if (name == QStringLiteral("Synced")) {
                EXPECT_EQ(dest.Synced, 0);
                continue;
            }
            const bool copied = !neverCopied.count(name)
                                && !(type == ctGoogle && defaultOnly.count(name))
                                && !(type == ctDefault && googleOnly.count(name));
            EXPECT_TRUE(SameField(field, dest, copied ? source : before))
                << qPrintable(name) << (type == ctGoogle ? " (google)" : " (default)");
        }
    }
}

TEST(CopyContactData, MissingRecordChangesNothing)
{
    TQorContacts book;
    TContactData contact;
    contact.FirstName = QStringLiteral("Ann");
    EXPECT_FALSE(book.CopyContactData(nullptr, &contact, ctDefault));
    EXPECT_FALSE(book.CopyContactData(&contact, nullptr, ctGoogle));
    EXPECT_EQ(contact.FirstName, QStringLiteral("Ann"));
}

TEST(DeleteContactData, RemovesOnlyOwnRecords)
{
    TQorContacts book, other;
    TContactData *a = book.CreateContactData();
    TContactData *b = book.CreateContactData();
    TContactData *c = book.CreateContactData();
    TContactData *foreign = other.CreateContactData();

    EXPECT_FALSE(book.DeleteContactData(foreign));
    EXPECT_FALSE(book.DeleteContactData(nullptr));
    EXPECT_EQ(other.ContactDataList().size(), 1u);

    EXPECT_TRUE(book.DeleteContactData(b));
    ASSERT_EQ(book.ContactDataList().size(), 2u);
    EXPECT_EQ(book.ContactDataList()[0].get(), a);
    EXPECT_EQ(book.ContactDataList()[1].get(), c); // later records move up
}

} // namespace
