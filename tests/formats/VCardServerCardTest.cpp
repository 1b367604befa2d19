#include "formats/FormatsFixture.h"

#include "contacts/SerialDate.h"
#include "fakes/ChildMemory.h"
#include "formats/VCardServerCard.h"

#include <sys/resource.h>

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

    std::unique_ptr<TContactData> Read(const QByteArray &text)
    {
        auto contact = book.NewContactData();
        QString error;
        EXPECT_TRUE(ReadServerCard(book, text, *contact, error)) << error.toStdString();
        return contact;
    }

    // Cards written by hand from RFC 2426 and RFC 6350 in the forms other
    // clients and phones write: groups with Apple's labels, photos, unknown
    // properties and parameters, more messaging addresses than fields.
    static QByteArray ServerFixture(const char *name) { return ReadAll(Fixture(QStringLiteral("vcard/") + name)); }

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

// The lines of one text that the other has not, sorted.
QList<QByteArray> Missing(const QByteArray &from, const QByteArray &in)
{
    QList<QByteArray> missing;
    const QList<QByteArray> others = in.split('\n');
    for (const QByteArray &line : from.split('\n'))
        if (!others.contains(line))
            missing.append(line.chopped(line.endsWith('\r') ? 1 : 0));
    std::sort(missing.begin(), missing.end());
    return missing;
}

