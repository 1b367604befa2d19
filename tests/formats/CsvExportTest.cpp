#include "CsvTestSupport.h"

#include "formats/CsvLayouts.h"
#include "formats/CsvText.h"
#include "support/BreakApart.h"

using namespace cardolin;
using namespace cardolin::testing;

namespace {

class CsvExport : public CsvTest
{
protected:
    TContactData &Add()
    {
        TContactData &c = *contacts.CreateContactData();
        c.Categories.Clear();
        c.Keywords.Clear();
        return c;
    }

    // The file's physical lines after the header.
    QStringList Lines(const QString &path) const
    {
        QStringList lines = QString::fromUtf8(ReadBytes(path)).split("\r\n");
        EXPECT_EQ(lines.takeLast(), "") << "the last line ends with CR LF too";
        lines.removeFirst();
        return lines;
    }

    // One record's fields as the importer splits them.
    static QStringList Fields(const QString &record, const CsvLayout &layout)
    {
        TQorBreakApart splitter;
        splitter.SetBreakString(layout.separator);
        splitter.SetAllowEmptyString(true);
        splitter.SetDoubleQuoteMode(true);
        splitter.SetBaseString(record);
        splitter.BreakApart();
        return splitter.StringList();
    }
};

TEST_F(CsvExport, WindowsContactsWritesEmptyFirstFieldsAndSpansMultiLineStreets)
{
    TContactData &c = Add();
    c.LastName = "Smith";
    c.HomeStreet = "1 Main St;Apt 2";
    c.HomeCity = "Springfield";
    c.Company = "Smith; Jones";
    const QString path = Path("w.csv");
    ASSERT_EQ(contacts.ExportToWindowsContactsCSVFile(path), 1);

    EXPECT_TRUE(ReadBytes(path).startsWith("\xEF\xBB\xBF" "First Name;Last Name;"));
    const QStringList lines = Lines(path);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], ";Smith;;Smith;;;\"1 Main St");
    EXPECT_TRUE(lines[1].startsWith("Apt 2\";Springfield;")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(";\"Smith; Jones\";")) << lines[1].toStdString();

    ASSERT_EQ(contacts.ImportFromWindowsContactsCSVFile(path), 1);
    EXPECT_EQ(At(1).HomeStreet, "1 Main St;Apt 2");
    EXPECT_EQ(At(1).Company, "Smith; Jones");
}

TEST_F(CsvExport, OutlookNotesSpanLinesAndUnsetDatesAreZeroes)
{
    TContactData &a = Add();
    a.FirstName = "Ann";
    a.Notes = {"a", "say \"b\""};
    a.Sensitivity = "Private";
    a.WorkEmail = "ann@example.com";
    TContactData &b = Add();
    b.FirstName = "Bob";
    b.Sensitivity = "Normal";
    const QString path = Path("o.csv");
    ASSERT_EQ(contacts.ExportToOutlookCSVFile(path), 2);

    const QStringList lines = Lines(path);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[0].startsWith("\"\",\"Ann\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",,,\"\","))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(",\"a")) << lines[0].toStdString();
    EXPECT_EQ(lines[1], "say \"\"b\"\"");
    EXPECT_TRUE(lines[2].startsWith("\",\"\",")) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].endsWith(",\"")) << "empty notes still span two lines";

    const QStringList fields = Fields(lines[0] + lines[1] + lines[2], OutlookCsvLayout());
    ASSERT_EQ(fields.size(), 92);
    EXPECT_EQ(fields[49], "0/0/00");
    EXPECT_EQ(fields[57], "ann@example.com");
    EXPECT_EQ(fields[58], "SMTP");
    EXPECT_EQ(fields[59], "Ann (ann@example.com)");
    EXPECT_EQ(fields[60], "");
    EXPECT_EQ(fields[82], "True");
    EXPECT_EQ(Fields(lines[3] + lines[4], OutlookCsvLayout())[82], "False");

    ASSERT_EQ(contacts.ImportFromOutlookCSVFile(path), 2);
    EXPECT_EQ(At(2).Notes, (QStringList{"a", "say \"b\""}));
    EXPECT_EQ(At(3).Notes, QStringList{""});
    EXPECT_EQ(At(3).Birthday, 0);
}

