#include "CsvTestSupport.h"

#include "formats/CsvLayouts.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

const char kWindowsHeader[] =
    "First Name;Last Name;Middle Name;Name;Nickname;E-mail Address;Home Street;Home City;Home Postal Code;"
    "Home State;Home Country/Region;Home Phone;Home Fax;Mobile Phone;Personal Web Page;Business Street;"
    "Business City;Business Postal Code;Business State;Business Country/Region;Business Web Page;Business Phone;"
    "Business Fax;Pager;Company;Job Title;Department;Office Location;Notes";

QByteArray WindowsRecord(const char *first, const char *company = "", int fields = 29)
{
    QByteArrayList values(fields);
    values[0] = first;
    values[13] = "555-1";
    if (fields > 24)
        values[24] = company;
    return values.join(';');
}

using CsvDetection = CsvTest;

TEST_F(CsvDetection, FirstLineChoosesTheLayoutInAFixedOrder)
{
    struct Case
    {
        const CsvLayout &layout;
        const char *context;
    } const cases[] = {
        {BlackBerryCsvLayout(), "ImportFromBlackBerryCSVFile"},
        {GoogleCsvLayout(), "ImportFromGoogleCSVFile"},
        {GoogleDeprecatedCsvLayout(), "ImportFromGoogleDeprecatedCSVFile"},
        {NokiaCsvLayout(), "ImportFromNokiaCSVFile"},
        {OutlookCsvLayout(), "ImportFromOutlookCSVFile"},
        {OutlookFrenchCsvLayout(), "ImportFromOutlookCSVFile"},
        {YahooCsvLayout(), "ImportFromYahooCSVFile"},
        {WindowsContactsCsvLayout(), "ImportFromWindowsContactsCSVFile"},
    };
    for (const Case &c : cases) {
        errors.clear();
        // Extra header columns are allowed; a lone junk record shows who read the file.
        const QString path =
            Write("detect.csv", "\xEF\xBB\xBF" + (c.layout.Header() + ",\"Extra\"\r\njunk\r\n").toUtf8());
        EXPECT_EQ(contacts.ImportFromCSVFile(path), 0);
        ASSERT_EQ(errors.size(), 1u) << c.context << " " << c.layout.Header().left(20).toStdString();
        EXPECT_EQ(errors[0].context, c.context);
        EXPECT_EQ(errors[0].type, "CSV File Parsing Error");
    }
    EXPECT_TRUE(prompts.errors.filter("not supported").isEmpty());
}

TEST_F(CsvDetection, UnknownMissingOrEmptyFilesAreNotSupported)
{
    const QString unknown = Write("unknown.csv", "Alpha;Beta;Gamma\r\n");
    const QString empty = Write("empty.csv", "");
    for (const QString &path : {unknown, empty, Path("missing.csv")}) {
        prompts.errors.clear();
        EXPECT_EQ(contacts.ImportFromCSVFile(path), 0);
        EXPECT_EQ(prompts.errors, QStringList{"The file header is not supported."}) << path.toStdString();
    }
}

// Not the exact header, but the same names: read by name, here by the
// Windows Contacts columns.
TEST_F(CsvDetection, HeaderInOtherLetterCaseIsReadByName)
{
    const QString lowerCase =
        Write("lower.csv", QByteArray(kWindowsHeader).toLower() + "\r\nAnn;Lee;;;;ann@lee.example\r\n");
    ASSERT_EQ(contacts.ImportFromCSVFile(lowerCase), 1);
    EXPECT_EQ(At(0).LastName, "Lee");
    EXPECT_EQ(At(0).PersonalEmail, "ann@lee.example");
    EXPECT_TRUE(prompts.errors.isEmpty());
}

using CsvImport = CsvTest;

TEST_F(CsvImport, MissingFileHeaderOnlyAndWrongHeader)
{
    EXPECT_EQ(contacts.ImportFromWindowsContactsCSVFile(Path("missing.csv")), 0);
    EXPECT_EQ(contacts.ImportFromWindowsContactsCSVFile(Write("header.csv", kWindowsHeader)), 0);
    EXPECT_TRUE(prompts.errors.isEmpty());

    EXPECT_EQ(contacts.ImportFromNokiaCSVFile(Write("other.csv", QByteArray(kWindowsHeader) + "\r\na;b\r\n")), 0);
    EXPECT_EQ(prompts.errors, QStringList{"The file header is not the expected one."});
    EXPECT_TRUE(contacts.ContactDataList().empty());
    EXPECT_EQ(prompts.busyDepth, 0);
}

