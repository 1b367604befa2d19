// Crafted vCard, LDIF and .contact files, made here, each read in a child
// process whose memory growth is measured: every one must end in an error that
// names the bound, or in a bounded result, and leave the book as it was.

#include "FormatsFixture.h"
#include "fakes/ChildMemory.h"
#include "online/JsonText.h"
#include "support/ReadLimits.h"

#include <QDir>

#include <sys/stat.h>

#include <functional>

namespace cardolin::testing {
namespace {

enum class Reader { VCard, Ldif, WindowsContactsFolder };

struct HostileFile
{
    const char *name;
    Reader reader;
    std::function<QByteArray()> make;
    int added;                // contacts the import adds
    const char *error;        // a piece of the error shown, or nullptr for none
};

QByteArray Repeat(const QByteArray &piece, qsizetype totalBytes)
{
    return piece.repeated(totalBytes / piece.size());
}

const qsizetype kMiB = qsizetype(1) << 20;

// One record more than a file may hold.
QByteArray PastTheBound(const QByteArray &record)
{
    return record.repeated(limits::kMaxRecords + 1);
}

const HostileFile kHostileFiles[] = {
    {"vCard start lines alone", Reader::VCard, [] { return Repeat("BEGIN:VCARD\r\n", 12 * kMiB); }, 0, nullptr},
    {"vCard cards opened and closed empty", Reader::VCard,
     [] { return Repeat("BEGIN:VCARD\r\nEND:VCARD\r\n", 12 * kMiB); }, 0, nullptr},
    {"LDIF entry names alone, more than the bound", Reader::Ldif, [] { return Repeat("dn:\n", 12 * kMiB); }, 0,
     "more than 2000000 records"},
    {"LDIF with more records than the bound", Reader::Ldif, [] { return Repeat("dn: a\nsn: b\n", 25 * kMiB); }, 0,
     "more than 2000000 records"},
    {"vCard with one card of too many properties", Reader::VCard,
     [] { return "BEGIN:VCARD\r\n" + Repeat("NOTE:a\r\n", 6000 * 8) + "END:VCARD\r\n"; }, 0,
     "more than 5000 fields in one record"},
    {"vCard with one line longer than a value may be", Reader::VCard,
     [] { return "BEGIN:VCARD\r\nNOTE:" + QByteArray(17 * kMiB, 'x') + "\r\nEND:VCARD\r\n"; }, 0,
     "larger than 16 MiB"},
    {"vCard with a folded value longer than a value may be", Reader::VCard,
     [] { return "BEGIN:VCARD\r\nNOTE:a\r\n" + Repeat(" " + QByteArray(4095, 'x') + "\r\n", 17 * kMiB) + "END:VCARD\r\n"; },
     0, "larger than 16 MiB"},
    {"vCard with more empty cards than the bound", Reader::VCard, [] { return PastTheBound("BEGIN:VCARD\n"); }, 0,
     "more than 2000000 records"},
    {"vCard with more opened and closed cards than the bound", Reader::VCard,
     [] { return PastTheBound("BEGIN:VCARD\nEND:VCARD\n"); }, 0, "more than 2000000 records"},
    {"vCard card followed by millions of empty lines", Reader::VCard,
     [] { return "BEGIN:VCARD\r\nN:a\r\n" + Repeat("\r\n", 12 * kMiB); }, 1, nullptr},
    {"vCard card followed by millions of CR line ends", Reader::VCard,
     [] { return "BEGIN:VCARD\rN:a\r" + Repeat("\r", 12 * kMiB); }, 1, nullptr},
    {".contact nested deeper than elements may be", Reader::WindowsContactsFolder,
     [] { return "<c:contact>" + Repeat("<a>", 3 * 1000) + Repeat("</a>", 4 * 1000) + "</c:contact>"; }, 0, nullptr},
    {".contact larger than a contact's file may be", Reader::WindowsContactsFolder,
     [] { return "<c:contact><c:Notes>" + QByteArray(17 * kMiB, 'x') + "</c:Notes></c:contact>"; }, 0, nullptr},
};

class ReadBounds : public FormatsTest
{
protected:
    int Import(Reader reader, const QString &path)
    {
        switch (reader) {
        case Reader::VCard:
            return book.ImportFromvCardFile(path);
        case Reader::Ldif:
            return book.ImportFromLDIFFile(path);
        case Reader::WindowsContactsFolder:
            return book.ImportFromWindowsContactsFolder(QFileInfo(path).path());
        }
        return -1;
    }
};

TEST_F(ReadBounds, HostileFilesEndInAClearErrorOrABoundedResult)
{
    for (const HostileFile &hostile : kHostileFiles) {
        SCOPED_TRACE(hostile.name);
        const QString folder = dir.filePath(QString::number(&hostile - kHostileFiles));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString path = folder + (hostile.reader == Reader::VCard ? "/hostile.vcf"
                                       : hostile.reader == Reader::Ldif ? "/hostile.ldif"
                                                                       : "/hostile.contact");
        qint64 size = 0;
        {
            const QByteArray bytes = hostile.make();
            size = bytes.size();
            WriteAll(path, bytes);
        }
        book.ClearContactDataList();
        book.CreateContactData()->LastName = QStringLiteral("Kept");
        const ChildRun run = RunInChild([&] {
            const int added = Import(hostile.reader, path);
            const bool errorAsExpected =
                hostile.error ? prompts.errors.size() == 1 && prompts.errors[0].contains(QLatin1StringView(hostile.error))
                              : prompts.errors.isEmpty();
            const bool kept = book.ContactDataList().size() == size_t(1 + added)
                              && book.ContactDataList().front()->LastName == QLatin1StringView("Kept");
            return (added == hostile.added ? 0 : 1) | (errorAsExpected ? 0 : 2) | (kept ? 0 : 4);
        });
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0) << "1: count, 2: error, 4: book changed";
        // The sanitizers' own bookkeeping rides on every allocation, hence the margin.
        EXPECT_LT(run.growthBytes, 5 * size + 160 * kMiB) << run.growthBytes / kMiB << " MiB for " << size / kMiB << " MiB";
    }
}

// Runs the work in a child that may grow its address space by ceiling bytes at
// most and is stopped after seconds: a reader that follows a device or waits
// on a FIFO ends there, not in the test runner.
ChildRun RunBounded(qint64 ceiling, unsigned seconds, const std::function<int()> &work)
{
    return RunInChild([&] {
        alarm(seconds);
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly))
            return 99;
        const qint64 size = statm.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
        const rlimit limit{rlim_t(size + ceiling), rlim_t(size + ceiling)};
        setrlimit(RLIMIT_AS, &limit);
        return work();
    });
}

