#include "MainWindowFixture.h"

#include "app/ContactCommands.h"
#include "app/ImportExportCommands.h"
#include "formats/CsvColumnMapping.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

const QString kClearQuestion = "Do you want to clear the current contacts book before importing new contacts?";
const QString kOutlookFixture = QString(CARDOLIN_FIXTURES) + "/csv/outlook.csv";

int ContactsIn(const QString &csv)
{
    TQorContacts book;
    return book.ImportFromCSVFile(csv);
}

struct ImportExportFixture : MainWindowFixture
{
    app::ImportExportCommands &Commands() { return window->ImportExport(); }
    void Trigger(QMenu *menu, const char *name) { menu->findChild<QAction *>(name)->trigger(); }
    void Import(const char *name) { Trigger(Commands().ImportPopupMenu(), name); }
    void Export(const char *name) { Trigger(Commands().ExportPopupMenu(), name); }
    void AnswerFiles(const QString &path)
    {
        Commands().AskOpenFileName = [path, this](const QString &folder, const QStringList &, int selected,
                                                  const QString &suffix) {
            askedFolder = folder, askedSelected = selected, askedSuffix = suffix;
            return path;
        };
        Commands().AskSaveFileName = Commands().AskOpenFileName;
    }
    QString WriteCard(const QString &name, const QString &firstName)
    {
        TQorContacts book;
        TContactData *c = book.CreateContactData();
        c->FirstName = firstName;
        const QString path = dir.filePath(name);
        EXPECT_TRUE(book.WriteContactDataTovCardFile(c, path));
        return path;
    }
    void AnswerFolder(const QString &folder)
    {
        Commands().AskFolder = [folder](const QString &) { return folder; };
    }
    QString Write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QString askedFolder, askedSuffix;
    int askedSelected = -1;
};

// Files that give no contact, whatever the entry: the book keeps its contacts,
// is not marked changed, and the user is told why.
TEST_F(ImportExportFixture, AnImportThatGivesNothingChangesNothingAndSaysWhy)
{
    WriteBook("ann", {"Ann", "Bob"});
    Start();
    const QString googleCsv = dir.filePath("google.csv");
    AnswerFiles(googleCsv);
    Export("ExportToGoogleCSVFile");
    ASSERT_TRUE(QFile::copy(googleCsv, dir.filePath("google-named.vcf")));
    Commands().AskColumnMapping = [](const CsvPreview &, QStringList &) { return true; };
    const QString nothingRead = "No contact could be read from \"%1\" as %2.";
    const struct
    {
        const char *what;
        QString path;
        const char *entry;
        QString said; // an import that knows what is wrong says so itself
    } cases[] = {
        {"a picture", Write("photo.png", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)), "ImportvCardFile",
         nothingRead.arg(dir.filePath("photo.png"), "vCard (VCF File)")},
        {"a binary", Write("data.ldif", QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0\0\xff\xfe", 14)), "ImportLDIFFile",
         nothingRead.arg(dir.filePath("data.ldif"), "LDIF (LDIF File)")},
        {"an empty file", Write("empty.vcf", ""), "ImportvCardFile",
         nothingRead.arg(dir.filePath("empty.vcf"), "vCard (VCF File)")},
        {"a Google CSV named .vcf", dir.filePath("google-named.vcf"), "ImportvCardFile",
         nothingRead.arg(dir.filePath("google-named.vcf"), "vCard (VCF File)")},
        {"a card named .csv", Write("card.csv", "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Card;Vic\r\nEND:VCARD\r\n"),
         "ImportOutlookCSVFile", "The file header is not the expected one."},
    };
    prompts.answerYes = true; // clear the book first
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        prompts.errors.clear();
        AnswerFiles(c.path);
        Import(c.entry);
        EXPECT_EQ(Column(0), (QStringList{"Ann", "Bob"}));
        EXPECT_FALSE(window->Modified());
        EXPECT_FALSE(window->Commands().History().CanUndo());
        EXPECT_EQ(prompts.errors, QStringList{c.said});
    }
    // The question came every time, with No preselected.
    EXPECT_EQ(prompts.preselections, QList<UserPrompts::Choice>(5, UserPrompts::Choice::No));
}

