#include "contacts/AccentFolding.h"
#include "contacts/QorContacts.h"
#include "support/Clock.h"

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

TContactData Person(QString title, QString first, QString middle, QString last, QString suffix = {})
{
    TContactData c;
    c.Title = title, c.FirstName = first, c.MiddleName = middle, c.LastName = last, c.Suffix = suffix;
    return c;
}

TEST(DisplayName, ByTypeAndOption)
{
    const struct {
        const char *name;
        TContactData contact;
        TDisplayType type;
        bool fold;
        QString expected;
    } cases[] = {
        {"no middle name", Person("Dr.", "Anne", "", "Lee", "Jr."), dtFirstMiddleLastName, false, "Anne Lee"},
        {"last first", Person("Dr.", "Anne", "", "Lee", "Jr."), dtLastFirstName, false, "Lee Anne"},
        {"first last", Person("", "Anne", "Maria", "Lee"), dtFirstLastName, false, "Anne Lee"},
        {"full", Person("Dr.", "Anne", "", "Lee", "Jr."), dtFullName, false, "Dr. Anne Lee, Jr."},
        {"suffix alone, full", Person("", "", "", "", "Sr."), dtFullName, false, "Sr."},
        {"suffix alone, first last", Person("", "", "", "", "Sr."), dtFirstLastName, false, ""},
        {"folded", Person("", QString::fromUtf8("Zoë"), "", QString::fromUtf8("Élan")), dtFirstLastName, true,
         "Zoe Elan"},
        {"not in the fold table", Person("", QString::fromUtf8("Raúl"), "", ""), dtFirstLastName, true,
         QString::fromUtf8("Raúl")},
        {"accents kept without the option", Person("", QString::fromUtf8("Zoë"), "", ""), dtFirstLastName, false,
         QString::fromUtf8("Zoë")},
    };
    for (const auto &c : cases) {
        TQorContacts book;
        if (c.fold)
            book.SetDisplayTypeOptions(dtoReplaceAccentedChars);
        EXPECT_EQ(book.GetDisplayNameFromContactData(&c.contact, c.type), c.expected) << c.name;
        EXPECT_TRUE(book.HasDisplayName(c.contact, c.type, c.expected)) << c.name;
    }
}

TEST(DisplayName, InheritedFollowsTheCollection)
{
    TQorContacts book;
    const TContactData c = Person("", "Anne", "", "Lee");
    book.SetDisplayType(dtLastFirstName);
    EXPECT_EQ(book.GetDisplayNameFromContactData(&c, dtInherited), "Lee Anne");
    book.SetDisplayType(dtInherited);
    EXPECT_EQ(book.GetDisplayNameFromContactData(&c, dtInherited), "");
    EXPECT_EQ(book.GetDisplayNameFromContactData(nullptr, dtFullName), "");
}

TEST(AccentFolding, KeepsLengthAndFoldsOnlyItsTable)
{
    const QString in = QString::fromUtf8("àáâãäåçèéêëíîïñòóôõöøùûüÀÁÂÃÄÅÇÈÉÊËÍÎÏÑÒÓÔÕÖØÙÛÜ`´‘’ìúÌÚß");
    EXPECT_EQ(FoldAccentedChars(in),
              QString::fromUtf8("aaaaaaceeeeiiinoooooouuuAAAAAACEEEEIIINOOOOOOUUU''''ìúÌÚß"));
}

TEST(Initials, FromNameWords)
{
    const struct { TContactData contact; QString expected; } cases[] = {
        {Person("", "Jean-Marc", "", "Dupont"), "J.M.D."},
        {Person("", "Anna", "Maria", "van Dijk (Amsterdam)"), "A.M.V.D."},
        {Person("", "Mary-Kate", "", "O'Neil"), "M.K.O."},
        {Person("Dr.", "", "", "", "Jr."), ""},
        {Person("", "ann", "\"bo\"", "lee"), "A.B.L."}, // a quote after a blank opens a word
        {Person("", QString::fromUtf8("élodie"), "", "x"), QString::fromUtf8("É.X.")},
    };
    TQorContacts book;
    for (const auto &c : cases)
        EXPECT_EQ(book.ComputeInitialsFromContactData(&c.contact), c.expected) << qPrintable(c.expected);
}

