#include "contacts/BookClaim.h"
#include "contacts/ContactFields.h"
#include "contacts/QorContacts.h"
#include "fakes/Files.h"
#include "platform/FileLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace cardolin;

namespace {

QString Fixture(const char *name)
{
    return QStringLiteral(CARDOLIN_FIXTURES "/cli/") + QLatin1String(name);
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Outcome
{
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome Cli(const QStringList &arguments, const QString &stdoutFile = {})
{
    QProcess process;
    if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    process.start(QStringLiteral(QUILLET_CLI), arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QJsonArray ShowJson(const QString &book)
{
    const Outcome shown = Cli({"show", book, "--json"});
    EXPECT_EQ(shown.exitCode, 0) << shown.err.toStdString();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(shown.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return document.array();
}

TEST(CliConvert, BookRoundTripKeepsEveryFieldAndSettlesToTheSameBytes)
{
    QTemporaryDir dir;
    const QString first = dir.filePath("first.qcb"), second = dir.filePath("second.qcb");

    const Outcome converted = Cli({"convert", Fixture("forms.qcb"), first});
    ASSERT_EQ(converted.exitCode, 0) << converted.err.toStdString();
    EXPECT_EQ(converted.err, "");
    EXPECT_EQ(ShowJson(first), ShowJson(Fixture("forms.qcb")));

    // Named formats instead of extensions, into a name that implies none.
    ASSERT_EQ(Cli({"convert", first, second, "--from", "qcb", "--to=qcb"}).exitCode, 0);
    EXPECT_EQ(ReadAll(second), ReadAll(first));
}

TEST(CliConvert, EmptyBookIsSavedNotTakenForAFailedSave)
{
    QTemporaryDir dir;
    const QString saved = dir.filePath("empty.qcb");
    const Outcome converted = Cli({"convert", Fixture("empty.qcb"), saved});
    EXPECT_EQ(converted.exitCode, 0) << converted.err.toStdString();
    EXPECT_EQ(converted.err, "");
    EXPECT_TRUE(QFileInfo(saved).isFile());
    EXPECT_EQ(ShowJson(saved), QJsonArray());
}

TEST(CliShow, JsonHoldsEveryFieldButThePhotoInItsOwnForm)
{
    const QJsonArray contacts = ShowJson(Fixture("forms.qcb"));
    ASSERT_EQ(contacts.size(), 3);

    QStringList expectedKeys;
    for (const ContactField &field : ContactFields())
        if (field.kind != FieldKind::Photo)
            expectedKeys.append(field.name);
    expectedKeys.sort();
    for (const QJsonValue &contact : contacts)
        EXPECT_EQ(contact.toObject().keys(), expectedKeys);

    const QJsonObject zoe = contacts[0].toObject();
    const struct
    {
        const char *field;
        QJsonValue expected;
    } cases[] = {
        {"FirstName", "Zoë"},
        {"MiddleName", ""},
        {"Nickname", "say \"hi\"\\"},
        {"HomeStreet", "Line one\nLine two\ttab"},
        {"Birthday", "1980-02-29"},
        {"LastVisit", "2019-07-04"},
        {"Anniversary", QJsonValue::Null},
        {"WorkCoordinatesUpdated", "2021-03-04T05:06:07Z"},
        {"Created", "2020-01-02T03:04:05Z"},
        {"Synced", QJsonValue::Null},
        {"VisitCount", 7},
        {"Exportable", true},
        {"ExportableOverride", false},
        {"Notes", QJsonArray{"first", "", "third"}},
        {"Categories", QJsonArray{"", "Clients", "Family"}},
        {"Keywords", QJsonArray{"VIP"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(zoe.value(QLatin1String(c.field)), c.expected) << c.field;

    // Book order, and a time stamp before the epoch of the serial dates.
    EXPECT_EQ(contacts[1].toObject().value("FirstName"), "Ana\nMaria");
    EXPECT_EQ(contacts[2].toObject().value("Created"), "1899-12-29T06:00:00Z");
    EXPECT_EQ(contacts[2].toObject().value("VisitCount"), -3);

    // A C1 control would reach a terminal raw; it is escaped, yet reads back the same.
    EXPECT_EQ(contacts[2].toObject().value("Department"), "a\u009bb");
    EXPECT_TRUE(Cli({"show", Fixture("forms.qcb"), "--json"}).out.contains(R"("Department": "a\u009bb")"));
}

TEST(CliShow, ListingShowsFilledFieldsAndKeepsLinesUnderTheirField)
{
    const Outcome shown = Cli({"show", Fixture("forms.qcb")});
    ASSERT_EQ(shown.exitCode, 0) << shown.err.toStdString();
    const QStringList lines = shown.out.split('\n');

    EXPECT_EQ(lines.first(), "[1] Zoë O'Brien");
    EXPECT_TRUE(lines.contains("[2] Ana Maria"));
    EXPECT_FALSE(shown.out.contains("MiddleName")) << "empty fields are left out";
    EXPECT_FALSE(shown.out.contains("Anniversary"));
    const qsizetype street = lines.indexOf(QRegularExpression("^    HomeStreet: +Line one$"));
    ASSERT_GE(street, 0) << shown.out.toStdString();
    const qsizetype column = lines[street].indexOf("Line one");
    EXPECT_EQ(lines[street + 1], QString(column, ' ') + "Line two tab");
    EXPECT_TRUE(lines.contains(QRegularExpression("^    Birthday: +1980-02-29$")));
    EXPECT_TRUE(lines.contains(QRegularExpression("^    Categories: +Clients; Family$")));
    EXPECT_TRUE(lines.contains(QRegularExpression("^    Department: +a b$")));
}

TEST(CliList, PrintsOneNamePerContactInBookOrder)
{
    const Outcome listed = Cli({"list", Fixture("forms.qcb")});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.out, "Zoë O'Brien\nAna Maria\nÜnïcødé 😀\n");
    EXPECT_EQ(listed.err, "");
}

TEST(CliHelp, GoesToStdoutAndSucceeds)
{
    const Outcome help = Cli({"convert", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage:"));
    EXPECT_EQ(help.err, "");
}

TEST(CliShow, OutputThatCannotBeWrittenIsAFailure)
{
    const Outcome listed = Cli({"list", Fixture("forms.qcb")}, "/dev/full");
    EXPECT_EQ(listed.exitCode, 2);
    EXPECT_EQ(listed.err, "error: Cannot write to standard output.\n");
}

TEST(CliFailures, ExitWithTwoAndSayWhyOnStderr)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out.qcb");
    const struct
    {
        const char *label;
        QStringList arguments;
        QString firstLine; // of stderr, a prefix of it
        bool usage;        // whether the usage text follows
    } cases[] = {
        {"missing input", {"convert", Fixture("absent.qcb"), out}, "error: Cannot find \"", false},
        {"input is a folder", {"list", dir.path()}, "error: \"" + dir.path() + "\" is a folder", false},
        {"malformed book", {"convert", Fixture("malformed.qcb"), out}, "error: Cannot load \"", false},
        {"bad date",
         {"show", Fixture("bad-date.qcb"), "--json"},
         "error: Cannot load \"" + Fixture("bad-date.qcb")
             + "\": line 4: Birthday \"1980-13-45\" is not a date",
         false},
        {"save into a missing folder",
         {"convert", Fixture("forms.qcb"), dir.filePath("missing/out.qcb")},
         "error: Cannot save \"" + dir.filePath("missing/out.qcb") + "\": No such file or directory.",
         false},
        {"save onto a folder",
         {"convert", Fixture("forms.qcb"), dir.path(), "--to", "qcb"},
         "error: Cannot save \"" + dir.path() + "\": Is a directory.",
         false},
        {"unknown format word",
         {"convert", Fixture("forms.qcb"), out, "--to", "qbc"},
         "error: Unknown format \"qbc\".",
         true},
        {"export-only format read",
         {"convert", dir.filePath("in.kml"), out},
         "error: The format \"kml\" cannot be read.",
         false},
        {"extension tells nothing",
         {"convert", Fixture("forms.qcb"), dir.filePath("out.txt")},
         "error: Cannot tell the format",
         false},
        {"no command", {}, "error: ", true},
        {"unknown command", {"merge", Fixture("forms.qcb")}, "error: Unknown command", true},
        {"option of another command",
         {"list", Fixture("forms.qcb"), "--json"},
         "error: Unknown option",
         true},
        {"missing output", {"convert", Fixture("forms.qcb")}, "error: Missing arguments", true},
        {"option without its value",
         {"convert", Fixture("forms.qcb"), out, "--to"},
         "error: --to needs",
         true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        const Outcome outcome = Cli(c.arguments);
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_EQ(outcome.out, "");
        const QStringList lines = outcome.err.split('\n');
        EXPECT_TRUE(lines.first().startsWith(c.firstLine)) << outcome.err.toStdString();
        EXPECT_EQ(outcome.err.contains("\nUsage:\n"), c.usage) << outcome.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(out)) << "nothing may be written on failure";
    }
}

} // namespace

namespace {

QString People()
{
    return Fixture("people.qcb");
}

TEST(CliNames, ListAndQuery)
{
    const struct { QStringList arguments; QString out; } cases[] = {
        {{"list", People()}, QString::fromUtf8("Ann Lee\nAnn Lee\nZoë B. Élan\nBob Stone\n")},
        {{"list", People(), "--display-type", "full", "--replace-accented-chars"},
         "Dr. Ann Lee\nAnn Lee\nZoe B. Elan\nBob Stone\n"},
        {{"list", People(), "--display-type=last-first"}, QString::fromUtf8("Lee Ann\nLee Ann\nÉlan Zoë\nStone Bob\n")},
        {{"query", People(), "acme"}, "Ann Lee\nBob Stone\n"},
        {{"query", People(), "ann&seattle"}, "Ann Lee\n"},
        {{"query", People(), "elan"}, QString::fromUtf8("Zoë B. Élan\n")},
        {{"query", People(), "elan", "--keep-accents"}, ""},
        {{"query", People(), "ACME", "--case-sensitive"}, ""},
        {{"query", People(), "Seattle, WA, USA", "--type", "location"}, "Ann Lee\n"},
        {{"query", People(), "fam", "--type", "category"}, QString::fromUtf8("Zoë B. Élan\n")},
        {{"query", People(), "Lee Ann", "--type", "display-name", "--display-type", "last-first"}, "Lee Ann\nLee Ann\n"},
    };
    for (const auto &c : cases) {
        const Outcome outcome = Cli(c.arguments);
        EXPECT_EQ(outcome.exitCode, 0) << c.arguments.join(' ').toStdString() << outcome.err.toStdString();
        EXPECT_EQ(outcome.out, c.out) << c.arguments.join(' ').toStdString();
    }
    EXPECT_EQ(Cli({"query", People(), "x", "--type", "nope"}).exitCode, 2);
    EXPECT_EQ(Cli({"list", People(), "--display-type", "middle"}).exitCode, 2);
}

TEST(CliClean, DedupeAndFormatRewriteTheBookWithABackup)
{
    QTemporaryDir dir;
    const QString book = dir.filePath("Ann.qcb");
    ASSERT_TRUE(QFile::copy(People(), book));
    const QByteArray original = ReadAll(book);

    const Outcome deduped = Cli({"dedupe", book, "--method", "keep-oldest"});
    EXPECT_EQ(deduped.exitCode, 0) << deduped.err.toStdString();
    EXPECT_EQ(deduped.out, "1\n");
    EXPECT_EQ(ReadAll(dir.filePath("Ann.~cb")), original);
    const QJsonArray kept = ShowJson(book);
    ASSERT_EQ(kept.size(), 3);
    EXPECT_EQ(kept[0].toObject()["Title"].toString(), "Dr."); // the older of the two Ann Lees

    const QByteArray beforeFormat = ReadAll(book);
    const Outcome formatted = Cli({"format", book});
    EXPECT_EQ(formatted.exitCode, 0) << formatted.err.toStdString();
    EXPECT_EQ(ReadAll(dir.filePath("Ann.~cb")), beforeFormat);
    const QJsonArray after = ShowJson(book);
    EXPECT_EQ(after[0].toObject()["WorkPhone"].toString(), "+1 (425) 5550100 x 123");
    EXPECT_EQ(after[0].toObject()["WorkEmail"].toString(), "ann@example.com");
    EXPECT_EQ(after[2].toObject()["WorkWebsite"].toString(), "http://example.com/");
    EXPECT_EQ(after[2].toObject()["LastName"].toString(), "Stone"); // not asked to upper-case

    ASSERT_EQ(Cli({"format", book, "--last-name-uppercase"}).exitCode, 0);
    EXPECT_EQ(ShowJson(book)[2].toObject()["LastName"].toString(), "STONE");
    EXPECT_EQ(ShowJson(book)[2].toObject()["WorkWebsite"].toString(), "http://example.com/");
}

TEST(CliClean, MalformedBookIsNeverRewritten)
{
    QTemporaryDir dir;
    const QString book = dir.filePath("bad.qcb");
    ASSERT_TRUE(QFile::copy(Fixture("bad-date.qcb"), book));
    QFile::setPermissions(book, QFile::ReadOwner | QFile::WriteOwner);
    const QByteArray before = ReadAll(book);
    for (const char *command : {"dedupe", "format"}) {
        const Outcome outcome = Cli({command, book});
        EXPECT_EQ(outcome.exitCode, 2) << command;
        EXPECT_TRUE(outcome.err.startsWith("error: ")) << command;
        EXPECT_EQ(ReadAll(book), before) << command;
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("bad.~cb"))) << command;
    }
}

} // namespace

namespace {

QString CsvFixture(const char *name)
{
    return QStringLiteral(CARDOLIN_FIXTURES "/csv/") + QLatin1String(name);
}

// Every CSV word both ways: a book goes out and comes back with its names.
TEST(CliCsv, EveryLayoutConvertsBothWays)
{
    QTemporaryDir dir;
    const QString book = dir.filePath("from.qcb");
    ASSERT_EQ(Cli({"convert", CsvFixture("google.csv"), book}).exitCode, 0);
    for (const char *word : {"windows-contacts-csv", "outlook-csv", "outlook-french-csv", "google-csv",
                             "google-deprecated-csv", "nokia-csv", "yahoo-csv", "blackberry-csv",
                             "google-contacts-csv", "thunderbird-csv"}) {
        const QString csv = dir.filePath(QLatin1String(word) + ".csv");
        const Outcome out = Cli({"convert", book, csv, "--to", word});
        ASSERT_EQ(out.exitCode, 0) << word << out.err.toStdString();
        const QString back = dir.filePath(QLatin1String(word) + ".qcb");
        const Outcome in = Cli({"convert", csv, back, "--from", word});
        ASSERT_EQ(in.exitCode, 0) << word << in.err.toStdString();
        EXPECT_EQ(Cli({"list", back}).out, "Jane Roe\nJohn Smith\n") << word;
        // Detection finds the same layout.
        EXPECT_EQ(Cli({"convert", csv, dir.filePath("detected.qcb")}).exitCode, 0) << word;
    }
}

TEST(CliConvert, TellsHowManyContactsItRead)
{
    QTemporaryDir dir;
    const Outcome out = Cli({"convert", CsvFixture("google-contacts.csv"), dir.filePath("out.qcb")});
    EXPECT_EQ(out.exitCode, 0) << out.err.toStdString();
    EXPECT_EQ(out.out, "3 contacts read.\n");
    EXPECT_EQ(out.err, "warning: These columns are not known and were ignored: Custom Field 1 - Label, "
                       "Custom Field 1 - Value.\n");
}

// Whatever the format, an input that holds something but gives no contact is
// a failure with its reason, not an empty book.
TEST(CliConvert, NonEmptyInputWithoutContactsFails)
{
    QTemporaryDir dir;
    struct Case
    {
        const char *file;
        QByteArray bytes;
        QStringList options;
        const char *reason;
    } const cases[] = {
        {"notes.vcf", "just some notes\n", {}, "as vcard."},
        {"notes.ldif", "just some notes\n", {}, "as ldif."},
        {"header.csv", "First Name,Primary Email\r\n", {"--from", "thunderbird-csv"}, "as thunderbird-csv."},
        {"rejected.csv", "First Name,Primary Email\r\nAnn,a@x,extra\r\n", {}, "its only record was rejected."},
    };
    for (const Case &c : cases) {
        const QString input = dir.filePath(c.file), output = dir.filePath("out.qcb");
        QFile file(input);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        const Outcome out = Cli(QStringList{"convert", input, output} + c.options);
        EXPECT_EQ(out.exitCode, 2) << c.file;
        EXPECT_TRUE(out.err.contains("error: No contact could be read from \"" + input + "\"")) << out.err.toStdString();
        EXPECT_TRUE(out.err.trimmed().endsWith(c.reason)) << out.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(output)) << c.file;
    }
    // An empty file is an empty address book.
    const QString empty = dir.filePath("empty.vcf");
    QFile(empty).open(QIODevice::WriteOnly);
    const Outcome out = Cli({"convert", empty, dir.filePath("empty.qcb")});
    EXPECT_EQ(out.exitCode, 0) << out.err.toStdString();
    EXPECT_EQ(out.out, "0 contacts read.\n");
}

TEST(CliCsv, RejectedRecordsAreListedAndSetTheExitStatus)
{
    QTemporaryDir dir;
    const Outcome out = Cli({"convert", CsvFixture("windows-contacts.csv"), dir.filePath("out.qcb")});
    EXPECT_EQ(out.exitCode, 1);
    EXPECT_TRUE(out.err.contains("ImportFromWindowsContactsCSVFile: CSV File Parsing Error: Short;Record;"))
        << out.err.toStdString();
    EXPECT_TRUE(out.err.contains("1 contact(s) failed to be imported.")) << out.err.toStdString();
    EXPECT_EQ(Cli({"list", dir.filePath("out.qcb")}).out, "Ann Lee\nBob Ray\n");

    const QString unknown = dir.filePath("unknown.csv");
    QFile file(unknown);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not,a,known,header\r\n");
    file.close();
    const Outcome failed = Cli({"convert", unknown, dir.filePath("never.qcb")});
    EXPECT_EQ(failed.exitCode, 2);
    EXPECT_TRUE(failed.err.contains("The file header is not supported.")) << failed.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("never.qcb")));
}

} // namespace

namespace {

TEST(CliConvert, LdifFileAndFolderCarryTheContactsBothWays)
{
    QTemporaryDir dir;
    const QString records = dir.filePath("people.ldif"), folder = dir.filePath("records");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(Cli({"convert", People(), records}).exitCode, 0);
    EXPECT_TRUE(ReadAll(records).startsWith("version: 1\n\ndn: cn="));
    ASSERT_EQ(Cli({"convert", records, folder, "--to", "ldif-folder"}).exitCode, 0);
    const QString back = dir.filePath("back.qcb");
    ASSERT_EQ(Cli({"convert", folder, back, "--from", "ldif-folder"}).exitCode, 0);
    EXPECT_EQ(Cli({"list", back}).out.split('\n').size(), Cli({"list", People()}).out.split('\n').size());
}

TEST(CliConvert, WindowsContactsFolderImportsAndWarnsAboutUnreadableFiles)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("contacts"), book = dir.filePath("out.qcb");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString fixtures = QStringLiteral(CARDOLIN_FIXTURES "/contact/");
    ASSERT_TRUE(QFile::copy(fixtures + "anna.contact", folder + "/anna.contact"));
    ASSERT_TRUE(QFile::copy(fixtures + "truncated.contact", folder + "/truncated.contact"));
    const Outcome in = Cli({"convert", folder, book, "--from", "windows-contacts-folder"});
    // Done, but a file was rejected.
    EXPECT_EQ(in.exitCode, 1) << in.err.toStdString();
    EXPECT_TRUE(in.err.contains("truncated.contact")) << in.err.toStdString();
    EXPECT_EQ(Cli({"list", book}).out.trimmed(), "Anna Lindqvist");
}

TEST(CliConvert, MapExportsWriteTheirFiles)
{
    QTemporaryDir dir;
    const QString batch = dir.filePath("b.txt"), zee = dir.filePath("z.txt"), kml = dir.filePath("m.kml");
    ASSERT_EQ(Cli({"convert", People(), batch, "--to", "batchgeo-csv"}).exitCode, 0);
    EXPECT_TRUE(ReadAll(batch).startsWith("\xEF\xBB\xBF" "Address\tCity\tState\tZip\tName\tGroup"));
    ASSERT_EQ(Cli({"convert", People(), zee, "--to", "zeemaps-csv"}).exitCode, 0);
    EXPECT_TRUE(ReadAll(zee).startsWith("\xEF\xBB\xBF" "Name,Street,City,State,Country,Zipcode,Color"));
    // Without a key nothing can be geocoded: the user is told, the file still written.
    const Outcome noKey = Cli({"convert", People(), kml});
    EXPECT_EQ(noKey.exitCode, 0) << noKey.err.toStdString();
    EXPECT_TRUE(noKey.err.contains("The Google Geocoding Key must be configured")) << noKey.err.toStdString();
    EXPECT_TRUE(ReadAll(kml).contains("<kml xmlns=\"http://www.opengis.net/kml/2.2\">"));
}

TEST(CliConvert, VCardFileAndFolderCarryTheContactsBothWays)
{
    QTemporaryDir dir;
    const QString cards = dir.filePath("people.vcf"), folder = dir.filePath("cards");
    ASSERT_TRUE(QDir().mkpath(folder));
    const Outcome out = Cli({"convert", People(), cards});
    ASSERT_EQ(out.exitCode, 0) << out.err.toStdString();
    EXPECT_TRUE(ReadAll(cards).startsWith("\xEF\xBB\xBF" "BEGIN:VCARD\r\nVERSION:2.1\r\n"));
    ASSERT_EQ(Cli({"convert", cards, folder, "--to", "vcard-folder"}).exitCode, 0);

    const QString back = dir.filePath("back.qcb");
    const Outcome in = Cli({"convert", folder, back, "--from", "vcard-folder"});
    ASSERT_EQ(in.exitCode, 0) << in.err.toStdString();
    const Outcome original = Cli({"list", People()}), copy = Cli({"list", back});
    QStringList want = original.out.split('\n'), got = copy.out.split('\n');
    want.sort(), got.sort();
    EXPECT_EQ(got, want);

    EXPECT_EQ(Cli({"convert", cards, folder + "/absent", "--to", "vcard-folder"}).exitCode, 2);
    const Outcome notAFolder = Cli({"convert", cards, back, "--from", "vcard-folder"});
    EXPECT_EQ(notAFolder.exitCode, 2);
    EXPECT_TRUE(notAFolder.err.contains("is not a folder")) << notAFolder.err.toStdString();
}

TEST(CliConvert, Version3CardsForOtherAddressBooks)
{
    QTemporaryDir dir;
    const QString cards = dir.filePath("people.vcf"), folder = dir.filePath("cards"), back = dir.filePath("back.qcb");
    ASSERT_TRUE(QDir().mkpath(folder));
    const Outcome out = Cli({"convert", People(), cards, "--to", "vcard3"});
    ASSERT_EQ(out.exitCode, 0) << out.err.toStdString();
    EXPECT_TRUE(ReadAll(cards).startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\n"));
    ASSERT_EQ(Cli({"convert", cards, back, "--from", "vcard3"}).exitCode, 0);
    QStringList want = Cli({"list", People()}).out.split('\n'), got = Cli({"list", back}).out.split('\n');
    want.sort(), got.sort();
    EXPECT_EQ(got, want);
    ASSERT_EQ(Cli({"convert", People(), folder, "--to", "vcard3-folder"}).exitCode, 0);
    want.removeAll(QString());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), want.size());
}

} // namespace

namespace {

using cardolin::testing::ModeOf;

// The formats quillet-cli writes, as its help lists them.
QStringList WritableFormats()
{
    const QString help = Cli({"--help"}).out;
    const qsizetype start = help.indexOf("Write:") + 6;
    return help.mid(start, help.indexOf("Exit status:") - start)
        .split(QRegularExpression("[\\s,]+"), Qt::SkipEmptyParts);
}

TEST(CliPrivacy, EveryFileWrittenIsForTheOwnerAloneUnlessTheBookWasShared)
{
    const cardolin::testing::UmaskScope mask(022); // inherited by the tool
    QTemporaryDir dir;
    const QStringList formats = WritableFormats();
    ASSERT_GE(formats.size(), 20) << formats.join(' ').toStdString();
    for (const QString &word : formats) {
        const QString output = dir.filePath(word);
        const bool folder = word.endsWith("-folder");
        ASSERT_TRUE(!folder || QDir().mkpath(output));
        const Outcome outcome = Cli({"convert", People(), output, "--to", word});
        ASSERT_EQ(outcome.exitCode, 0) << word.toStdString() << outcome.err.toStdString();
        QStringList files{output};
        if (folder) {
            files.clear();
            for (const QString &name : QDir(output).entryList(QDir::Files))
                files.append(QDir(output).filePath(name));
        }
        ASSERT_FALSE(files.isEmpty()) << word.toStdString();
        for (const QString &file : files)
            EXPECT_EQ(ModeOf(file), 0600) << file.toStdString();
    }

    const QString book = dir.filePath("Ann.qcb");
    ASSERT_TRUE(QFile::copy(People(), book));
    ASSERT_TRUE(QFile::setPermissions(book, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_EQ(Cli({"dedupe", book}).exitCode, 0);
    EXPECT_EQ(ModeOf(book), 0640);
    EXPECT_EQ(ModeOf(dir.filePath("Ann.~cb")), 0640);
    EXPECT_FALSE(QFileInfo::exists(book + ".lock"));
}

TEST(CliWriters, ABookHeldElsewhereIsLeftAloneAndItsHolderNamed)
{
    QTemporaryDir dir;
    const QString book = dir.filePath("Ann.qcb");
    ASSERT_TRUE(QFile::copy(People(), book));
    const QByteArray before = ReadAll(book);
    cardolin::platform::FileLock holder(cardolin::BookLockFileName(book));
    ASSERT_TRUE(holder.Lock(0));
    const QString named = QString("(process %1, host ").arg(QCoreApplication::applicationPid());
    for (const QStringList &command : {QStringList{"dedupe", book}, QStringList{"convert", People(), book}}) {
        const Outcome outcome = Cli(command);
        EXPECT_EQ(outcome.exitCode, 2) << command[0].toStdString();
        EXPECT_TRUE(outcome.err.startsWith("error: The contacts book \"" + book + "\" is in use by "))
            << outcome.err.toStdString();
        EXPECT_TRUE(outcome.err.contains(named)) << outcome.err.toStdString();
        EXPECT_EQ(ReadAll(book), before);
    }
    EXPECT_EQ(Cli({"list", book}).exitCode, 0); // readers do not ask
}

// Pairs of the same person, whose web sites the format command rewrites.
void WriteDuplicatedBook(const QString &path, int pairs)
{
    cardolin::TQorContacts contacts;
    for (int i = 0; i < 2 * pairs; ++i) {
        cardolin::TContactData *contact = contacts.CreateContactData();
        contact->FirstName = QString("Given%1").arg(i / 2);
        contact->LastName = "Person";
        contact->WorkWebsite = "example.com";
    }
    ASSERT_EQ(contacts.SaveToXMLFile(path), 2 * pairs);
}

TEST(CliWriters, DedupeAndFormatAtOnceLoseNoWorkThatWasReportedDone)
{
    QTemporaryDir dir;
    const QString book = dir.filePath("Ann.qcb");
    const int pairs = 3000;
    WriteDuplicatedBook(book, pairs);
    QProcess dedupe, format;
    dedupe.start(QUILLET_CLI, {"dedupe", book});
    format.start(QUILLET_CLI, {"format", book});
    ASSERT_TRUE(dedupe.waitForFinished(120000));
    ASSERT_TRUE(format.waitForFinished(120000));
    const int deduped = dedupe.exitCode(), formatted = format.exitCode();
    EXPECT_TRUE(deduped == 0 || formatted == 0);
    for (QProcess *loser : {&dedupe, &format})
        if (loser->exitCode() != 0) {
            EXPECT_EQ(loser->exitCode(), 2);
            EXPECT_TRUE(loser->readAllStandardError().contains("is in use by quillet-cli (process "));
        }

    const QJsonArray after = ShowJson(book);
    EXPECT_EQ(after.size(), deduped == 0 ? pairs : 2 * pairs);
    qsizetype formattedSites = 0;
    for (const QJsonValue &contact : after)
        formattedSites += contact.toObject()["WorkWebsite"].toString() == "http://example.com/";
    EXPECT_EQ(formattedSites, formatted == 0 ? after.size() : 0);
}

TEST(CliWriters, ABookWhoseLockCannotBeMadeIsLeftAloneAndWhySaid)
{
    QTemporaryDir dir;
    const QString book = dir.filePath("Ann.qcb"), lock = book + ".lock";
    ASSERT_TRUE(QFile::copy(People(), book));
    const QByteArray before = ReadAll(book);
    const struct
    {
        const char *name;
        std::function<bool()> plant;
        QString reason;
    } cases[] = {
        {"folder", [&] { return QDir().mkdir(lock); }, "\"" + lock + "\" is no file that can serve as its lock"},
        {"link", [&] { return QFile::link(dir.filePath("elsewhere"), lock); }, "a symbolic link stands where"},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(c.plant()) << c.name;
        for (const char *command : {"dedupe", "format"}) {
            const Outcome outcome = Cli({command, book});
            EXPECT_EQ(outcome.exitCode, 2) << c.name << ' ' << command;
            EXPECT_TRUE(outcome.err.startsWith("error: The contacts book \"" + book
                                               + "\" cannot be locked against other programs: " + c.reason))
                << outcome.err.toStdString();
            EXPECT_EQ(ReadAll(book), before) << c.name << ' ' << command;
        }
        ASSERT_TRUE(QDir().rmdir(lock) || QFile::remove(lock));
    }
}

TEST(CliWriters, AFileSizeLimitFailsTheSaveLikeAFullDisk)
{
    QTemporaryDir dir;
    const QString book = dir.filePath("Ann.qcb");
    WriteDuplicatedBook(book, 300);
    const QByteArray before = ReadAll(book);
    // Room for the backup copy, not for the book that formatting lengthens.
    const QString blocks = QString::number(before.size() / 512 + 1);
    QProcess process;
    process.start("/bin/sh", {"-c", "ulimit -f " + blocks + " && exec \"$0\" format \"$1\"", QUILLET_CLI, book});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_EQ(process.readAllStandardError(), "error: Cannot save \"" + book.toUtf8() + "\": File too large.\n");
    EXPECT_EQ(ReadAll(book), before);
    EXPECT_EQ(QDir(dir.path()).entryList({"*.tmp"}, QDir::Files), QStringList());
}

} // namespace