TEST_F(ImportExportFixture, CancelAtTheClearQuestionImportsNothing)
{
    WriteBook("ann", {"Ann"});
    Start();
    prompts.cancel = true;
    AnswerFiles(WriteCard("vic.vcf", "Vic"));
    Import("ImportvCardFile");
    Commands().QorFileDrag1Drop({WriteCard("wes.vcf", "Wes"), WriteCard("xia.vcf", "Xia")});
    EXPECT_EQ(prompts.questions, QStringList(2, kClearQuestion));
    EXPECT_EQ(Column(0), QStringList{"Ann"});
    EXPECT_FALSE(window->Modified());
    EXPECT_TRUE(prompts.errors.isEmpty());
}

// Every entry of every file comes in; a file that gave none is named in the report.
TEST_F(ImportExportFixture, FolderImportsReadEveryEntryAndReportSkippedFiles)
{
    Start();
    const QString fixtures = QString(CARDOLIN_FIXTURES) + "/folders/";
    AnswerFolder(fixtures + "ldif");
    Import("ImportLDIFFolder");
    EXPECT_EQ(Column(0), (QStringList{"Jane", "Rosa Diaz", "Tom Berg"}));
    EXPECT_EQ(window->ErrorList(),
              QStringList{"\"" + fixtures + "ldif/not-ldif.ldif\": The file could not be read and was skipped."});
    AnswerFolder(fixtures + "vcard");
    Import("ImportvCardFolder");
    EXPECT_EQ(Rows(), 7);
    EXPECT_EQ(window->ErrorList().size(), 1);
    EXPECT_EQ(shownDialogs, QStringList(2, "Error Report"));
}

// Tests run as root, who may write anywhere: a path under a regular file, and
// folders standing where the files would go, are refused to anyone.
TEST_F(ImportExportFixture, AnExportThatFailsSaysWhyOnceAndClaimsNothing)
{
    WriteBook("ann", {"Ann", "Bob", "Cy"});
    Start();
    const QString path = Write("plain", "x") + "/out.csv";
    AnswerFiles(path);
    Export("ExportToOutlookCSVFile");
    EXPECT_EQ(prompts.errors, QStringList{"Cannot save \"" + path + "\": Not a directory."});

    prompts.errors.clear();
    const QString folder = dir.filePath("blocked");
    for (const char *name : {"Ann", "Bob", "Cy"})
        ASSERT_TRUE(QDir().mkpath(folder + "/" + name + ".vcf"));
    AnswerFolder(folder);
    Export("ExportTovCardFolder");
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].endsWith(": Is a directory. 3 files could not be saved in all."));
    EXPECT_TRUE(prompts.information.isEmpty());
}

// Without a geocoding key the map takes the contacts that have coordinates,
// after one warning, and says how many of the chosen ones that is.
TEST_F(ImportExportFixture, MapExportWithoutAKeyWarnsOnceAndSaysWhatWasWritten)
{
    WriteBook("ann", {"Ann", "Bob", "Cy"}, [](TContactData &c) {
        c.WorkCity = "Paris";
        if (c.FirstName == "Bob")
            c.WorkCoordinates = "2.35,48.85,0";
    });
    Start();
    const QString kml = dir.filePath("map.kml");
    AnswerFiles(kml);
    Export("ExportToGoogleEarthKMLFile");
    EXPECT_EQ(prompts.warnings, QStringList{"The Google Geocoding Key must be configured to access Google Geocoding API."});
    EXPECT_EQ(prompts.information, QStringList{"1 of 3 contacts were exported; the others have no coordinates."});
    QFile file(kml);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("<Placemark>"), 1);
    EXPECT_FALSE(window->Modified());
}

