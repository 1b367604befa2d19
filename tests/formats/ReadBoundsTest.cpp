// Crafted vCard, LDIF and .contact files, made here, each read in a child
// process whose memory growth is measured: every one must end in an error that
// names the bound, or in a bounded result, and leave the book as it was.

#include "FormatsFixture.h"
#include "fakes/ChildMemory.h"
#include "online/JsonText.h"
#include "support/ReadLimits.h"

#include <QDir>

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

const HostileFile kHostileFiles[] = {
    {"vCard start lines alone", Reader::VCard, [] { return Repeat("BEGIN:VCARD\r\n", 12 * kMiB); }, 0, nullptr},
    {"vCard cards opened and closed empty", Reader::VCard,
     [] { return Repeat("BEGIN:VCARD\r\nEND:VCARD\r\n", 12 * kMiB); }, 0, nullptr},
    {"LDIF entry names alone", Reader::Ldif, [] { return Repeat("dn:\n", 12 * kMiB); }, 0, nullptr},
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
