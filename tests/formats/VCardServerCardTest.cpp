#include "formats/FormatsFixture.h"

#include "contacts/SerialDate.h"
#include "formats/VCardServerCard.h"

using namespace cardolin;
using namespace cardolin::testing;
using namespace cardolin::vcard;

namespace {

class ServerCard : public FormatsTest
{
protected:
    // A contact with a distinct value in every field a server card carries.
    std::unique_ptr<TContactData> Full()
    {
        auto c = book.NewContactData();
        int n = 0;
        for (const ContactField &field : ContactFields()) {
            if (!IsServerCardField(field))
                continue;
            const QString value = QStringLiteral("v%1 %2, x;y").arg(++n).arg(field.name);
            switch (field.kind) {
            case FieldKind::Text: FieldRef<QString>(*c, field) = value; break;
            case FieldKind::Date: FieldRef<TDateTime>(*c, field) = DateToSerial(QDate(1970 + n, 2, 3)); break;
            case FieldKind::Lines: FieldRef<QStringList>(*c, field) = {value, QStringLiteral("second line")}; break;
            case FieldKind::SortedList: FieldRef<TSortedStringList>(*c, field).Add(value); break;
            default: ADD_FAILURE() << "no value for " << field.name.data();
            }
        }
        // Fields that only take words of their own.
        c->Preferred = QStringLiteral("Personal");
        c->Gender = QStringLiteral("Female");
        c->Language = QStringLiteral("German");
        c->WorkCountryRegion = QStringLiteral("Germany");
        c->WorkStreet = QStringLiteral("Main St 1;Building B");
        c->Uid = QStringLiteral("0c3a5a9e-5c4e-4b1f-9a53-2f7b0f6e1d2a");
        return c;
    }

    static void ExpectSameServerFields(const TContactData &a, const TContactData &b)
    {
        for (const ContactField &field : ContactFields()) {
            if (!IsServerCardField(field))
                continue;
            TContactData left, right;
            CopyField(field, a, left);
            CopyField(field, b, right);
            std::visit([&](auto member) { EXPECT_EQ(left.*member, right.*member) << field.name.data(); },
                       field.member);
        }
    }

    static QByteArray Card(std::initializer_list<const char *> lines)
    {
        QByteArray text;
        for (const char *line : lines)
            text += QByteArray(line) + "\r\n";
        return text;
    }
};

TEST_F(ServerCard, EveryServerFieldSurvivesTheCardItIsWrittenTo)
{
    const auto contact = Full();
    for (TCardVersion version : {TCardVersion::V3, TCardVersion::V4}) {
        const QByteArray text = PatchServerCard(book, {}, *contact, version);
        auto back = book.NewContactData();
        QString error;
        ASSERT_TRUE(ReadServerCard(book, text, *back, error)) << error.toStdString();
        ExpectSameServerFields(*contact, *back);
        EXPECT_EQ(back->Uid, contact->Uid);
        EXPECT_EQ(CardUid(text), contact->Uid);
        EXPECT_TRUE(text.endsWith("END:VCARD\r\n"));
    }
}

TEST_F(ServerCard, ReadingReplacesTheServerFieldsAndLeavesTheOthers)
{
    auto contact = Full();
    contact->Keywords.Add(QStringLiteral("kept"));
    contact->GoogleContactID = QStringLiteral("people/c1");
    QString error;
    ASSERT_TRUE(ReadServerCard(book, Card({"BEGIN:VCARD", "VERSION:3.0", "FN:Ann Lee", "N:Lee;Ann;;;",
                                           "TEL;TYPE=CELL:+1 555 0101", "END:VCARD"}),
                               *contact, error));
    EXPECT_EQ(contact->FirstName, "Ann");
    EXPECT_EQ(contact->PersonalMobilePhone, "+1 555 0101");
    EXPECT_TRUE(contact->WorkPhone.isEmpty());
    EXPECT_TRUE(contact->Notes.isEmpty());
    EXPECT_TRUE(contact->Categories.IsEmpty());
    EXPECT_EQ(contact->Preferred, "None");
    EXPECT_TRUE(contact->Uid.isEmpty());
    EXPECT_EQ(contact->Keywords.Count(), 1);
    EXPECT_EQ(contact->GoogleContactID, "people/c1");
}

TEST_F(ServerCard, ValuesWithoutAFieldStayOutOfTheNotes)
{
    auto contact = book.NewContactData();
    QString error;
    ASSERT_TRUE(ReadServerCard(book, Card({"BEGIN:VCARD", "VERSION:3.0", "FN:A", "NOTE:real note",
                                           "TEL;TYPE=CELL:1", "TEL;TYPE=CELL:2", "TEL;TYPE=CELL:3", "TEL;TYPE=CELL:4",
                                           "END:VCARD"}),
                               *contact, error));
    EXPECT_EQ(contact->Notes, QStringList{"real note"});
}

TEST_F(ServerCard, RefusesWhatIsNotExactlyOneCard)
{
    const struct
    {
        const char *what;
        QByteArray text;
    } cases[] = {
        {"empty", {}},
        {"not a card", "hello\r\n"},
        {"no end", Card({"BEGIN:VCARD", "VERSION:3.0", "FN:A"})},
        {"two cards", Card({"BEGIN:VCARD", "FN:A", "END:VCARD", "BEGIN:VCARD", "FN:B", "END:VCARD"})},
        {"text after the end", Card({"BEGIN:VCARD", "FN:A", "END:VCARD", "FN:B"})},
        {"group", Card({"BEGIN:VCARD", "VERSION:3.0", "FN:Team", "X-ADDRESSBOOKSERVER-KIND:group", "END:VCARD"})},
    };
    for (const auto &c : cases) {
        auto contact = book.NewContactData();
        contact->FirstName = QStringLiteral("untouched");
        QString error;
        EXPECT_FALSE(ReadServerCard(book, c.text, *contact, error)) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
        EXPECT_EQ(contact->FirstName, "untouched") << c.what;
    }
}

TEST_F(ServerCard, FindsUidAndGroupKind)
{
    const struct
    {
        const char *what;
        QByteArray text;
        QString uid;
        bool group;
    } cases[] = {
        {"plain, LF only", "BEGIN:VCARD\nVERSION:3.0\nUID:abc-1\nFN:A\nEND:VCARD\n", "abc-1", false},
        {"folded and escaped", Card({"BEGIN:VCARD", "VERSION:3.0", "UID:urn:uuid:12\\,3", " 4", "END:VCARD"}),
         "urn:uuid:12,34", false},
        {"none", Card({"BEGIN:VCARD", "VERSION:3.0", "FN:A", "END:VCARD"}), {}, false},
        {"4.0 group", Card({"BEGIN:VCARD", "VERSION:4.0", "KIND:group", "UID:g1", "END:VCARD"}), "g1", true},
        {"Apple group", Card({"BEGIN:VCARD", "VERSION:3.0", "X-ADDRESSBOOKSERVER-KIND:Group", "END:VCARD"}), {},
         true},
        {"not a card", "UID:abc\r\n", {}, false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CardUid(c.text), c.uid) << c.what;
        EXPECT_EQ(IsGroupCardText(c.text), c.group) << c.what;
    }
}

} // namespace
