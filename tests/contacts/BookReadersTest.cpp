// The book's fast reader against the general one, its writer against a stream
// writer, and both readers against hostile books.

#include "ContactGenerator.h"
#include "contacts/ContactsBookFile.h"
#include "contacts/ContactFields.h"
#include "contacts/QorContacts.h"
#include "fakes/ChildMemory.h"
#include "support/Clock.h"
#include "support/ReadLimits.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

const FixedClock &Now()
{
    static const FixedClock clock(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC));
    return clock;
}

QByteArray Save(const TQorContacts &book)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(bookfile::Write(book, buffer));
    return bytes;
}

// What one reader made of some bytes.
struct Outcome
{
    bool ok = false;
    QString error;
    qsizetype count = 0;
    QByteArray saved; // the records as written again
    QStringList categories, keywords;
};

Outcome ReadWith(const QByteArray &bytes, bookfile::Reader reader)
{
    TQorContacts book;
    book.SetClock(Now());
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    Outcome outcome;
    outcome.ok = bookfile::Read(buffer, book, outcome.error, reader);
    outcome.count = qsizetype(book.ContactDataList().size());
    outcome.saved = Save(book);
    outcome.categories = book.Categories();
    outcome.keywords = book.Keywords();
    return outcome;
}

void ExpectSame(const Outcome &fast, const Outcome &general, const char *name)
{
    EXPECT_EQ(fast.ok, general.ok) << name;
    EXPECT_EQ(fast.error, general.error) << name;
    EXPECT_EQ(fast.count, general.count) << name;
    EXPECT_TRUE(fast.saved == general.saved) << name;
    EXPECT_EQ(fast.categories, general.categories) << name;
    EXPECT_EQ(fast.keywords, general.keywords) << name;
}

// Values that take every branch of escaping and decoding.
void AddOddContacts(TQorContacts &book)
{
    TContactData *odd = book.CreateContactData();
    odd->FirstName = QStringLiteral("<Tom & \"Jerry\"> 'n' Co");
    odd->LastName = QStringLiteral("Bell\u0007 Tab\tCR\r LF\n end");
    odd->Company = QString(QChar(0xD800)) + QStringLiteral("x\U0001F600y\uFFFE\u00E9\u4E2D\u007F\u0085");
    odd->Notes = QStringList{QStringLiteral("a"), QString(), QStringLiteral("b\u00A4c")};
    odd->Categories.Add(QStringLiteral("x;y"));
    odd->Keywords.Add(QStringLiteral("K\u00E9y"));
    odd->Birthday = DateToSerial(QDate(10000, 1, 1));
    odd->Anniversary = DateToSerial(QDate(5, 6, 7));
    odd->Accessed = -1.25;
    odd->VisitCount = -7;
    TContactData *empty = book.CreateContactData();
    empty->Notes = QStringList{QString()};
    empty->Preferred.clear();
}

// The writer as it was when books were written through a stream writer, kept
// to show that the faster one writes the very same bytes.
QString XmlSafe(const QString &text)
{
    QList<uint> kept = text.toUcs4();
    kept.removeIf([](uint c) {
        return !(c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
                 || (c >= 0x10000 && c <= 0x10FFFF));
    });
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(kept.constData()), kept.size());
}

bool Writable(TDateTime serial)
{
    const QDate date = SerialToDate(serial);
    return serial != 0 && date.isValid() && date.year() >= 1 && date.year() <= 9999;
}

