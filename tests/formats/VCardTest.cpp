#include "formats/FormatsFixture.h"

#include "contacts/ContactFields.h"
#include "contacts/SerialDate.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

class VCard : public FormatsTest
{
protected:
    QStringList CardOf(const TContactData &contact)
    {
        const QString path = dir.filePath("one.vcf");
        EXPECT_TRUE(book.WriteContactDataTovCardFile(&contact, path));
        const QByteArray bytes = ReadAll(path);
        EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
        QString text = QString::fromUtf8(bytes.mid(3));
        EXPECT_TRUE(text.endsWith("\r\n"));
        text.chop(2);
        return text.split("\r\n");
    }

    TContactData *Read(const QStringList &lines)
    {
        const QString path = dir.filePath("in.vcf");
        WriteAll(path, lines.join("\r\n").toUtf8());
        TContactData *contact = book.CreateContactData();
        EXPECT_TRUE(book.ReadContactDataFromvCardFile(contact, path));
        return contact;
    }

    static bool ContainsInOrder(const QStringList &card, const QStringList &expected)
    {
        const qsizetype at = card.indexOf(expected.first());
        return at >= 0 && card.mid(at, expected.size()) == expected;
    }
};

TEST_F(VCard, WritesTheDialectsMultiLineAndSpecialForms)
{
    struct Case
    {
        const char *what;
        std::function<void(TContactData &)> fill;
        QStringList lines;
    };
    const Case cases[] = {
        {"multi-line preferred street",
         [](TContactData &c) {
             c.WorkStreet = "Main St 1;Building B";
             c.WorkCity = "Paris";
             c.Preferred = "Work";
         },
         {"ADR;WORK;PREF;ENCODING=QUOTED-PRINTABLE:;;Main St 1=0D=0A=", "Building B;Paris;;;"}},
        {"three-line street",
         [](TContactData &c) { c.HomeStreet = "a;b;c"; },
         {"ADR;HOME;ENCODING=QUOTED-PRINTABLE:;;a=0D=0A=", "b=0D=0A=", "c;;;;"}},
        {"single-line street",
         [](TContactData &c) {
             c.WorkStreet = "Main St 1";
             c.WorkCity = "Paris";
             c.WorkPostalCode = "75001";
             c.WorkCountryRegion = "France";
         },
         {"ADR;WORK:;;Main St 1;Paris;;75001;France"}},
        {"notes", [](TContactData &c) { c.Notes = {"a", "b", "c"}; },
         {"NOTE;ENCODING=QUOTED-PRINTABLE:a=0D=0A=", "b=0D=0A=", "c"}},
        {"single note", [](TContactData &c) { c.Notes = {"a"}; }, {"NOTE;ENCODING=QUOTED-PRINTABLE:a", "REV:20240506T070809Z"}},
        {"gender and birthday",
         [](TContactData &c) {
             c.Gender = "Female";
             c.Birthday = DateToSerial(QDate(1980, 3, 12));
         },
         {"X-WAB-GENDER:1", "BDAY:19800312T000000Z"}},
        {"language of the name from the country",
         [](TContactData &c) {
             c.LastName = "Roy";
             c.Language = "french";
             c.HomeCountryRegion = "Canada";
         },
         {"N;LANGUAGE=fr-CA:Roy;;;"}},
        {"personal mobile alone, work pager alone",
         [](TContactData &c) {
             c.PersonalMobilePhone = "1";
             c.WorkPager = "2";
         },
         {"TEL;CELL;VOICE:1"}},
        {"preferred personal e-mail",
         [](TContactData &c) {
             c.Preferred = "Personal";
             c.WorkEmail = "w@x.org";
             c.PersonalEmail = "p@x.org";
         },
         {"EMAIL;PREF;INTERNET:p@x.org"}},
    };
    for (const Case &c : cases) {
        TContactData *contact = book.CreateContactData();
        c.fill(*contact);
        const QStringList card = CardOf(*contact);
        EXPECT_TRUE(ContainsInOrder(card, c.lines)) << c.what << "\n" << card.join("\n").toStdString();
    }
}