// A save dialog proposes the book's name with the format's extension.
TEST_F(ImportExportFixture, SaveDialogsProposeTheBooksName)
{
    WriteBook("ann", {"Ann"});
    Start();
    AnswerFiles(dir.filePath("elsewhere/out.ldif"));
    QDir().mkpath(dir.filePath("elsewhere"));
    Export("ExportToLDIFFile");
    EXPECT_EQ(askedFolder, QFileInfo(Book("ann")).absolutePath() + "/ann.ldif");
    Export("ExportTovCardFile");
    EXPECT_EQ(askedFolder, dir.filePath("elsewhere/ann.vcf"));
}

TEST_F(ImportExportFixture, AnyCsvEntryReadsTheLayoutOfTheFileAndTheClearQuestionDecides)
{
    const int imported = ContactsIn(kOutlookFixture);
    ASSERT_GT(imported, 0);
    WriteBook("ann", {"Ann", "Bob"});
    Start();
    AnswerFiles(kOutlookFixture);

    prompts.answerYes = false;
    Import("ImportYahooCSVFile"); // an Outlook file, whatever the entry says
    EXPECT_EQ(askedFolder, QFileInfo(Book("ann")).absolutePath());
    EXPECT_EQ(askedSuffix, "csv");
    EXPECT_EQ(prompts.questions, QStringList{kClearQuestion});
    EXPECT_EQ(Rows(), 2 + imported);
    EXPECT_TRUE(window->Modified());

    prompts.answerYes = true;
    Import("ImportOutlookCSVFile");
    EXPECT_EQ(Rows(), imported);
    window->Commands().Undo(); // the clearing and the import go back together
    EXPECT_EQ(Rows(), 2 + imported);

    // The dialog now starts where the last file was.
    Import("ImportGoogleCSVFile");
    EXPECT_EQ(askedFolder, QFileInfo(kOutlookFixture).absolutePath());
}

TEST_F(ImportExportFixture, AnEmptyBookAsksNothingAndRejectedRecordsAreReported)
{
    Start();
    const QString csv = dir.filePath("broken.csv");
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QFile fixture(kOutlookFixture);
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    file.write(fixture.readAll() + "\"Mr.\",\"Unbalanced\n");
    file.close();
    AnswerFiles(csv);
    Import("ImportOutlookCSVFile");
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_FALSE(window->ErrorList().isEmpty());
    EXPECT_EQ(shownDialogs, QStringList{"Error Report"});
}

TEST_F(ImportExportFixture, AFileOfNoKnownLayoutIsReadThroughTheUsersChoiceOfColumns)
{
    Start();
    const QString csv = dir.filePath("club.csv");
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Nom;Courriel;Table\nDupont;d@club.fr;4\n");
    file.close();
    AnswerFiles(csv);
    QList<QStringList> proposals;
    bool accept = false;
    Commands().AskColumnMapping = [&](const CsvPreview &preview, QStringList &fields) {
        EXPECT_EQ(preview.records.value(0), (QStringList{"Dupont", "d@club.fr", "4"}));
        proposals.append(fields);
        fields = {"LastName", "PersonalEmail", ""};
        return accept;
    };
    Import("ImportOutlookCSVFile"); // cancelled
    EXPECT_EQ(Rows(), 0);
    accept = true;
    Import("ImportOutlookCSVFile");
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(window->QorContacts1().ContactDataList()[0]->PersonalEmail, "d@club.fr");
    Commands().QorFileDrag1Drop({csv}); // the same header again: the choice is remembered
    ASSERT_EQ(proposals.size(), 3);
    EXPECT_EQ(proposals[0], (QStringList{"", "", ""}));
    EXPECT_EQ(proposals[2], (QStringList{"LastName", "PersonalEmail", ""}));
}