QByteArray StreamWriterBook(const TQorContacts &book)
{
    static const char *const names[] = {
        "Title", "FirstName", "MiddleName", "LastName", "Suffix", "Initials", "Nickname", "Language",
        "Preferred", "LastVisit", "VisitCount", "Company", "Department", "JobTitle", "Role", "WorkStreet",
        "WorkPOBox", "WorkCity", "WorkPostalCode", "WorkStateProvince", "WorkCountryRegion", "WorkCoordinates",
        "WorkCoordinatesUpdated", "WorkPhone", "WorkFax", "WorkMobilePhone", "WorkPager", "WorkEmail", "WorkIM",
        "WorkWebsite", "WorkLocation", "HomeStreet", "HomePOBox", "HomeCity", "HomePostalCode",
        "HomeStateProvince", "HomeCountryRegion", "HomeCoordinates", "HomeCoordinatesUpdated", "HomePhone",
        "HomeFax", "PersonalMobilePhone", "PersonalPager", "PersonalEmail", "PersonalIM", "PersonalWebsite",
        "HomeLocation", "Gender", "Birthday", "SignificantOther", "Anniversary", "OtherStreet", "OtherPOBox",
        "OtherCity", "OtherPostalCode", "OtherStateProvince", "OtherCountryRegion", "OtherCoordinates",
        "OtherCoordinatesUpdated", "OtherPhone", "OtherFax", "OtherMobilePhone", "OtherPager", "OtherEmail",
        "OtherIM", "OtherWebsite", "OtherLocation", "Notes", "Categories", "Keywords", "Priority",
        "Sensitivity", "Created", "Modified", "Accessed", "Synced", "Uid"};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter xml(&buffer);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(4);
    xml.writeStartDocument(QStringLiteral("1.0"));
    xml.writeStartElement(TQorContacts::RootElementName());
    xml.writeStartElement(QStringLiteral("QorContacts"));
    for (const auto &contact : book.ContactDataList()) {
        xml.writeEmptyElement(QStringLiteral("QorContact"));
        for (const char *name : names) {
            const ContactField &field = *FindContactField(QString::fromLatin1(name));
            QString value;
            switch (field.kind) {
            case FieldKind::Text: value = FieldRef<QString>(*contact, field); break;
            case FieldKind::Date:
                if (Writable(FieldRef<TDateTime>(*contact, field)))
                    value = SerialToIsoDate(FieldRef<TDateTime>(*contact, field));
                break;
            case FieldKind::DateTime:
                if (Writable(FieldRef<TDateTime>(*contact, field)))
                    value = SerialToIsoUtc(FieldRef<TDateTime>(*contact, field));
                break;
            case FieldKind::Integer: value = QString::number(FieldRef<int>(*contact, field)); break;
            case FieldKind::Lines:
                if (!FieldRef<QStringList>(*contact, field).isEmpty())
                    value = FieldRef<QStringList>(*contact, field).join(QChar(0xA4));
                else
                    continue;
                break;
            case FieldKind::SortedList:
                if (!FieldRef<TSortedStringList>(*contact, field).IsEmpty())
                    value = FieldRef<TSortedStringList>(*contact, field).Entries().join(u';');
                else
                    continue;
                break;
            default: continue;
            }
            if (!value.isEmpty() || field.kind == FieldKind::Lines || field.kind == FieldKind::SortedList)
                xml.writeAttribute(field.name, XmlSafe(value));
        }
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

class BookReaders : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TQorContacts::SetRootElementName(QStringLiteral("Quillet"));
        book.SetClock(Now());
    }
    TQorContacts book;
};

TEST_F(BookReaders, WriterWritesWhatTheStreamWriterWrote)
{
    bench::ContactGenerator(7).AddContacts(book, 400);
    AddOddContacts(book);
    const QByteArray fast = Save(book), reference = StreamWriterBook(book);
    const QList<QByteArray> a = fast.split('\n'), b = reference.split('\n');
    ASSERT_EQ(a.size(), b.size());
    for (qsizetype i = 0; i < a.size(); ++i)
        ASSERT_EQ(a[i].toStdString(), b[i].toStdString()) << "line " << i + 1;
    TQorContacts empty;
    EXPECT_EQ(Save(empty), StreamWriterBook(empty));
}

TEST_F(BookReaders, GeneratedBooksReadTheSameByBothReaders)
{
    // Large enough that the fast reader splits the book between two threads.
    bench::ContactGenerator generator(11);
    generator.AddContacts(book, 7000);
    const QByteArray bytes = Save(book);
    ASSERT_GT(bytes.size(), 5 << 20);
    const Outcome fast = ReadWith(bytes, bookfile::Reader::ShapedOnly);
    ASSERT_TRUE(fast.ok) << "the fast reader did not take a book as written";
    ExpectSame(fast, ReadWith(bytes, bookfile::Reader::General), "generated");
    EXPECT_EQ(fast.count, qsizetype(book.ContactDataList().size()));
    // Values the fast reader may hand on to the general one, in the second half.
    AddOddContacts(book);
    generator.AddContacts(book, 100);
    const QByteArray odd = Save(book);
    ExpectSame(ReadWith(odd, bookfile::Reader::Fastest), ReadWith(odd, bookfile::Reader::General), "odd");
    for (int contacts : {0, 1, 50}) {
        TQorContacts small;
        small.SetClock(Now());
        bench::ContactGenerator(contacts).AddContacts(small, contacts);
        const QByteArray smallBytes = Save(small);
        const Outcome smallFast = ReadWith(smallBytes, bookfile::Reader::ShapedOnly);
        EXPECT_TRUE(smallFast.ok) << contacts;
        ExpectSame(smallFast, ReadWith(smallBytes, bookfile::Reader::General), "small");
    }
}

