#include "formats/FormatsFixture.h"

#include "contacts/SerialDate.h"

#include <QDir>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

// The folders in tests/fixtures/folders, copied with each kind of line end and
// with or without a blank line at the end of every file.
struct Layout
{
    const char *name;
    QByteArray lineEnd;
    bool blankLineAtEnd;
};

const Layout kLayouts[] = {
    {"CRLF", "\r\n", false}, {"CRLF_BlankLineAtEnd", "\r\n", true}, {"LF", "\n", false},
    {"LF_BlankLineAtEnd", "\n", true}, {"CR", "\r", false},         {"CR_BlankLineAtEnd", "\r", true},
};

void PrintTo(const Layout &layout, std::ostream *out)
{
    *out << layout.name;
}

class FolderImport : public FormatsTest, public ::testing::WithParamInterface<Layout>
{
protected:
    QString CopyFixtures(const QString &format)
    {
        const QString folder = dir.filePath(format);
        EXPECT_TRUE(QDir().mkpath(folder));
        const QDir fixtures(Fixture("folders/" + format));
        for (const QString &name : fixtures.entryList(QDir::Files)) {
            QByteArray text = ReadAll(fixtures.filePath(name));
            text.replace("\n", GetParam().lineEnd);
            if (GetParam().blankLineAtEnd)
                text += GetParam().lineEnd;
            WriteAll(folder + "/" + name, text);
        }
        book.OnError = [this](TQorContacts *, const QString &context, const QString &, const QString &, int) {
            skipped.append(QFileInfo(context).fileName());
        };
        return folder;
    }

    const TContactData &Named(const QString &firstName) const
    {
        for (const auto &contact : book.ContactDataList())
            if (contact->FirstName == firstName)
                return *contact;
        ADD_FAILURE() << "no contact " << firstName.toStdString();
        static const TContactData none;
        return none;
    }

    QStringList Names() const
    {
        QStringList names;
        for (const auto &contact : book.ContactDataList())
            names.append(book.GetDisplayNameFromContactData(contact.get(), dtFirstLastName));
        return names;
    }

    QStringList skipped;
};

// Every entry of every file is a contact of its own: a second person's company,
// telephone or birthday never ends up on the first.
TEST_P(FolderImport, LdifEveryEntryOfEveryFile)
{
    EXPECT_EQ(book.ImportFromLDIFFolder(CopyFixtures("ldif")), 3);
    EXPECT_EQ(Names(), (QStringList{"Rosa Diaz", "Tom Berg", "Jane"}));
    const TContactData &rosa = Named("Rosa"), &tom = Named("Tom");
    EXPECT_EQ((QStringList{rosa.Company, rosa.WorkPhone, rosa.WorkEmail, rosa.WorkCity, rosa.HomePhone}),
              (QStringList{"Acme", "+1 555 0101", "rosa@acme.example", "Springfield", ""}));
    EXPECT_EQ(rosa.Notes, QStringList{"Likes tea"});
    EXPECT_EQ(SerialToDate(rosa.Birthday), QDate(1980, 5, 17));
    EXPECT_EQ((QStringList{tom.Company, tom.WorkPhone, tom.HomePhone, tom.PersonalEmail, tom.HomeCity}),
              (QStringList{"", "", "+1 555 0202", "tom@home.example", "Shelbyville"}));
    EXPECT_TRUE(tom.Notes.isEmpty());
    EXPECT_EQ(tom.Birthday, 0);
    EXPECT_EQ(Named("Jane").LastName, "");
    EXPECT_EQ(book.SkippedFileCount(), 1);
    EXPECT_EQ(skipped, QStringList{"not-ldif.ldif"});
}

TEST_P(FolderImport, VCardEveryCardOfEveryFile)
{
    EXPECT_EQ(book.ImportFromvCardFolder(CopyFixtures("vcard")), 4);
    EXPECT_EQ(Names(), (QStringList{"Jane", "Rosa Diaz", "Tom Berg", "Uma Chen"}));
    EXPECT_EQ(Named("Rosa").Company, "Acme");
    EXPECT_EQ(Named("Tom").Company, "");
    EXPECT_EQ(Named("Uma").Notes, QStringList{"Met at the fair"});
    EXPECT_EQ(skipped, QStringList{"not-a-card.vcf"});
}

INSTANTIATE_TEST_SUITE_P(LineEnds, FolderImport, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<Layout> &info) { return std::string(info.param.name); });

} // namespace