TEST_F(CsvImport, RejectedRecordsAreReportedAndCountedWhileGoodOnesAreKept)
{
    const QByteArray file = QByteArray(kWindowsHeader) + "\r\n" + WindowsRecord("Ann") + "\r\n"
                            + WindowsRecord("Short", "", 28) + "\r\n" + WindowsRecord("Bob", "Acme") + "\r\n"
                            + WindowsRecord("Long", "", 30) + "\r\n";
    EXPECT_EQ(contacts.ImportFromWindowsContactsCSVFile(Write("w.csv", file)), 2);

    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].context, "ImportFromWindowsContactsCSVFile");
    EXPECT_EQ(errors[0].text, QString::fromLatin1(WindowsRecord("Short", "", 28)));
    EXPECT_EQ(errors[0].count, 1);
    EXPECT_EQ(errors[1].count, 2);
    EXPECT_EQ(prompts.errors, QStringList{"2 contact(s) failed to be imported."});
    EXPECT_EQ(progress, (std::vector<std::array<int, 3>>{{1, 4, 1}, {1, 4, 2}, {1, 4, 3}, {1, 4, 4}}));

    EXPECT_EQ(At(0).FirstName, "Ann");
    EXPECT_EQ(At(0).PersonalMobilePhone, "555-1") << "no company: a personal mobile";
    EXPECT_EQ(At(1).WorkMobilePhone, "555-1");
    EXPECT_EQ(At(1).PersonalMobilePhone, "");
}

TEST_F(CsvImport, ContactsTakeTheFileTimeExceptInTheFullGoogleLayout)
{
    const QString path = Write("w.csv", QByteArray(kWindowsHeader) + "\r\n" + WindowsRecord("Ann") + "\r\n");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.setFileTime(QDateTime(QDate(2021, 6, 7), QTime(8, 9, 10)), QFileDevice::FileModificationTime);
    }
    ASSERT_EQ(contacts.ImportFromWindowsContactsCSVFile(path), 1);
    const TDateTime fileTime = DateTimeToSerial(QFileInfo(path).lastModified());
    EXPECT_EQ(SerialToDate(At(0).Created), QDate(2021, 6, 7));
    EXPECT_EQ(At(0).Modified, fileTime);

    QByteArray google = GoogleCsvLayout().Header().toUtf8() + "\r\nAnn" + QByteArray(91, ',') + "\r\n";
    ASSERT_EQ(contacts.ImportFromGoogleCSVFile(Write("g.csv", google)), 1);
    EXPECT_EQ(SerialToDate(At(1).Created), QDate(2024, 1, 2)) << "the clock's time, as created";
}

TEST_F(CsvImport, FormattingOptionAppliesToImportedContacts)
{
    QByteArrayList values(29);
    values[0] = "Ann";
    values[5] = "ANN@EXAMPLE.COM";
    const QString path = Write("w.csv", QByteArray(kWindowsHeader) + "\r\n" + values.join(';') + "\r\n");
    ASSERT_EQ(contacts.ImportFromWindowsContactsCSVFile(path), 1);
    EXPECT_EQ(At(0).PersonalEmail, "ANN@EXAMPLE.COM");
    contacts.SetFormatContacts(true);
    ASSERT_EQ(contacts.ImportFromWindowsContactsCSVFile(path), 1);
    EXPECT_EQ(At(1).PersonalEmail, "ann@example.com");
}

// A record may pass a minimum field count and still end before columns that
// are read: those columns count as empty.
TEST_F(CsvImport, ColumnsBeyondAShortRecordAreEmpty)
{
    QByteArrayList fields(39, "\"\"");
    fields[0] = "\"Ann\"";
    fields[21] = "\"Acme\"";
    fields[12] = "\"555-2\"";
    const QByteArray file = YahooCsvLayout().Header().toUtf8() + "\r\n" + fields.join(',') + "\r\n";
    ASSERT_EQ(contacts.ImportFromYahooCSVFile(Write("y.csv", file)), 1);
    EXPECT_EQ(At(0).FirstName, "Ann");
    EXPECT_EQ(At(0).WorkMobilePhone, "555-2");
    EXPECT_EQ(At(0).PersonalIM, "");
    EXPECT_EQ(At(0).Notes, QStringList{""});
    EXPECT_TRUE(errors.empty());
}

TEST_F(CsvImport, OutlookAndYahooFeedTheCollectionsListsButGoogleDoesNot)
{
    contacts.SetCategories({"Work"});
    QByteArrayList fields(39, "\"\"");
    fields[5] = "\"Club;Work\"";
    ASSERT_EQ(contacts.ImportFromYahooCSVFile(
                  Write("y.csv", YahooCsvLayout().Header().toUtf8() + "\r\n" + fields.join(',') + "\r\n")),
              1);
    EXPECT_EQ(At(0).Categories.Entries(), (QStringList{"Club", "Work"}));
    EXPECT_EQ(contacts.Categories(), (QStringList{"Work", "Club"}));

    QByteArrayList google(92);
    google[26] = "Team ::: * My Contacts";
    ASSERT_EQ(contacts.ImportFromGoogleCSVFile(
                  Write("g.csv", GoogleCsvLayout().Header().toUtf8() + "\r\n" + google.join(',') + "\r\n")),
              1);
    EXPECT_EQ(At(1).Categories.Entries(), (QStringList{"Contacts", "Team"}));
    EXPECT_EQ(contacts.Categories(), (QStringList{"Work", "Club"}));
}