QList<QByteArray> Sorted(QList<QByteArray> lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(ServerCard, AnUnchangedContactGivesBackTheServersText)
{
    QByteArray lfOnly = ServerFixture("server-3.0.vcf");
    lfOnly.replace("\r\n", "\n");
    const auto ours = Full();
    const struct
    {
        const char *what;
        QByteArray base;
    } cases[] = {
        {"3.0 from another client", ServerFixture("server-3.0.vcf")},
        {"4.0 from another client", ServerFixture("server-4.0.vcf")},
        {"line feeds only", lfOnly},
        {"our own 3.0", PatchServerCard(book, {}, *ours, TCardVersion::V3)},
        {"our own 4.0", PatchServerCard(book, {}, *ours, TCardVersion::V4)},
    };
    for (const auto &c : cases) {
        const auto contact = Read(c.base);
        for (TCardVersion version : {TCardVersion::V3, TCardVersion::V4})
            EXPECT_EQ(PatchServerCard(book, c.base, *contact, version), c.base) << c.what;
    }
}

TEST_F(ServerCard, AChangedFieldReplacesOnlyItsOwnProperty)
{
    const QByteArray base = ServerFixture("server-3.0.vcf");
    const QByteArray oldRev = "REV:2024-01-02T03:04:05Z", newRev = "REV:2024-05-06T07:08:09Z";
    const struct
    {
        const char *what;
        std::function<void(TContactData &)> change;
        QList<QByteArray> removed, added;
    } cases[] = {
        {"work phone", [](TContactData &c) { c.WorkPhone = "+1 555 0199"; },
         {"TEL;TYPE=WORK,VOICE;X-SERVICE-TYPE=landline:+1 555 0101"}, {"TEL;TYPE=WORK,VOICE:+1 555 0199"}},
        {"job title", [](TContactData &c) { c.JobTitle = "Director"; }, {"TITLE:Chief Scientist"},
         {"TITLE:Director"}},
        {"labelled mobile cleared", [](TContactData &c) { c.PersonalMobilePhone.clear(); },
         {"item1.TEL;type=CELL;type=VOICE;type=pref:+1 555 0100", "item1.X-ABLabel:_$!<Mobile>!$_"}, {}},
        {"labelled spouse renamed", [](TContactData &c) { c.SignificantOther = "Jon Doe"; },
         {"item3.X-ABRELATEDNAMES:John Doe", "item3.X-ABLabel:_$!<Spouse>!$_"}, {"X-SPOUSE:Jon Doe"}},
        {"birthday added", [](TContactData &c) { c.Birthday = DateToSerial(QDate(1980, 3, 12)); }, {},
         {"BDAY:1980-03-12"}},
        {"category added", [](TContactData &c) { c.Categories.Add("Golf"); }, {"CATEGORIES:Work,Friends"},
         {"CATEGORIES:Friends,Golf,Work"}},
    };
    for (const auto &c : cases) {
        auto contact = Read(base);
        c.change(*contact);
        const QByteArray patched = PatchServerCard(book, base, *contact, TCardVersion::V3);
        EXPECT_EQ(Missing(base, patched), Sorted(c.removed + QList<QByteArray>{oldRev})) << c.what;
        EXPECT_EQ(Missing(patched, base), Sorted(c.added + QList<QByteArray>{newRev})) << c.what;
        const auto back = Read(patched);
        ExpectSameServerFields(*back, *contact);
    }
}

TEST_F(ServerCard, VersionFourCardsStayVersionFour)
{
    const QByteArray base = ServerFixture("server-4.0.vcf");
    auto contact = Read(base);
    EXPECT_EQ(contact->WorkPhone, "+1-418-656-9254;ext=102") << "a quoted list of types";
    EXPECT_EQ(contact->WorkMobilePhone, "+1-418-262-6501");
    EXPECT_EQ(contact->SignificantOther, "Marie");
    contact->WorkEmail = "simon@example.org";
    contact->Anniversary = DateToSerial(QDate(2010, 9, 1));
    contact->JobTitle = "Researcher";
    const QByteArray patched = PatchServerCard(book, base, *contact, TCardVersion::V3);
    EXPECT_EQ(Missing(base, patched),
              Sorted({"ANNIVERSARY:20090808T1430-0500", "EMAIL;TYPE=work:simon.perreault@viagenie.ca"}));
    EXPECT_EQ(Missing(patched, base),
              Sorted({"ANNIVERSARY:20100901", "EMAIL;TYPE=work:simon@example.org", "TITLE:Researcher"}));
    ExpectSameServerFields(*Read(patched), *contact);

    // A new card takes the version asked for, in that version's own forms.
    contact->Preferred = "Work";
    const QByteArray fresh = PatchServerCard(book, {}, *contact, TCardVersion::V4);
    for (const char *line : {"VERSION:4.0", "EMAIL;TYPE=work;PREF=1:simon@example.org", "GENDER:M",
                             "RELATED;TYPE=spouse;VALUE=text:Marie", "ANNIVERSARY:20100901"})
        EXPECT_TRUE(fresh.contains(QByteArray("\r\n") + line + "\r\n")) << line;
    EXPECT_FALSE(fresh.contains("INTERNET"));
    ExpectSameServerFields(*Read(fresh), *contact);
}

TEST_F(ServerCard, PatchedCardsStayFoldedWithOneKindOfLineEnd)
{
    for (const QByteArray &lineEnd : {QByteArray("\r\n"), QByteArray("\n")}) {
        QByteArray base = ServerFixture("server-3.0.vcf");
        base.replace("\r\n", lineEnd);
        auto contact = Read(base);
        contact->Notes = {QString(40, QChar(0x00E9)) + QString(100, u'x'), QStringLiteral("é 😀 end")};
        const QByteArray patched = PatchServerCard(book, base, *contact, TCardVersion::V3);
        EXPECT_TRUE(patched.endsWith("END:VCARD" + lineEnd));
        EXPECT_EQ(patched.count('\n'), patched.count(lineEnd));
        for (const QByteArray &line : patched.split('\n'))
            EXPECT_LE(line.size() - (line.endsWith('\r') ? 1 : 0), 75) << line.toStdString();
        EXPECT_EQ(Read(patched)->Notes, contact->Notes);
    }
}

// A server may hand back anything; a card past the bounds is refused without
// reading it all into memory first.
TEST_F(ServerCard, RefusesHostileCardsWithinBoundedMemory)
{
    constexpr qint64 kMiB = 1 << 20;
    const struct
    {
        const char *what;
        std::function<QByteArray()> make;
    } cases[] = {
        {"one huge line", [] { return "BEGIN:VCARD\r\nNOTE:" + QByteArray(17 * kMiB, 'x') + "\r\nEND:VCARD\r\n"; }},
        {"no end", [] { return "BEGIN:VCARD\r\nVERSION:3.0\r\nNOTE:" + QByteArray(15 * kMiB, 'x') + "\r\n"; }},
        {"millions of empty lines", [] { return "BEGIN:VCARD\r\n" + QByteArray(15 * kMiB, '\n') + "END:VCARD\r\n"; }},
        {"too many properties", [] { return "BEGIN:VCARD\r\n" + QByteArray("TEL:1\r\n").repeated(6000) + "END:VCARD\r\n"; }},
    };
    for (const auto &c : cases) {
        const QByteArray text = c.make();
        const ChildRun run = RunInChild([&] {
            auto contact = book.NewContactData();
            QString error;
            const bool read = ReadServerCard(book, text, *contact, error);
            return !read && !error.isEmpty() ? 0 : 1;
        });
        EXPECT_TRUE(run.finished) << c.what;
        EXPECT_EQ(run.exitCode, 0) << c.what;
        // The sanitizers' own bookkeeping rides on every allocation, hence the margin.
        EXPECT_LT(run.growthBytes, 6 * text.size() + 160 * kMiB) << c.what << ": " << run.growthBytes / kMiB << " MiB";
    }
}

} // namespace