TEST_F(VCard, AContactWithoutDetailsWritesOnlyTheFrame)
{
    TContactData *contact = book.CreateContactData();
    contact->FirstName = "Ann";
    EXPECT_EQ(CardOf(*contact), (QStringList{"BEGIN:VCARD", "VERSION:2.1", "N:;Ann;;", "FN:Ann", "X-WAB-GENDER:0",
                                             "REV:20240506T070809Z", "UID:" + contact->Uid, "END:VCARD"}));
}

TEST_F(VCard, ReadsTheLinesOfOtherWriters)
{
    TContactData *c = Read({
        "BEGIN:VCARD",
        "VERSION:2.1",
        "TEL;TYPE=WORK;TYPE=VOICE:+33 1",
        "URL;WORK:https://example.org:8080/a",
        "NICKNAME:a:b",
        "EMAIL;PREF;INTERNET:first@x.org",
        "EMAIL;INTERNET:second@x.org",
        "BDAY:1980-03-12",
        "X-MS-ANNIVERSARY:not a date",
        "X-WAB-GENDER:7",
        "ORG:Acme",
        "N;LANGUAGE=sr-Cyrl-CS:Last;First;Mid;Dr.;extra",
        "ADR;HOME;PREF:box;ext;Street;Town;State;123;Country",
        "END:VCARD",
    });
    EXPECT_EQ(c->WorkPhone, "+33 1");
    EXPECT_EQ(c->WorkWebsite, "https://example.org:8080/a");
    EXPECT_EQ(c->Nickname, "a:b");
    EXPECT_EQ(c->WorkEmail, "first@x.org");
    EXPECT_EQ(c->PersonalEmail, "second@x.org");
    EXPECT_EQ(SerialToDate(c->Birthday), QDate(1980, 3, 12));
    EXPECT_EQ(c->Anniversary, 0); // an unreadable date leaves the field alone
    EXPECT_EQ(c->Gender, "Unspecified");
    EXPECT_EQ(c->Company, "Acme");
    EXPECT_EQ(c->Department, "");
    EXPECT_EQ(c->Language, "Serbian (Cyrillic)");
    EXPECT_EQ((QStringList{c->LastName, c->FirstName, c->MiddleName, c->Title}),
              (QStringList{"Last", "First", "Mid", "Dr."}));
    EXPECT_EQ(c->Preferred, "Personal");
    EXPECT_EQ((QStringList{c->HomePOBox, c->HomeStreet, c->HomeCity, c->HomeStateProvince, c->HomePostalCode,
                           c->HomeCountryRegion}),
              (QStringList{"box", "Street;ext", "Town", "State", "123", "Country"})); // the extended address is a street line
    EXPECT_EQ(c->Modified, DateTimeToSerial(clock.NowUtc()));
}

TEST_F(VCard, ContinuationLinesStayWithTheirProperty)
{
    TContactData *c = Read({
        "BEGIN:VCARD",
        "NOTE;ENCODING=QUOTED-PRINTABLE:at 9:00=0D=0A=",
        "Lunch at 12:30 with Bob=0D=0A=",
        "last",
        "PHOTO;ENCODING=BASE64;TYPE=JPEG:",
        "/9j/4AAQSkZJRgABAQ",
        "AAAQABAAD",
        "ADR;ENCODING=QUOTED-PRINTABLE:;;one=0D=0A=",
        "two;City;;;",
        "END:VCARD",
    });
    EXPECT_EQ(c->Notes, (QStringList{"at 9:00", "Lunch at 12:30 with Bob", "last"}));
    EXPECT_EQ(c->OtherStreet, "one;two");
    EXPECT_EQ(c->OtherCity, "City");
}