QByteArray Book(const QByteArray &contacts, const QByteArray &head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n")
{
    return head + "<Quillet>\n    <QorContacts>\n" + contacts + "\n    </QorContacts>\n</Quillet>\n";
}

TEST_F(BookReaders, OddButValidBooksReadAsTheGeneralReaderReadsThem)
{
    const QByteArray plain = "        <QorContact FirstName=\"Ann\" VisitCount=\"2\" Categories=\"b;A\"/>";
    const struct { const char *name; QByteArray xml; } cases[] = {
        {"as written", Book(plain)},
        {"byte-order mark", "\xEF\xBB\xBF" + Book(plain)},
        {"CR LF", Book(plain).replace("\n", "\r\n")},
        {"attributes in another order", Book("<QorContact VisitCount=\"2\" FirstName=\"Ann\"/>")},
        {"repeated attribute", Book("<QorContact FirstName=\"Ann\" FirstName=\"Bob\"/>")},
        {"unknown attribute", Book("<QorContact FirstName=\"Ann\" Colour=\"red\"/>")},
        {"entities", Book("<QorContact FirstName=\"&lt;&amp;&gt;&quot;&apos;&#65;&#x42;&#10;&#xe9;&#x1F600;\"/>")},
        {"bad entity", Book("<QorContact FirstName=\"&#0;\"/>")},
        {"unknown entity", Book("<QorContact FirstName=\"&nope;\"/>")},
        {"literal tab and line break", Book("<QorContact FirstName=\"a\tb\nc\"/>")},
        {"single quotes", Book("<QorContact FirstName='Ann \"A\"'/>")},
        {"spaces around =", Book("<QorContact FirstName = \"Ann\"/>")},
        {"no space between attributes", Book("<QorContact FirstName=\"Ann\"LastName=\"B\"/>")},
        {"comment", Book(plain + "<!-- <QorContact FirstName=\"no\"/> -->")},
        {"CDATA", Book(plain + "<![CDATA[<QorContact/>]]>")},
        {"text between records", Book(plain + "text" + plain)},
        {"child element", Book("<QorContact FirstName=\"A\"><QorContact FirstName=\"B\"/></QorContact>")},
        {"empty element", Book("<QorContact/><QorContact></QorContact>" + plain)},
        {"other declaration", Book(plain, "<?xml version='1.0'?>")},
        {"no declaration", Book(plain, "")},
        {"Latin-1 declared", Book("<QorContact FirstName=\"Zo\xEB\"/>", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>")},
        {"bad UTF-8", Book("<QorContact FirstName=\"Zo\xEB\"/>")},
        {"U+FFFE", Book("<QorContact FirstName=\"\xEF\xBF\xBE\"/>")},
        {"U+FFFD", Book("<QorContact FirstName=\"\xEF\xBF\xBD\"/>")},
        {"bad date", Book(plain + "<QorContact Birthday=\"2020-02-30\"/>")},
        {"legacy stamp", Book("<QorContact Modified=\"2020-01-02 03:04:05\"/>")},
        {"cut short", Book(plain).left(60)},
        {"root end missing", Book(plain).replace("</Quillet>", "")},
        {"other root end", Book(plain).replace("</Quillet>", "</Other>")},
        {"empty contacts", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Quillet>\n    <QorContacts/>\n</Quillet>\n"},
        {"records under the root", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><R>" + plain + "</R>"},
    };
    for (const auto &c : cases)
        ExpectSame(ReadWith(c.xml, bookfile::Reader::Fastest), ReadWith(c.xml, bookfile::Reader::General), c.name);
}

TEST_F(BookReaders, ElementsWithoutFieldsMakeNoContacts)
{
    const Outcome read = ReadWith(Book("<QorContact/><QorContact Colour=\"red\"/><QorContact FirstName=\"A\"/>"),
                                  bookfile::Reader::General);
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.count, 1);
}

TEST_F(BookReaders, FailedLoadLeavesTheCollectionAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.qcb"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Book("<QorContact FirstName=\"New\" Categories=\"Fresh\"/><QorContact Birthday=\"x\"/>"));
    file.close();
    book.CreateContactData()->FirstName = QStringLiteral("Kept");
    const QStringList categories = book.Categories();
    EXPECT_EQ(book.LoadFromXMLFile(path), 1);
    EXPECT_TRUE(book.LastError().contains(QStringLiteral("Birthday"))) << qPrintable(book.LastError());
    ASSERT_EQ(book.ContactDataList().size(), 1u);
    EXPECT_EQ(book.ContactDataList()[0]->FirstName, QStringLiteral("Kept"));
    EXPECT_EQ(book.Categories(), categories);
}

// Hostile books, made here, each loaded in a child whose memory is measured.
TEST(HostileBooks, EndInAClearErrorOrABoundedResult)
{
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Quillet><QorContacts>";
    const auto repeat = [](const QByteArray &piece, qint64 bytes) { return piece.repeated(bytes / piece.size()); };
    const struct { const char *name; QByteArray xml; const char *error; int count; } cases[] = {
        {"unclosed elements", head + repeat("<QorContact>", 64 << 20), "64 levels of nested elements", 0},
        {"empty records", head + repeat("<QorContact/>", 32 << 20) + "</QorContacts></Quillet>", nullptr, 0},
        {"too many records", head + repeat("<QorContact Title=\"x\"/>", 48 << 20) + "</QorContacts></Quillet>",
         "2000000 contacts", 0},
        {"one huge value", head + "<QorContact Notes=\"" + QByteArray(20 << 20, 'n') + "\"/></QorContacts></Quillet>",
         "A value is larger than 16 MiB", 0},
        {"unclosed huge value", head + "<QorContact Notes=\"" + QByteArray(20 << 20, 'n'), "A value is larger", 0},
        {"many attributes", head + "<QorContact" + repeat(" a=\"\"", 8 << 20) + "/></QorContacts></Quillet>",
         "5000 attributes", 0},
        {"many small records", head + repeat("<QorContact Title=\"x\"/>", 1 << 20) + "</QorContacts></Quillet>",
         nullptr, int((1 << 20) / 23)},
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {
        const QString path = dir.filePath(QStringLiteral("hostile.qcb"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.xml);
        file.close();
        const int count = c.count;
        const char *const expected = c.error;
        const auto run = cardolin::testing::RunInChild([&] {
            TQorContacts book;
            book.CreateContactData()->FirstName = QStringLiteral("Kept");
            const int loaded = book.LoadFromXMLFile(path);
            if (expected)
                return book.LastError().contains(QLatin1StringView(expected)) && loaded == 1
                               && book.ContactDataList()[0]->FirstName == QStringLiteral("Kept")
                           ? 0
                           : 1;
            return book.LastError().isEmpty() && loaded == count ? 0 : 2;
        });
        EXPECT_TRUE(run.finished) << c.name;
        EXPECT_EQ(run.exitCode, 0) << c.name;
        // Records cost what they cost; the rest must stay a small multiple of the file.
        const qint64 ceiling = 4 * c.xml.size() + (qint64(count) * 3000) + (qint64(96) << 20);
        EXPECT_LT(run.growthBytes, ceiling) << c.name << ": " << run.growthBytes / 1000000 << " MB";
    }
}

TEST(HostileBooks, AFileBeyondTheSizeLimitIsNotRead)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("huge.qcb")));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(limits::kMaxFileBytes + 1)); // sparse: costs no disk
    file.seek(0);
    TQorContacts book;
    QString error;
    EXPECT_FALSE(bookfile::Load(file, book, error));
    EXPECT_EQ(error, limits::TooLongMessage(QStringLiteral("The file"), limits::kMaxFileBytes));
}

} // namespace