TEST(BreakFullNameString, AssignsByWordCount)
{
    const struct { const char *full; QStringList expected; /* title first middle last suffix */ } cases[] = {
        {"Dr. John Smith", {"Dr.", "John", "", "Smith", ""}},
        {"John Smith Jr.", {"", "John", "", "Smith", "Jr."}},
        {"John Paul Smith", {"", "John", "Paul", "Smith", ""}},
        {"Jean_Marc Dupont", {"", "Jean Marc", "", "Dupont", ""}},
        {"Jean_Marc Paul Du_Pont", {"", "Jean Marc", "Paul", "Du Pont", ""}},
        {"Smith", {"", "", "", "Smith", ""}},
        {"  Smith  ", {"", "", "", "Smith", ""}},
        {"a b c d e f", {"", "", "", "", ""}},
        {"", {"", "", "", "", ""}},
        {"Dr. John Paul Smith, Jr.", {"Dr.", "John", "Paul", "Smith,", "Jr."}},
        {"Dr. John Paul Smith Jones", {"Dr.", "John", "Paul", "Smith Jones", ""}},
        {"prof. John Paul Smith", {"prof.", "John", "Paul", "Smith", ""}},
        {"John Paul Smith, Jr.", {"", "John", "Paul", "Smith,", "Jr."}},
        {"John Paul Smith Jones", {"", "John", "Paul", "Smith Jones", ""}},
    };
    TQorContacts book;
    for (const auto &c : cases) {
        QString title, first, middle, last, suffix;
        book.BreakFullNameString(QString::fromUtf8(c.full), title, first, middle, last, suffix);
        EXPECT_EQ((QStringList{title, first, middle, last, suffix}), c.expected) << c.full;
    }
}

TEST(BreakFullNameString, LeavesUnassignedPartsAsGiven)
{
    TQorContacts book;
    QString title, first = "keep", middle = "keep", last, suffix = "keep";
    book.BreakFullNameString("Smith", title, first, middle, last, suffix);
    EXPECT_EQ((QStringList{title, first, middle, last, suffix}), (QStringList{"", "keep", "keep", "Smith", "keep"}));
}

TEST(ListStrings, SkipEmptyEntries)
{
    TQorContacts book;
    TContactData c;
    c.Categories.Assign({""});
    EXPECT_EQ(book.GetCategoriesAsStringFromContactData(&c), "");
    c.Categories.Assign({"Friends", "", "Family"});
    c.Keywords.Assign({"b", "a"});
    EXPECT_EQ(book.GetCategoriesAsStringFromContactData(&c), "Family;Friends");
    EXPECT_EQ(book.GetKeywordsAsStringFromContactData(&c), "a;b");
    EXPECT_EQ(book.GetKeywordsAsStringFromContactData(nullptr), "");
}

TEST(PreferredLocation, EmailAndMobile)
{
    const struct { const char *preferred; const char *work, *personal, *other, *expected; } cases[] = {
        {"Work", "", "p", "o", ""},  // no fall-back from the preferred place
        {"Work", "w", "p", "o", "w"},
        {"Personal", "w", "p", "o", "p"},
        {"Other", "w", "p", "", ""},
        {"None", "", "p", "o", "p"},
        {"", "", "", "o", "o"},
        {"work", "w", "p", "o", "w"}, // not an exact match: first non-empty
        {"None", "", "", "", ""},
    };
    TQorContacts book;
    for (const auto &c : cases) {
        TContactData d;
        d.Preferred = c.preferred;
        d.WorkEmail = d.WorkMobilePhone = c.work;
        d.PersonalEmail = d.PersonalMobilePhone = c.personal;
        d.OtherEmail = d.OtherMobilePhone = c.other;
        EXPECT_EQ(book.GetPreferredEmailFromContactData(&d), c.expected) << c.preferred << c.work;
        EXPECT_EQ(book.GetPreferredMobilePhoneFromContactData(&d), c.expected) << c.preferred << c.work;
    }
}

TEST(NameLookups, UniqueAndFindByName)
{
    FixedClock clock(QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC));
    TQorContacts book;
    book.SetClock(clock);
    TContactData *first = book.CreateContactData();
    TContactData *second = book.CreateContactData();
    TContactData *lower = book.CreateContactData();
    first->FirstName = second->FirstName = "Ann";
    first->LastName = second->LastName = "Lee";
    lower->FirstName = "ann";
    lower->LastName = "Lee";
    TContactData outsider = *first;

    EXPECT_FALSE(book.IsContactDataUnique(first));
    EXPECT_TRUE(book.IsContactDataUnique(lower)); // letter case counts
    EXPECT_FALSE(book.IsContactDataUnique(&outsider));
    EXPECT_FALSE(book.IsContactDataUnique(nullptr));

    clock.AdvanceMs(1000);
    const TDateTime before = second->Accessed;
    EXPECT_EQ(book.GetContactDataFromDisplayName("Ann Lee"), first);
    EXPECT_EQ(SerialToUtc(first->Accessed), clock.NowUtc());
    EXPECT_EQ(second->Accessed, before);
    EXPECT_EQ(book.GetContactDataFromDisplayName(""), nullptr);
    EXPECT_EQ(book.GetContactDataFromDisplayName("Nobody"), nullptr);
}

} // namespace