// Names that point at something other than a regular file: a device that
// never ends (through a link) and a FIFO that nobody writes.
TEST_F(ReadBounds, ImportsReadOnlyRegularFiles)
{
    using Import = int (TQorContacts::*)(const QString &);
    const struct
    {
        const char *what, *suffix;
        Import import;
        bool folder;
        QByteArray good; // a readable neighbour in the folder
    } imports[] = {
        {"vCard folder", ".vcf", &TQorContacts::ImportFromvCardFolder, true, "BEGIN:VCARD\r\nN:A\r\nEND:VCARD\r\n"},
        {"LDIF folder", ".ldif", &TQorContacts::ImportFromLDIFFolder, true, "dn: cn=A\nsn: A\n"},
        {".contact folder", ".contact", &TQorContacts::ImportFromWindowsContactsFolder, true,
         "<c:contact xmlns:c=\"http://schemas.microsoft.com/Contact\"><c:NameCollection><c:Name>"
         "<c:FamilyName>A</c:FamilyName></c:Name></c:NameCollection></c:contact>"},
        {"vCard file", ".vcf", &TQorContacts::ImportFromvCardFile, false, {}},
        {"LDIF file", ".ldif", &TQorContacts::ImportFromLDIFFile, false, {}},
        {"Outlook CSV file", ".csv", &TQorContacts::ImportFromOutlookCSVFile, false, {}},
    };
    int run = 0;
    for (const bool fifo : {false, true}) {
        for (const auto &import : imports) {
            SCOPED_TRACE(std::string(import.what) + (fifo ? " with a FIFO" : " with a link to /dev/zero"));
            const QString folder = dir.filePath(QStringLiteral("special%1").arg(++run));
            ASSERT_TRUE(QDir().mkpath(folder));
            const QString evil = folder + "/evil" + import.suffix;
            if (fifo)
                ASSERT_EQ(mkfifo(QFile::encodeName(evil).constData(), 0600), 0);
            else
                ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), evil));
            if (import.folder)
                WriteAll(folder + "/good" + import.suffix, import.good);
            book.ClearContactDataList();
            const ChildRun child = RunBounded(512 * kMiB, 30, [&] {
                const int added = (book.*import.import)(import.folder ? folder : evil);
                return added == (import.folder ? 1 : 0) ? 0 : 1;
            });
            EXPECT_TRUE(child.finished) << "killed or aborted: it followed the file or waited on it";
            EXPECT_EQ(child.exitCode, 0);
            EXPECT_LT(child.growthBytes, 64 * kMiB);
        }
    }
}