TEST_F(VCard, QuotedPrintableIsDecodedOnlyWhereAnEncoderWroteIt)
{
    struct Case
    {
        QStringList lines;
        QStringList notes;
    };
    const Case cases[] = {
        // The program's own cards mark raw text as quoted-printable.
        {{"NOTE;ENCODING=QUOTED-PRINTABLE:id=12, x=41=0D=0A=", "Zoë=0D=0A=", "c"}, {"id=12, x=41", "Zoë", "c"}},
        {{"NOTE;ENCODING=QUOTED-PRINTABLE:caf=C3=A9 =3D ok=0D=0Aend"}, {"café = ok", "end"}},
        {{"NOTE;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:caf=E9 long=", "er"}, {"café longer"}},
        // A value ending in "=" by mistake does not swallow the next property.
        {{"NOTE;ENCODING=QUOTED-PRINTABLE:x =", "TITLE:Boss"}, {"x ="}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.lines.join(" | ").toStdString());
        book.ClearContactDataList();
        EXPECT_EQ(Read(QStringList{"BEGIN:VCARD", "VERSION:2.1"} + c.lines + QStringList{"END:VCARD"})->Notes, c.notes);
    }
}

TEST_F(VCard, ReadingAFileIntoOneContactTakesItsFirstCardOnly)
{
    TContactData *c = Read({"BEGIN:VCARD", "N:First;Ann", "TEL;HOME:1", "END:VCARD", "BEGIN:VCARD", "N:Second;Bob",
                            "EMAIL:b@x.org", "END:VCARD"});
    EXPECT_EQ((QStringList{c->LastName, c->FirstName, c->HomePhone, c->WorkEmail}),
              (QStringList{"First", "Ann", "1", ""}));
}

TEST_F(VCard, GroupCardsAddNoContact)
{
    const QString path = dir.filePath("group.vcf");
    WriteAll(path, "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:group\r\nFN:Friends\r\nMEMBER:urn:uuid:1\r\nEND:VCARD\r\n"
                   "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ann Lee\r\nEND:VCARD\r\n");
    EXPECT_EQ(book.ImportFromvCardFile(path), 1);
    ASSERT_EQ(book.ContactDataList().size(), 1u);
    EXPECT_EQ((QStringList{book.ContactDataList()[0]->FirstName, book.ContactDataList()[0]->LastName}),
              (QStringList{"Ann", "Lee"}));
}

TEST_F(VCard, RejectsWhatIsNotACard)
{
    TContactData *contact = book.CreateContactData();
    const QString path = dir.filePath("x.vcf");
    WriteAll(path, "VERSION:2.1\r\nBEGIN:VCARD\r\nFN:x\r\nEND:VCARD\r\n");
    EXPECT_FALSE(book.ReadContactDataFromvCardFile(contact, path));
    EXPECT_FALSE(book.ReadContactDataFromvCardFile(contact, dir.filePath("missing.vcf")));
    EXPECT_FALSE(book.ReadContactDataFromvCardFile(nullptr, path));
    EXPECT_FALSE(book.WriteContactDataTovCardFile(nullptr, path));
    EXPECT_EQ(contact->FirstName, "");
}

void FillEveryCarriedField(TContactData &c)
{
    c.Title = "Dr.", c.FirstName = "Émile", c.MiddleName = "J", c.LastName = "Zoé", c.Nickname = "Em";
    c.Language = "French", c.Preferred = "Other";
    c.Company = "Acme", c.Department = "R&D", c.JobTitle = "Boss", c.Role = "Lead";
    c.WorkStreet = "1 Rue;Bât B", c.WorkPOBox = "BP 1", c.WorkCity = "Québec", c.WorkPostalCode = "G1",
    c.WorkStateProvince = "QC", c.WorkCountryRegion = "Canada";
    c.WorkPhone = "+1 418", c.WorkMobilePhone = "+1 419", c.WorkPager = "+1 420", c.WorkEmail = "w@x.ca";
    c.WorkWebsite = "https://w.ca/x";
    c.HomeStreet = "2 Home", c.HomePOBox = "9", c.HomeCity = "Lévis", c.HomePostalCode = "G2",
    c.HomeStateProvince = "QC", c.HomeCountryRegion = "Canada";
    c.HomePhone = "+1 500", c.PersonalMobilePhone = "+1 501", c.PersonalPager = "+1 502", c.PersonalEmail = "h@x.ca";
    c.PersonalIM = "im:me", c.PersonalWebsite = "http://h.ca";
    c.Gender = "Male", c.Birthday = DateToSerial(QDate(1970, 1, 2)), c.SignificantOther = "Zoë";
    c.Anniversary = DateToSerial(QDate(2000, 6, 7));
    c.OtherStreet = "x;y;z", c.OtherPOBox = "8", c.OtherCity = "Oslo", c.OtherPostalCode = "0150",
    c.OtherStateProvince = "", c.OtherCountryRegion = "Norway";
    c.OtherPhone = "+47 1", c.OtherMobilePhone = "+47 2", c.OtherPager = "+47 3", c.OtherEmail = "o@x.no";
    c.OtherWebsite = "ftp://o.no";
    c.Notes = {"at 10:30", "ligne deux: ça", "three"};
}

