#include "contacts/ContactsBookFile.h"
#include "contacts/QorContacts.h"
#include "fakes/RecordingPrompts.h"
#include "support/Clock.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <sys/resource.h>

using namespace cardolin;
using cardolin::testing::RecordingPrompts;

namespace {

QString Fixture(const char *name)
{
    return QStringLiteral(CARDOLIN_FIXTURES "/books/") + QLatin1String(name);
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QDateTime Utc(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

// Compares two files line by line, so a failure names the first line that differs.
void ExpectSameLines(const QByteArray &actual, const QByteArray &expected)
{
    const QList<QByteArray> a = actual.split('\n'), e = expected.split('\n');
    for (qsizetype i = 0; i < std::min(a.size(), e.size()); ++i)
        ASSERT_EQ(a[i].toStdString(), e[i].toStdString()) << "line " << i + 1;
    EXPECT_EQ(a.size(), e.size());
}

// Loads a book written straight into the test.
struct Loaded
{
    TQorContacts book;
    RecordingPrompts prompts;
    int count = 0;
    explicit Loaded(const QByteArray &xml)
    {
        book.SetPrompts(prompts);
        QBuffer buffer;
        buffer.setData(xml);
        buffer.open(QIODevice::ReadOnly);
        QString error;
        ok = bookfile::Read(buffer, book, error);
        lastError = error;
        count = int(book.ContactDataList().size());
    }
    const TContactData &operator[](size_t i) const { return *book.ContactDataList()[i]; }
    bool ok = false;
    QString lastError;
};

QByteArray Book(const QByteArray &contacts)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Quillet>\n<QorContacts>\n" + contacts
           + "\n</QorContacts>\n</Quillet>\n";
}

class BookFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        book.SetPrompts(prompts);
        TQorContacts::SetRootElementName("Quillet");
    }
    QString Path(const char *name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    RecordingPrompts prompts;
    TQorContacts book;
};

TEST_F(BookFileTest, HandWrittenBookRoundTripsByteForByte)
{
    const QString fixture = Fixture("full.qcb");
    ASSERT_EQ(book.LoadFromXMLFile(fixture), 3);
    EXPECT_TRUE(book.LastError().isEmpty()) << qPrintable(book.LastError());
    ASSERT_EQ(book.SaveToXMLFile(Path("out.qcb")), 3);
    ExpectSameLines(ReadAll(Path("out.qcb")), ReadAll(fixture));
    EXPECT_EQ(prompts.busyDepth, 0);
    EXPECT_GE(prompts.busyCount, 2);
}

TEST_F(BookFileTest, ReadsEveryValueForm)
{
    ASSERT_EQ(book.LoadFromXMLFile(Fixture("full.qcb")), 3);
    const TContactData &zoe = *book.ContactDataList()[0];
    EXPECT_EQ(zoe.LastName, "O'Brien");
    EXPECT_EQ(zoe.Company, "Smith & Sons <Ltd>");
    EXPECT_EQ(zoe.HomeStreet, "Line one\nLine two");
    EXPECT_EQ(zoe.WorkStreet, "1 Main St;Suite 5");
    EXPECT_EQ(zoe.VisitCount, 12);
    EXPECT_EQ(SerialToDate(zoe.LastVisit), QDate(2019, 7, 4));
    EXPECT_EQ(SerialToDate(zoe.Birthday), QDate(1980, 2, 29));
    EXPECT_EQ(SerialToUtc(zoe.Created), Utc(2020, 1, 2, 3, 4, 5));
    EXPECT_EQ(SerialToUtc(zoe.OtherCoordinatesUpdated), Utc(2022, 12, 31, 23, 59, 59));
    EXPECT_EQ(zoe.Notes, (QStringList{"first line", "", "third \"quoted\" line"}));
    EXPECT_EQ(zoe.Categories.Entries(), (QStringList{"Clients", "Family"}));
    EXPECT_EQ(zoe.Keywords.Entries(), (QStringList{"golf", "VIP"}));
    EXPECT_EQ(zoe.Priority, "High");
    EXPECT_TRUE(zoe.Exportable); // transient fields keep their defaults

    const TContactData &odd = *book.ContactDataList()[2];
    EXPECT_EQ(odd.VisitCount, -3);
    EXPECT_EQ(odd.Notes, QStringList{""});
    EXPECT_EQ(odd.Categories.Entries(), QStringList{""});
    EXPECT_EQ(SerialToUtc(odd.Created), Utc(1899, 12, 29, 6, 0, 0)); // before the serial epoch
    EXPECT_EQ(SerialToUtc(odd.Modified), Utc(1, 1, 1, 0, 0, 0));
}

TEST_F(BookFileTest, FreshContactWritesOnlyItsDefaults)
{
    FixedClock clock(Utc(2024, 5, 6, 7, 8, 9));
    book.SetClock(clock);
    const QByteArray uid = book.CreateContactData()->Uid.toLatin1();
    ASSERT_EQ(book.SaveToXMLFile(Path("fresh.qcb")), 1);
    EXPECT_EQ(ReadAll(Path("fresh.qcb")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Quillet>\n    <QorContacts>\n"
              "        <QorContact Preferred=\"None\" VisitCount=\"0\" Gender=\"Unspecified\" Priority=\"Normal\" "
              "Sensitivity=\"Normal\" Created=\"2024-05-06T07:08:09Z\" Modified=\"2024-05-06T07:08:09Z\" Uid=\""
                  + uid + "\"/>\n"
              "    </QorContacts>\n</Quillet>\n");
}

TEST_F(BookFileTest, EmptyBookSavesSkeletonAndAnswersZero)
{
    EXPECT_EQ(book.SaveToXMLFile(Path("empty.qcb")), 0);
    EXPECT_TRUE(prompts.errors.isEmpty());
    TQorContacts::SetRootElementName("Other");
    Loaded reread(ReadAll(Path("empty.qcb")));
    EXPECT_TRUE(reread.ok);
    EXPECT_EQ(reread.count, 0);
    EXPECT_TRUE(ReadAll(Path("empty.qcb")).contains("<Quillet>\n    <QorContacts/>\n</Quillet>"));
}

TEST_F(BookFileTest, ListsSplitAtTheirSeparators)
{
    TContactData *contact = book.CreateContactData();
    contact->Notes = QStringList{"a", "", "b\u00A4c"};
    contact->Categories.Add("x;y");
    ASSERT_EQ(book.SaveToXMLFile(Path("lists.qcb")), 1);
    EXPECT_TRUE(ReadAll(Path("lists.qcb")).contains("Notes=\"a\u00A4\u00A4b\u00A4c\""));

    TQorContacts reread;
    ASSERT_EQ(reread.LoadFromXMLFile(Path("lists.qcb")), 1);
    EXPECT_EQ(reread.ContactDataList()[0]->Notes, (QStringList{"a", "", "b", "c"}));
    EXPECT_EQ(reread.ContactDataList()[0]->Categories.Entries(), (QStringList{"x", "y"}));
    EXPECT_EQ(reread.ContactDataList()[0]->Keywords.Entries(), QStringList{""});
}

TEST_F(BookFileTest, TextThatXmlCannotCarryStillSavesALoadableBook)
{
    TContactData *contact = book.CreateContactData();
    contact->FirstName = QStringLiteral("Bell\u0007 Tab\tCR\r");
    contact->LastName = QString(QChar(0xD800)) + "x"; // lone surrogate
    ASSERT_EQ(book.SaveToXMLFile(Path("controls.qcb")), 1);
    TQorContacts reread;
    ASSERT_EQ(reread.LoadFromXMLFile(Path("controls.qcb")), 1);
    EXPECT_TRUE(reread.LastError().isEmpty()) << qPrintable(reread.LastError());
    EXPECT_EQ(reread.ContactDataList()[0]->FirstName, "Bell Tab\tCR\r");
    EXPECT_EQ(reread.ContactDataList()[0]->LastName, "\uFFFDx");
}

TEST_F(BookFileTest, DatesBeyondFourDigitYearsAreLeftOut)
{
    TContactData *contact = book.CreateContactData();
    contact->Birthday = DateToSerial(QDate(10000, 1, 1));
    contact->Modified = DateToSerial(QDate(12000, 1, 1));
    contact->Anniversary = DateToSerial(QDate(2001, 2, 3));
    ASSERT_EQ(book.SaveToXMLFile(Path("far.qcb")), 1);
    TQorContacts reread;
    ASSERT_EQ(reread.LoadFromXMLFile(Path("far.qcb")), 1);
    EXPECT_TRUE(reread.LastError().isEmpty()) << qPrintable(reread.LastError());
    EXPECT_EQ(reread.ContactDataList()[0]->Birthday, 0);
    EXPECT_EQ(SerialToDate(reread.ContactDataList()[0]->Anniversary), QDate(2001, 2, 3));
}

TEST(BookFileRead, TimeStampForms)
{
    Loaded book(Book("<QorContact Created=\"2020-01-02T03:04:05Z\" Modified=\"20200102T030405Z\" "
                     "Accessed=\"2020-01-02Z\" Synced=\"T03:04:05Z\"/>"));
    ASSERT_TRUE(book.ok) << qPrintable(book.lastError);
    EXPECT_EQ(SerialToUtc(book[0].Created), Utc(2020, 1, 2, 3, 4, 5));
    EXPECT_EQ(SerialToUtc(book[0].Modified), Utc(2020, 1, 2, 3, 4, 5));
    EXPECT_EQ(SerialToUtc(book[0].Accessed), Utc(2020, 1, 2, 0, 0, 0));
    EXPECT_NEAR(book[0].Synced, (3 * 3600 + 4 * 60 + 5) / 86400.0, 1e-9); // no date: only the time
}

// Switches the process time zone for the length of a test.
class TimeZoneScope
{
public:
    explicit TimeZoneScope(const char *zone) : m_old(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~TimeZoneScope()
    {
        qputenv("TZ", m_old);
        tzset();
    }

private:
    QByteArray m_old;
};

TEST(BookFileRead, LegacyLocalStampsBecomeUtc)
{
    const struct { const char *zone; const char *stamp; QDateTime utc; } cases[] = {
        {"UTC-02:00", "2020-01-02 03:04:05", Utc(2020, 1, 2, 1, 4, 5)},  // POSIX sign: east of UTC
        {"UTC+05:00", "2020-01-02 03:04:05", Utc(2020, 1, 2, 8, 4, 5)},
        {"UTC+05:00", "2020-01-01 22:00:00", Utc(2020, 1, 2, 3, 0, 0)},  // crosses midnight
        // The offset of that day, not of today: summer time in Berlin is two hours.
        {"Europe/Berlin", "2020-07-01 12:00:00", Utc(2020, 7, 1, 10, 0, 0)},
        {"Europe/Berlin", "2020-01-01 12:00:00", Utc(2020, 1, 1, 11, 0, 0)},
    };
    for (const auto &c : cases) {
        TimeZoneScope zone(c.zone);
        Loaded book(Book(QByteArray("<QorContact Modified=\"") + c.stamp + "\"/>"));
        ASSERT_TRUE(book.ok) << c.zone << " " << qPrintable(book.lastError);
        EXPECT_EQ(SerialToUtc(book[0].Modified), c.utc) << c.zone << " " << c.stamp;
    }
    // An hour that happens twice reads as its first occurrence, whatever came before.
    for (const char *before : {"2021-01-01 12:00:00", "2021-07-01 12:00:00"}) {
        TimeZoneScope zone("Europe/Berlin");
        Loaded book(Book(QByteArray("<QorContact Modified=\"") + before
                         + "\"/><QorContact Modified=\"2021-10-31 02:30:00\"/>"));
        ASSERT_TRUE(book.ok) << qPrintable(book.lastError);
        EXPECT_EQ(SerialToUtc(book[1].Modified), Utc(2021, 10, 31, 0, 30, 0)) << before;
    }
    // East of UTC the first half hour of year 1 falls before it: not a date a book can hold.
    TimeZoneScope zone("UTC-01:00");
    EXPECT_FALSE(Loaded(Book("<QorContact Modified=\"0001-01-01 00:30:00\"/>")).ok);
}

TEST(BookFileRead, ContactsAnywhereUnderAnyRoot)
{
    Loaded book("<?xml version=\"1.0\"?><Other><QorContact FirstName=\"A\"/>"
                "<Deep><QorContacts><QorContact FirstName=\"B\"><QorContact FirstName=\"C\"/></QorContact>"
                "</QorContacts></Deep><qorcontact FirstName=\"not me\"/><!-- c --></Other>");
    ASSERT_TRUE(book.ok) << qPrintable(book.lastError);
    ASSERT_EQ(book.count, 3);
    EXPECT_EQ(book[0].FirstName, "A");
    EXPECT_EQ(book[1].FirstName, "B");
    EXPECT_EQ(book[2].FirstName, "C");
}

TEST(BookFileRead, MissingAttributesClearDefaultsButKeepDates)
{
    FixedClock clock(Utc(2024, 1, 1, 0, 0, 0));
    TQorContacts book;
    book.SetClock(clock);
    QBuffer buffer;
    buffer.setData(Book("<QorContact FirstName=\"A\" Birthday=\"\" VisitCount=\"\"/>"));
    buffer.open(QIODevice::ReadOnly);
    QString error;
    ASSERT_TRUE(bookfile::Read(buffer, book, error)) << qPrintable(error);
    const TContactData &a = *book.ContactDataList()[0];
    EXPECT_TRUE(a.Preferred.isEmpty());
    EXPECT_TRUE(a.Gender.isEmpty());
    EXPECT_TRUE(a.Priority.isEmpty());
    EXPECT_EQ(a.Birthday, 0);
    EXPECT_EQ(a.VisitCount, 0);
    EXPECT_EQ(SerialToUtc(a.Created), Utc(2024, 1, 1, 0, 0, 0));
    EXPECT_TRUE(a.Exportable);
}

TEST(BookFileRead, FaultsStopTheLoadAfterEarlierRecords)
{
    const struct { const char *name; QByteArray xml; int kept; } cases[] = {
        {"not well-formed", Book("<QorContact FirstName=\"A\"/><QorContact FirstName=\"B\">"), 2},
        {"bad date", Book("<QorContact FirstName=\"A\"/><QorContact FirstName=\"B\" Birthday=\"2020-02-30\"/>"), 2},
        {"date in wrong form", Book("<QorContact Birthday=\"04/07/2019\"/>"), 1},
        {"bad stamp", Book("<QorContact Created=\"2020-13-01T00:00:00Z\"/>"), 1},
        {"stamp with bad time", Book("<QorContact Created=\"2020-01-01T25:00:00Z\"/>"), 1},
        {"bad legacy stamp", Book("<QorContact Created=\"yesterday\"/>"), 1},
        {"five-digit year", Book("<QorContact Created=\"10000-01-02 00:00:00\"/>"), 1},
        {"bad count", Book("<QorContact VisitCount=\"12x\"/>"), 1},
        {"count too large", Book("<QorContact VisitCount=\"99999999999\"/>"), 1},
        {"undeclared entity", Book("<QorContact FirstName=\"&nope;\"/>"), 0},
        {"not XML at all", "\x01\x02 hello", 0},
        {"empty file", "", 0},
    };
    for (const auto &c : cases) {
        Loaded book(c.xml);
        EXPECT_FALSE(book.ok) << c.name;
        EXPECT_FALSE(book.lastError.isEmpty()) << c.name;
        EXPECT_EQ(book.count, c.kept) << c.name;
        if (c.kept > 0) {
            EXPECT_EQ(book[0].FirstName, c.kept > 1 ? "A" : "") << c.name;
        }
    }
}

TEST(BookFileRead, EntityExpansionIsBounded)
{
    QByteArray xml = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\">";
    for (char c = 'b'; c <= 'j'; ++c)
        xml += QByteArray("<!ENTITY ") + c + " \"" + QByteArray(10, '&').replace("&", QByteArray("&") + char(c - 1) + ";") + "\">";
    xml += "]><r><QorContact FirstName=\"&j;\"/></r>";
    Loaded book(xml); // ten to the tenth characters if expanded
    EXPECT_FALSE(book.ok);
}

TEST_F(BookFileTest, LoadingReplacesContactsAndGrowsVocabularies)
{
    book.CreateContactData()->FirstName = "Old";
    EXPECT_EQ(book.LoadFromXMLFile(Path("missing.qcb")), 0);
    ASSERT_EQ(book.ContactDataList().size(), 1u); // a missing file changes nothing

    ASSERT_EQ(book.LoadFromXMLFile(Fixture("full.qcb")), 3);
    EXPECT_EQ(book.ContactDataList()[0]->FirstName, QString::fromUtf8("Zoë"));
    EXPECT_EQ(book.Categories(),
              (QStringList{"Contacts", "Coworkers", "Family", "Favorites", "Friends", "Starred", "Clients"}));
    EXPECT_EQ(book.Keywords(), (QStringList{"Obsolete", "golf", "VIP"}));
}

TEST_F(BookFileTest, UnreadableBookKeepsTheCollection)
{
    book.CreateContactData()->FirstName = "Kept";
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.qcb"));
    EXPECT_EQ(book.LoadFromXMLFile(Path("folder.qcb")), 0);
    EXPECT_FALSE(book.LastError().isEmpty());
    ASSERT_EQ(book.ContactDataList().size(), 1u);
}

TEST_F(BookFileTest, SaveFailuresSayCannotSave)
{
    book.CreateContactData();
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.qcb"));
    const std::pair<QString, QString> cases[] = {{Path("no/such/folder/book.qcb"), "No such file or directory"},
                                                 {Path("folder.qcb"), "Is a directory"}};
    for (const auto &[target, reason] : cases) {
        prompts.errors.clear();
        EXPECT_EQ(book.SaveToXMLFile(target), 0);
        EXPECT_EQ(prompts.errors, QStringList{"Cannot save \"" + target + "\": " + reason + "."});
    }
}

// A device that accepts only so many bytes, as a full disk does.
class FailAfter : public QBuffer
{
public:
    explicit FailAfter(qint64 limit) : m_limit(limit) {}

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        if (size() + len > m_limit)
            return -1;
        return QBuffer::writeData(data, len);
    }

private:
    qint64 m_limit;
};

TEST_F(BookFileTest, WriterReportsAFailingDevice)
{
    for (int i = 0; i < 200; ++i)
        book.CreateContactData()->FirstName = "Someone " + QString::number(i);
    FailAfter device(4000);
    device.open(QIODevice::WriteOnly);
    EXPECT_FALSE(bookfile::Write(book, device));
}

// The file size limit makes the kernel refuse writes past N bytes: a real failure
// half way through a real save.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int);
};

TEST_F(BookFileTest, SaveThatFailsHalfWayLeavesTheOldBookIntact)
{
    const QString target = Path("book.qcb");
    book.CreateContactData()->FirstName = "Original";
    ASSERT_EQ(book.SaveToXMLFile(target), 1);
    const QByteArray before = ReadAll(target);

    for (int i = 0; i < 2000; ++i)
        book.CreateContactData()->FirstName = "Newer " + QString::number(i);
    {
        FileSizeLimit limit(64 * 1024);
        EXPECT_EQ(book.SaveToXMLFile(target), 0);
    }
    EXPECT_EQ(prompts.errors, QStringList{"Cannot save \"" + target + "\": File too large."});
    EXPECT_EQ(ReadAll(target), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"book.qcb"}); // no temporary left
}

} // namespace