TEST_F(ImportExportFixture, ExportsTakeWhatTheListShowsOrTheSelection)
{
    WriteBook("ann", {"Ann", "Anna", "Annie", "Bob", "Cy", "Dee", "Eve", "Fay", "Gus", "Hal"});
    Start();
    Child<QLineEdit>("FindButtonedEdit")->setText("Ann");
    window->FindButtonedEditRightButtonClick();
    ASSERT_EQ(Rows(), 3);
    AnswerFiles(dir.filePath("out.csv"));
    Export("ExportToOutlookCSVFile");
    EXPECT_EQ(askedSelected, 0);
    EXPECT_EQ(prompts.information.last(), "3 contacts have been exported successfully.");
    EXPECT_EQ(ContactsIn(dir.filePath("out.csv")), 3);

    SelectRows({0, 2});
    Export("ExportToBatchGeoCSVFile");
    EXPECT_EQ(prompts.information.last(), "2 contacts have been exported.");

    AnswerFiles(dir.filePath("out.vcf"));
    Export("ExportTovCardFile");
    EXPECT_EQ(askedSelected, 2);
    EXPECT_EQ(askedSuffix, "vcf");
    AnswerFiles(dir.filePath("out3.vcf"));
    Export("ExportTovCard3File");
    EXPECT_EQ(askedSuffix, "vcf");
    EXPECT_EQ(prompts.information.last(), "2 contacts have been exported successfully.");
    QFile card3(dir.filePath("out3.vcf"));
    ASSERT_TRUE(card3.open(QIODevice::ReadOnly));
    EXPECT_TRUE(card3.readAll().startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\n"));
    EXPECT_FALSE(window->Modified());
}

// Today's Google Contacts and Thunderbird files have entries of their own both ways.
TEST_F(ImportExportFixture, GoogleContactsAndThunderbirdEntries)
{
    WriteBook("ann", {"Ann", "Bob"});
    Start();
    for (const char *name : {"ExportToGoogleContactsCSVFile", "ExportToThunderbirdCSVFile"}) {
        const QString path = dir.filePath(QString(name) + ".csv");
        AnswerFiles(path);
        Export(name);
        EXPECT_EQ(askedSuffix, "csv") << name;
        EXPECT_EQ(ContactsIn(path), 2) << name;
    }
    prompts.answerYes = true;
    AnswerFiles(QString(CARDOLIN_FIXTURES) + "/csv/google-contacts.csv");
    Import("ImportGoogleContactsCSVFile");
    EXPECT_EQ(Rows(), 3);
    AnswerFiles(QString(CARDOLIN_FIXTURES) + "/csv/thunderbird.csv");
    Import("ImportThunderbirdCSVFile");
    EXPECT_EQ(Rows(), 2);
}

TEST_F(ImportExportFixture, DroppedFilesAndLinksAreImported)
{
    WriteBook("ann", {"Ann"});
    Start();
    const QString card = WriteCard("one.vcf", "Vic");
    Commands().QorFileDrag1Drop({card});
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(Column(0), (QStringList{"Ann", "Vic"}));

    // Links to a card: a symbolic link and a desktop link file.
    ASSERT_TRUE(QFile::link(WriteCard("two.vcf", "Wes"), dir.filePath("link-to-two")));
    QFile desktopLink(dir.filePath("three.desktop"));
    ASSERT_TRUE(desktopLink.open(QIODevice::WriteOnly));
    desktopLink.write("[Desktop Entry]\nType=Link\nName=Card\nURL=file://" +
                      WriteCard("three.vcf", "Xia").toUtf8() + "\n");
    desktopLink.close();
    QFile::copy(card, dir.filePath("notes.txt"));
    prompts.answerYes = false;
    Commands().QorFileDrag1Drop({dir.filePath("link-to-two"), dir.filePath("three.desktop"), dir.path(),
                                 dir.filePath("notes.txt")});
    EXPECT_EQ(prompts.questions, QStringList{kClearQuestion});
    EXPECT_EQ(Column(0), (QStringList{"Ann", "Vic", "Wes", "Xia"}));

    const QString contact = QString(CARDOLIN_FIXTURES) + "/contact/anna.contact";
    Commands().QorFileDrag1Drop({contact, contact, contact});
    EXPECT_EQ(Rows(), 7);
    EXPECT_EQ(prompts.questions.size(), 1);
}

} // namespace