// Whatever the bytes, the import ends quickly, reports what it rejects and never
// reads past its input.
TEST_F(CsvImport, HostileInputNeitherCrashesNorHangs)
{
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(char((i * 7919) % 256));
    struct Case
    {
        const char *name;
        QByteArray bytes;
    } const cases[] = {
        {"unclosed quote", "\"never closed;a,b\r\nmore;lines\r\n"},
        {"unbalanced quotes", "a\"b\";\"c;\"\"\"\r\n\";,;\"\r\n"},
        {"binary", junk},
        {"one enormous line", QByteArray(1 << 19, ';') + QByteArray(1 << 19, ',')},
        {"enormous quoted line", "\"" + QByteArray(1 << 20, ',')},
        {"many short lines", QByteArray(1 << 18, '\n')},
        {"quotes only", QByteArray(1 << 20, '"')},
    };
    const CsvLayout *layouts[] = {&WindowsContactsCsvLayout(), &OutlookCsvLayout(), &GoogleCsvLayout(),
                                  &GoogleDeprecatedCsvLayout(), &NokiaCsvLayout(), &BlackBerryCsvLayout()};
    for (const Case &c : cases) {
        QElapsedTimer timer;
        timer.start();
        contacts.ImportFromCSVFile(Write("raw.csv", c.bytes));
        contacts.ImportFromCSVFile(Write("utf16.csv", QByteArray("\xFF\xFE", 2) + c.bytes));
        for (const CsvLayout *layout : layouts)
            contacts.ImportFromCSVFile(Write("hostile.csv", layout->Header().toUtf8() + "\r\n" + c.bytes));
        EXPECT_LT(timer.elapsed(), 30000) << c.name;
    }
    for (const ErrorCall &error : errors)
        EXPECT_EQ(error.type, "CSV File Parsing Error");
    EXPECT_EQ(prompts.busyDepth, 0);
}

// A large file is read on two threads; what the user gets must be what one
// thread reading in order gives: contacts, errors and their numbers, progress,
// and new categories in the order the file first names them.
TEST_F(CsvImport, ALargeFileGivesTheSameResultInTheFileOrder)
{
    const CsvLayout &layout = OutlookCsvLayout();
    qsizetype first = -1, categories = -1;
    for (qsizetype i = 0; i < qsizetype(layout.columns.size()); ++i) {
        if (layout.columns[size_t(i)].name == u"First Name")
            first = i;
        if (layout.columns[size_t(i)].name == u"Categories")
            categories = i;
    }
    ASSERT_GE(first, 0);
    ASSERT_GE(categories, 0);
    const auto record = [&](const QByteArray &name, const QByteArray &category) {
        QList<QByteArray> fields(layout.columns.size(), "\"\"");
        fields[first] = '"' + name + '"';
        fields[categories] = '"' + category + '"';
        return fields.join(',') + "\r\n";
    };
    const int count = 9000;
    const QSet<int> shortOnes{10, 6000}, emptyOnes{20, 7000};
    QByteArray file = layout.Header().toUtf8() + "\r\n";
    QStringList expectedNames, expectedCategories = contacts.Categories(), expectedErrors;
    for (int k = 0; k < count; ++k) {
        const QByteArray name = "P" + QByteArray::number(k);
        // Categories first named late in the file, and some named in both halves.
        const QByteArray category = k >= 5000 ? "late" + QByteArray::number(k % 3) : "c" + QByteArray::number(k % 5);
        if (shortOnes.contains(k)) {
            file += "\"" + name + "\",\"x\"\r\n";
            expectedErrors.append(QString::fromLatin1("\"" + name + "\",\"x\""));
        } else if (emptyOnes.contains(k)) {
            file += record("", "");
        } else {
            file += record(name, category);
            expectedNames.append(QString::fromLatin1(name));
            if (!expectedCategories.contains(QString::fromLatin1(category)))
                expectedCategories.append(QString::fromLatin1(category));
        }
    }
    EXPECT_EQ(contacts.ImportFromOutlookCSVFile(Write("big.csv", file)), expectedNames.size());

    QStringList names;
    for (const auto &contact : contacts.ContactDataList())
        names.append(contact->FirstName);
    EXPECT_EQ(names, expectedNames);
    EXPECT_EQ(contacts.Categories(), expectedCategories);
    ASSERT_EQ(errors.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(errors[size_t(i)].text, expectedErrors[i]);
        EXPECT_EQ(errors[size_t(i)].count, i + 1);
    }
    ASSERT_EQ(progress.size(), size_t(count));
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(progress[size_t(i)], (std::array<int, 3>{1, count, i + 1}));
}

} // namespace