TEST_F(CsvExport, GoogleMarksThePreferredLocationAndPairsFiveTelephones)
{
    TContactData &c = Add();
    c.FirstName = "Ann";
    c.Preferred = "Personal";
    c.PersonalEmail = "ann@example.com";
    c.HomeCity = "Springfield";
    c.Categories = {"Contacts", "Friends"};
    int n = 0;
    for (auto field : {&TContactData::WorkPhone, &TContactData::HomePhone, &TContactData::OtherPhone,
                       &TContactData::WorkFax, &TContactData::WorkPager, &TContactData::HomeFax,
                       &TContactData::PersonalPager})
        c.*field = QStringLiteral("555-%1").arg(++n);
    const QString path = Path("g.csv");
    ASSERT_EQ(contacts.ExportToGoogleCSVFile(path), 1);
    EXPECT_TRUE(ReadBytes(path).startsWith("\xFF\xFE"));

    const QByteArray bytes = ReadBytes(path);
    const QStringList lines =
        QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData() + 2), (bytes.size() - 2) / 2)
            .split("\r\n");
    const QStringList fields = Fields(lines.mid(1, lines.size() - 2).join(kLineJoinMarker), GoogleCsvLayout());
    ASSERT_EQ(fields.size(), 92);
    EXPECT_EQ(fields[26], "* My Contacts ::: Friends");
    EXPECT_EQ(fields[29], "* Home");
    EXPECT_EQ(fields[58], "* Home");
    EXPECT_EQ(fields[49], "Work");
    const QStringList types{fields[39], fields[41], fields[43], fields[45], fields[47]};
    EXPECT_EQ(types, (QStringList{"Work", "Home", "Other", "Work Fax", "Work Pager"}));

    ASSERT_EQ(contacts.ImportFromGoogleCSVFile(path), 1);
    const TContactData &back = At(1);
    EXPECT_EQ(back.Preferred, "Personal");
    EXPECT_EQ(back.Categories.Entries(), (QStringList{"Contacts", "Friends"}));
    EXPECT_EQ(back.WorkPager, c.WorkPager);
    EXPECT_EQ(back.HomeFax, "") << "the sixth telephone is dropped";
}

TEST_F(CsvExport, BlackBerrySpreadsStreetsOverThreeColumnsAndYahooNamesThePrimary)
{
    TContactData &c = Add();
    c.WorkStreet = "1 \"Main\" St;Suite 4;Floor 2;Desk 9";
    c.Categories = {"Family", "Friends"};
    c.Notes = {"say \"hi\""};
    c.Preferred = "None";
    const QString bb = Path("b.csv"), yahoo = Path("y.csv");
    ASSERT_EQ(contacts.ExportToBlackBerryCSVFile(bb), 1);
    ASSERT_EQ(contacts.ExportToYahooCSVFile(yahoo), 1);

    const QStringList bbLines = Lines(bb);
    ASSERT_EQ(bbLines.size(), 1);
    EXPECT_TRUE(bbLines[0].contains(",\"1 \"\"Main\"\" St\",\"Suite 4\",\"Floor 2\",")) << bbLines[0].toStdString();
    const QStringList bbFields = Fields(bbLines[0], BlackBerryCsvLayout());
    ASSERT_EQ(bbFields.size(), 44);
    EXPECT_EQ(bbFields[31], "say \"\"hi\"\"");
    EXPECT_EQ(bbFields[41], "Family, Friends");

    const QStringList yahooFields = Fields(Lines(yahoo).join(kLineJoinMarker), YahooCsvLayout());
    ASSERT_EQ(yahooFields.size(), 55);
    EXPECT_EQ(yahooFields[5], "Family");
    EXPECT_EQ(yahooFields[15], "mobile");

    ASSERT_EQ(contacts.ImportFromYahooCSVFile(yahoo), 1);
    EXPECT_EQ(At(1).Preferred, "Other");
    ASSERT_EQ(contacts.ImportFromBlackBerryCSVFile(bb), 1);
    EXPECT_EQ(At(2).WorkStreet, "1 \"Main\" St;Suite 4;Floor 2");
    EXPECT_EQ(At(2).Categories.Entries(), (QStringList{"Family", "Friends"}));
}

TEST_F(CsvExport, SkipsContactsNotExportableButCountsThemInProgress)
{
    Add().FirstName = "Ann";
    Add().Exportable = false;
    Add().FirstName = "Cy";
    ASSERT_EQ(contacts.ExportToNokiaCSVFile(Path("n.csv")), 2);
    EXPECT_EQ(progress, (std::vector<std::array<int, 3>>{{0, 2, 0}, {0, 2, 1}, {0, 2, 2}}));
}

TEST_F(CsvExport, AFileThatCannotBeWrittenGivesZeroAndSaysSo)
{
    Add().FirstName = "Ann";
    // Tests run as root, who may write anywhere; a path under a file is refused to anyone.
    const QString path = Write("plain", "x") + "/out.csv";
    for (auto exporter : {&TQorContacts::ExportToNokiaCSVFile, &TQorContacts::ExportToYahooCSVFile,
                          &TQorContacts::ExportToBlackBerryCSVFile, &TQorContacts::ExportToOutlookCSVFile,
                          &TQorContacts::ExportToZeeMapsCSVFile, &TQorContacts::ExportToGoogleEarthKMLFile}) {
        prompts.errors.clear();
        EXPECT_EQ((contacts.*exporter)(path), 0);
        EXPECT_EQ(prompts.errors, QStringList{"Cannot save \"" + path + "\": Not a directory."});
    }
    EXPECT_EQ(At(0).FirstName, "Ann");
    EXPECT_EQ(prompts.busyDepth, 0);
}

} // namespace