namespace {

// Books written before contacts had a Uid; the second layout is not the
// writer's own and goes to the general reader.
TEST_F(BookFileTest, GivesMissingAndRepeatedUidsFreshOnesThatTheNextSaveKeeps)
{
    const struct
    {
        const char *what;
        QByteArray records;
    } cases[] = {
        {"writer's layout", "<QorContact FirstName=\"A\"/>\n<QorContact FirstName=\"B\" Uid=\"same\"/>\n"
                            "<QorContact FirstName=\"C\" Uid=\"same\"/>"},
        {"other layout", "<QorContact Uid=\"\" FirstName='A'/>\n<QorContact Uid='same' FirstName='B'/>\n"
                         "<QorContact Uid='same' FirstName='C'></QorContact>"},
    };
    const QRegularExpression fresh(QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[0-9a-f]{4}-[0-9a-f]{12}$"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = Path("old.qcb");
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(Book(c.records));
        }
        ASSERT_EQ(book.LoadFromXMLFile(path), 3);
        QStringList uids;
        for (const auto &contact : book.ContactDataList())
            uids.append(contact->Uid);
        EXPECT_TRUE(fresh.match(uids[0]).hasMatch()) << uids[0].toStdString();
        EXPECT_EQ(uids[1], "same");
        EXPECT_TRUE(fresh.match(uids[2]).hasMatch()) << uids[2].toStdString();
        EXPECT_NE(uids[0], uids[2]);

        ASSERT_EQ(book.SaveToXMLFile(path), 3);
        TQorContacts again;
        ASSERT_EQ(again.LoadFromXMLFile(path), 3);
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(again.ContactDataList()[i]->Uid, uids[qsizetype(i)]);
    }
}

} // namespace