// Files of tiny records: what an import holds beyond the contacts it makes
// stays within twenty times the file's size.
TEST_F(ReadBounds, TinyRecordsCostLittleBeyondTheirContacts)
{
    constexpr int kRecords = 100000;
    // The contacts alone, one short name each, made directly.
    const ChildRun contactsAlone = RunInChild([&] {
        TContactDataList made;
        for (int i = 0; i < kRecords; ++i) {
            made.push_back(book.NewContactData());
            made.back()->LastName = QString(QChar(u'a'));
        }
        return book.AppendImportedContactDataList(std::move(made)) == kRecords ? 0 : 1;
    });
    ASSERT_TRUE(contactsAlone.finished);
    using Import = int (TQorContacts::*)(const QString &);
    const struct
    {
        const char *what, *name;
        QByteArray header, record;
        Import import;
    } files[] = {
        {"vCard", "tiny.vcf", {}, "BEGIN:VCARD\r\nN:a\r\nEND:VCARD\r\n", &TQorContacts::ImportFromvCardFile},
        {"LDIF", "tiny.ldif", {}, "dn: sn=a\nsn: a\n\n", &TQorContacts::ImportFromLDIFFile},
        {"CSV", "tiny.csv", "Last Name\r\n", "a\r\n", &TQorContacts::ImportFromCSVFile},
    };
    for (const auto &file : files) {
        SCOPED_TRACE(file.what);
        const QString path = dir.filePath(QString::fromLatin1(file.name));
        const QByteArray bytes = file.header + file.record.repeated(kRecords);
        WriteAll(path, bytes);
        book.ClearContactDataList();
        const ChildRun run = RunInChild([&] { return (book.*file.import)(path) == kRecords ? 0 : 1; });
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0);
        // AddressSanitizer keeps up to 256 MiB of freed memory aside, hence the margin.
        EXPECT_LT(run.growthBytes, contactsAlone.growthBytes + 20 * bytes.size() + 256 * kMiB)
            << run.growthBytes / kMiB << " MiB against " << contactsAlone.growthBytes / kMiB << " MiB for the contacts";
    }
}

TEST(JsonAnswers, DeeperOrLargerThanTheBoundsAreRefusedWithTheBoundNamed)
{
    const struct
    {
        QByteArray body;
        const char *error;
    } cases[] = {
        {"{\"a\":[{\"b\":\"[[[[\"}]}", nullptr},
        {QByteArray(64, '[') + QByteArray(64, ']'), nullptr},
        {QByteArray(65, '[') + QByteArray(65, ']'), "deeper than 64 levels"},
        {QByteArray(200000, '[') + QByteArray(200000, ']'), "deeper than 64 levels"},
        {"{\"a\":\"" + QByteArray(5 * kMiB, 'x') + "\"}", "larger than 4 MiB"},
        {"{\"a\":", "not JSON"},
    };
    for (const auto &c : cases) {
        QJsonDocument document;
        QString error;
        const bool parsed = ParseJsonAnswer(c.body, document, &error);
        EXPECT_EQ(parsed, c.error == nullptr) << qPrintable(error);
        if (c.error) {
            EXPECT_TRUE(error.contains(QLatin1StringView(c.error))) << qPrintable(error);
        }
    }
}

} // namespace
} // namespace cardolin::testing