TEST_F(VCard, EveryCarriedFieldSurvivesAFileRoundTrip)
{
    TContactData *original = book.CreateContactData();
    FillEveryCarriedField(*original);
    const TDateTime modified = original->Modified;
    book.CreateContactData()->Exportable = false;
    const QString path = dir.filePath("all.vcf");
    ASSERT_EQ(book.ExportTovCardFile(path), 1);

    TQorContacts other;
    other.SetClock(clock);
    other.SetPrompts(prompts);
    ASSERT_EQ(other.ImportFromvCardFile(path), 1);
    TContactData copy = *other.ContactDataList().front();
    EXPECT_EQ(copy.Created, modified);
    // The fields cards do not carry are those a fresh record has.
    copy.Created = original->Created, copy.Modified = original->Modified, copy.Accessed = original->Accessed;
    for (const ContactField &field : ContactFields())
        std::visit([&](auto member) { EXPECT_TRUE(copy.*member == original->*member) << field.name.data(); },
                   field.member);
}

TEST_F(VCard, Version3CardsAreEscapedFoldedAndCarryEveryField)
{
    TContactData *c = book.CreateContactData();
    c->FirstName = "Ann", c->LastName = "O'Neil", c->Suffix = "Jr.", c->WorkFax = "+1 2", c->HomeFax = "+1 3";
    c->PersonalEmail = "a@home.example", c->WorkEmail = "a@work.example", c->Preferred = "Personal";
    c->Categories.Add("Friends, close"), c->Categories.Add("Club");
    c->HomeStreet = "1 Main;Flat 2", c->HomeCity = "Cork";
    c->Notes = {"a,b;c\\d", "", QString(30, QChar(0x00E9)) + QString(30, u'x')};
    const QString path = dir.filePath("v3.vcf");
    ASSERT_TRUE(book.WriteContactDataTovCard3File(c, path));
    const QByteArray bytes = ReadAll(path);
    EXPECT_TRUE(bytes.startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\nN:O'Neil;Ann;;;Jr.\r\nFN:Ann O'Neil\r\n"));
    QStringList lines = QString::fromUtf8(bytes).split("\r\n");
    for (const QString &line : lines)
        EXPECT_LE(line.toUtf8().size(), 75) << line.toStdString();
    for (const char *line : {"TEL;TYPE=WORK,FAX:+1 2", "TEL;TYPE=HOME,FAX:+1 3",
                             "EMAIL;TYPE=INTERNET,WORK:a@work.example", "EMAIL;TYPE=INTERNET,HOME,PREF:a@home.example",
                             "ADR;TYPE=HOME,PREF:;;1 Main\\nFlat 2;Cork;;;", "CATEGORIES:Club,Friends\\, close"})
        EXPECT_TRUE(lines.contains(line)) << line;
    const QString unfolded = QString::fromUtf8(bytes).replace("\r\n ", "");
    EXPECT_TRUE(unfolded.contains("\r\nNOTE:a\\,b\\;c\\\\d\\n\\n" + QString(30, QChar(0x00E9)) + QString(30, u'x') + "\r\n"));
}

TEST_F(VCard, EveryCarriedFieldSurvivesAVersion3RoundTrip)
{
    TContactData *original = book.CreateContactData();
    FillEveryCarriedField(*original);
    original->Suffix = "III", original->WorkFax = "+1 1", original->HomeFax = "+1 2", original->OtherFax = "+1 3";
    original->WorkIM = "xmpp:w@x", original->OtherIM = "o-im", original->Categories.Add("Friends, close");
    original->Categories.Add("VIP");
    const QString path = dir.filePath("all3.vcf");
    ASSERT_EQ(book.ExportTovCard3File(path), 1);

    TQorContacts other;
    other.SetClock(clock);
    other.SetPrompts(prompts);
    ASSERT_EQ(other.ImportFromvCardFile(path), 1);
    TContactData copy = *other.ContactDataList().front();
    copy.Created = original->Created, copy.Modified = original->Modified, copy.Accessed = original->Accessed;
    for (const ContactField &field : ContactFields())
        std::visit([&](auto member) { EXPECT_TRUE(copy.*member == original->*member) << field.name.data(); },
                   field.member);
}

TEST_F(VCard, EveryExportWritesTheUid)
{
    TContactData *c = book.CreateContactData();
    c->FirstName = "Ann";
    const QString uid = c->Uid;
    ASSERT_FALSE(uid.isEmpty());
    const struct
    {
        const char *what;
        int (TQorContacts::*write)(const QString &);
        bool folder;
    } cases[] = {
        {"2.1 file", &TQorContacts::ExportTovCardFile, false},
        {"3.0 file", &TQorContacts::ExportTovCard3File, false},
        {"2.1 folder", &TQorContacts::ExportTovCardFolder, true},
        {"3.0 folder", &TQorContacts::ExportTovCard3Folder, true},
    };
    for (const auto &w : cases) {
        const QString target = dir.filePath(QString::fromLatin1(w.what));
        if (w.folder) {
            ASSERT_TRUE(QDir().mkdir(target));
        }
        ASSERT_EQ((book.*w.write)(target), 1) << w.what;
        const QByteArray bytes = ReadAll(w.folder ? target + "/Ann.vcf" : target);
        EXPECT_TRUE(bytes.contains("\r\nUID:" + uid.toLatin1() + "\r\nEND:VCARD\r\n")) << w.what;
    }
}

// A card's UID names the contact unless the book already has a contact of that
// Uid (or took it from an earlier card of the file).
TEST_F(VCard, ImportTakesTheCardUidWhenNoOtherContactHasIt)
{
    const QString held = book.CreateContactData()->Uid;
    const QString path = dir.filePath("uids.vcf");
    QByteArray text;
    for (const QByteArray &uid : {QByteArray("UID:card-1"), "UID:" + held.toLatin1(), QByteArray("UID:card-1"),
                                  QByteArray(), QByteArray("UID:") + QByteArray(300, 'x'), QByteArray("UID:a\\nb")})
        text += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:x\r\n" + (uid.isEmpty() ? QByteArray() : uid + "\r\n")
                + "END:VCARD\r\n";
    WriteAll(path, text);
    ASSERT_EQ(book.ImportFromvCardFile(path), 6);
    QSet<QString> uids;
    for (const auto &contact : book.ContactDataList()) {
        EXPECT_FALSE(contact->Uid.isEmpty());
        EXPECT_FALSE(contact->Uid.contains(u'\n'));
        EXPECT_LE(contact->Uid.size(), 255);
        uids.insert(contact->Uid);
    }
    EXPECT_EQ(uids.size(), 7) << "every contact has its own";
    EXPECT_EQ(book.ContactDataList()[0]->Uid, held);
    EXPECT_EQ(book.ContactDataList()[1]->Uid, "card-1");
}

TEST_F(VCard, FileOfManyCardsImportsEachAndReportsProgress)
{
    QList<int> positions;
    book.OnProgress = [&](TQorContacts *, int min, int max, int position) {
        EXPECT_EQ(min, 1);
        EXPECT_EQ(max, 7);
        positions.append(position);
    };
    const QString path = dir.filePath("two.vcf");
    WriteAll(path, "junk\r\nBEGIN:VCARD\r\nFN:a\r\nN:A\r\n\r\nBEGIN:VCARD\r\nN:B\nEND:VCARD");
    EXPECT_EQ(book.ImportFromvCardFile(path), 2);
    ASSERT_EQ(book.ContactDataList().size(), 2u);
    EXPECT_EQ(book.ContactDataList()[0]->LastName, "A");
    EXPECT_EQ(book.ContactDataList()[1]->LastName, "B");
    EXPECT_EQ(positions, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(prompts.busyDepth, 0);

    EXPECT_EQ(book.ImportFromvCardFile(dir.filePath("none.vcf")), 0);
}

TEST_F(VCard, FolderImportSkipsNonCardsAndKeepsTheWorkingDirectory)
{
    const QString folder = dir.filePath("cards");
    ASSERT_TRUE(QDir().mkpath(folder));
    WriteAll(folder + "/a.vcf", "BEGIN:VCARD\r\nN:A\r\nEND:VCARD\r\n");
    WriteAll(folder + "/.hidden.vcf", "\xEF\xBB\xBF" "BEGIN:VCARD\r\nN:Hé\r\nEND:VCARD\r\n");
    WriteAll(folder + "/broken.vcf", "not a card");
    WriteAll(folder + "/other.txt", "BEGIN:VCARD\r\nN:X\r\nEND:VCARD\r\n");
    int errors = 0;
    book.OnError = [&](TQorContacts *, const QString &, const QString &, const QString &, int count) {
        errors = count;
    };
    const QString before = QDir::currentPath();

    EXPECT_EQ(book.ImportFromvCardFolder(folder), 2);
    EXPECT_EQ(QDir::currentPath(), before);
    ASSERT_EQ(book.ContactDataList().size(), 2u);
    EXPECT_EQ(book.SkippedFileCount(), 1);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(book.ContactDataList()[0]->LastName, "Hé");
    EXPECT_EQ(book.ImportFromvCardFolder(dir.filePath("missing")), 0);
}

// Text before a card's start line on the same line must not lose the card.
TEST_F(VCard, CardsAfterTextOnTheirStartLineAreRead)
{
    const struct
    {
        const char *what;
        QByteArray text;
        QStringList names;
    } cases[] = {
        {"text before the first card", "junk BEGIN:VCARD\r\nN:A\r\nEND:VCARD\r\n", {"A"}},
        {"two files joined without a line end",
         "BEGIN:VCARD\r\nN:A\r\nEND:VCARDBEGIN:VCARD\r\nN:B\r\nEND:VCARD\r\n", {"A", "B"}},
        {"text after a card ended", "BEGIN:VCARD\r\nN:A\r\nEND:VCARD\r\n<br>begin:vcard\r\nN:B\r\nEND:VCARD",
         {"A", "B"}},
        {"inside a card such a line is a value",
         "BEGIN:VCARD\r\nN:A\r\nNOTE:pasted BEGIN:VCARD\r\nEND:VCARD\r\n", {"A"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        book.ClearContactDataList();
        const QString path = dir.filePath("joined.vcf");
        WriteAll(path, c.text);
        EXPECT_EQ(book.ImportFromvCardFile(path), c.names.size());
        QStringList names;
        for (const auto &contact : book.ContactDataList())
            names.append(contact->LastName);
        EXPECT_EQ(names, c.names);
    }
    EXPECT_EQ(book.ContactDataList().front()->Notes, QStringList{"pasted BEGIN:VCARD"});
}

// A fourth e-mail, a fourth address, a telephone beyond the record's fields.
const QByteArray kCrowdedCard = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Crowd;Ann\r\n"
                                "EMAIL;TYPE=WORK:w@x.org\r\nEMAIL;TYPE=HOME:h@x.org\r\nEMAIL:o@x.org\r\n"
                                "EMAIL;TYPE=INTERNET,HOME:h2@x.org\r\n"
                                "ADR;TYPE=WORK:;;1 Work St;Paris;;75001;France\r\nADR;TYPE=HOME:;;2 Home St;Lyon;;;\r\n"
                                "ADR:;;3 Other St;Nice;;;\r\nADR;TYPE=HOME:;;4 Beach Rd;Sète;;34200;France\r\n"
                                "TEL:1\r\nTEL:2\r\nTEL:3\r\nTEL:4\r\nitem1.TEL:+33 6 00\r\nitem1.X-ABLabel:Boat\r\n"
                                "NOTE:Met at the fair\r\nEND:VCARD\r\n";

TEST_F(VCard, ValuesWithoutAFieldOfTheirOwnGoToTheNotesWithOneWarning)
{
    const QString path = dir.filePath("crowded.vcf");
    WriteAll(path, kCrowdedCard + kCrowdedCard);
    ASSERT_EQ(book.ImportFromvCardFile(path), 2);
    const TContactData &c = *book.ContactDataList().front();
    EXPECT_EQ(c.Notes, (QStringList{"Met at the fair", "E-mail (home): h2@x.org",
                                    "Address (home): 4 Beach Rd, Sète, 34200, France", "Telephone: 4",
                                    "Boat: +33 6 00"}));
    EXPECT_EQ((QStringList{c.WorkEmail, c.PersonalEmail, c.OtherEmail, c.OtherStreet, c.OtherPhone, c.HomePhone,
                           c.WorkPhone}),
              (QStringList{"w@x.org", "h@x.org", "o@x.org", "3 Other St", "1", "2", "3"}));
    EXPECT_EQ(prompts.warnings, QStringList{"8 values had no field of their own and were added to the notes"});

    // A folder's files share one warning too; one value is counted alone.
    prompts.warnings.clear();
    const QString folder = dir.filePath("crowd");
    ASSERT_TRUE(QDir().mkpath(folder));
    WriteAll(folder + "/a.vcf", kCrowdedCard);
    WriteAll(folder + "/b.vcf", "BEGIN:VCARD\r\nN:B\r\nADR;WORK:;;1;;;;\r\nADR;HOME:;;2;;;;\r\nADR:;;3;;;;\r\n"
                                "ADR:;;4;;;;\r\nEND:VCARD\r\n");
    EXPECT_EQ(book.ImportFromvCardFolder(folder), 2);
    EXPECT_EQ(prompts.warnings, QStringList{"5 values had no field of their own and were added to the notes"});
    prompts.warnings.clear();
    EXPECT_TRUE(book.ReadContactDataFromvCardFile(book.CreateContactData(), folder + "/b.vcf"));
    EXPECT_EQ(prompts.warnings, QStringList{"1 value had no field of its own and was added to the notes"});
}

TEST_F(VCard, CategoriesReadJoinTheCollectionsList)
{
    book.SetCategories({"Family"});
    const QString path = dir.filePath("categories.vcf");
    WriteAll(path, "BEGIN:VCARD\r\nVERSION:3.0\r\nN:A\r\nCATEGORIES:Friends,family,Chess club\r\nEND:VCARD\r\n"
                   "BEGIN:VCARD\r\nVERSION:2.1\r\nN:B\r\nCATEGORIES:Work;Friends\r\nEND:VCARD\r\n");
    ASSERT_EQ(book.ImportFromvCardFile(path), 2);
    EXPECT_EQ(book.Categories(), (QStringList{"Family", "Chess club", "Friends", "Work"}));

    const QString folder = dir.filePath("categories");
    ASSERT_TRUE(QDir().mkpath(folder));
    WriteAll(folder + "/c.vcf", "BEGIN:VCARD\r\nN:C\r\nCATEGORIES:Neighbours\r\nEND:VCARD\r\n");
    EXPECT_EQ(book.ImportFromvCardFolder(folder), 1);
    EXPECT_TRUE(book.Categories().contains("Neighbours"));
}

TEST_F(VCard, FolderExportNamesFilesSafelyAndNeverOverwritesASibling)
{
    for (const char *name : {"Ann", "Ann", "../evil/x", ""})
        book.CreateContactData()->FirstName = QString::fromUtf8(name);
    const QString folder = dir.filePath("out");
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(book.ExportTovCardFolder(folder), 4);
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    EXPECT_EQ(names, (QStringList{".._evil_x.vcf", "Ann (2).vcf", "Ann.vcf", "Contact.vcf"}));
    EXPECT_EQ(book.ExportTovCardFolder(dir.filePath("missing")), 0);

    TQorContacts other;
    other.SetClock(clock);
    other.SetPrompts(prompts);
    EXPECT_EQ(other.ImportFromvCardFolder(folder), 4);
}

// A long name in a script of several bytes a character still gives a file.
TEST_F(VCard, FolderExportCutsLongNamesToWhatAFileSystemTakes)
{
    for (const QString &name : {QString(150, QChar(0x65E5)), QString::fromUtf8("😀").repeated(120)})
        book.CreateContactData()->FirstName = name;
    const QString folder = dir.filePath("long");
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(book.ExportTovCardFolder(folder), 2);
    EXPECT_TRUE(prompts.errors.isEmpty());
    for (const QString &name : QDir(folder).entryList(QDir::Files)) {
        EXPECT_LE(name.toUtf8().size(), 255);
        EXPECT_FALSE(name.contains(QChar(QChar::ReplacementCharacter)));
    }
}

TEST_F(VCard, ExportToAnUnwritablePlaceSaysCannotSaveAndWhy)
{
    book.CreateContactData()->FirstName = "Ann";
    // Tests run as root, who may write anywhere; a path under a file is refused to anyone.
    WriteAll(dir.filePath("plain"), "x");
    const QString path = dir.filePath("plain/x.vcf");
    EXPECT_EQ(book.ExportTovCardFile(path), 0);
    EXPECT_EQ(prompts.errors, QStringList{"Cannot save \"" + path + "\": Not a directory."});
}

// A folder that refuses every file says so once, not once per contact.
TEST_F(VCard, FolderExportsThatFailSayItOnce)
{
    for (const char *name : {"Ann", "Bob", "Cy"})
        book.CreateContactData()->FirstName = QString::fromLatin1(name);
    const QString folder = dir.filePath("blocked");
    for (const char *name : {"Ann", "Bob", "Cy"})
        for (const char *suffix : {".vcf", ".ldif"})
            ASSERT_TRUE(QDir().mkpath(folder + "/" + name + suffix)); // a folder where each file would go
    using Export = int (TQorContacts::*)(const QString &);
    for (Export folderExport : {&TQorContacts::ExportTovCardFolder, &TQorContacts::ExportTovCard3Folder,
                                &TQorContacts::ExportToLDIFFolder}) {
        prompts.errors.clear();
        EXPECT_EQ((book.*folderExport)(folder), 0);
        ASSERT_EQ(prompts.errors.size(), 1);
        EXPECT_TRUE(prompts.errors[0].startsWith("Cannot save \"" + folder + "/Ann."))
            << prompts.errors[0].toStdString();
        EXPECT_TRUE(prompts.errors[0].endsWith(": Is a directory. 3 files could not be saved in all."))
            << prompts.errors[0].toStdString();
    }
    // One failure among good files: the others are written, the one is named.
    ASSERT_TRUE(QDir(folder + "/Ann.vcf").removeRecursively() && QDir(folder + "/Cy.vcf").removeRecursively());
    prompts.errors.clear();
    EXPECT_EQ(book.ExportTovCardFolder(folder), 2);
    EXPECT_EQ(prompts.errors, QStringList{"Cannot save \"" + folder + "/Bob.vcf\": Is a directory."});
}

// Large files are read in two halves at once; the contacts must still come in
// the file's order, with group cards and empty cards left out wherever they are.
TEST_F(VCard, LargeFileKeepsTheOrderOfItsCards)
{
    QByteArray text;
    QStringList expected;
    for (int i = 0; i < 6000; ++i) {
        if (i % 997 == 0)
            text += "BEGIN:VCARD\r\nKIND:group\r\nFN:Group\r\nEND:VCARD\r\n";
        if (i % 1499 == 0)
            text += "BEGIN:VCARD\r\n\r\nEND:VCARD\r\n";
        const QString name = QStringLiteral("Name%1").arg(i);
        text += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:" + name.toUtf8() + ";;;;\r\nNOTE:a\\nb\r\nCATEGORIES:x,y\r\nEND:VCARD\r\n";
        expected.append(name);
    }
    const QString path = dir.filePath("large.vcf");
    WriteAll(path, text);
    book.CreateContactData()->LastName = "Kept";
    ASSERT_EQ(book.ImportFromvCardFile(path), 6000);
    QStringList names;
    for (const auto &contact : book.ContactDataList())
        names.append(contact->LastName);
    EXPECT_EQ(names, QStringList{"Kept"} + expected);
    EXPECT_EQ(book.ContactDataList().back()->Notes, (QStringList{"a", "b"}));
}

} // namespace
