// Crafted CSV files that once ran the importer out of memory or time: each must
// end in a clear error or a bounded result, leave the book as it was, and keep
// memory within a small multiple of the file's size.

#include "CsvTestSupport.h"

#include "fakes/ChildMemory.h"
#include "formats/CsvLayouts.h"
#include "support/ReadLimits.h"

#include <QFileInfo>

#include <algorithm>
#include <functional>

using namespace cardolin;
using namespace cardolin::testing;

namespace {

using Operation = int (TQorContacts::*)(const QString &);

constexpr qint64 kMiB = qint64(1) << 20;

QByteArray Repeated(const QByteArray &piece, qint64 bytes)
{
    return piece.repeated(qsizetype(bytes / piece.size()));
}

QByteArray Header(const CsvLayout &layout)
{
    return layout.Header().toUtf8() + "\r\n";
}

struct Case
{
    const char *name;
    Operation import;
    std::function<QByteArray()> content;
    const char *error; // what the message names; nullptr: no message
    int added;
    qsizetype rejected;
};

const Case kCases[] = {
    {"OutlookHeaderThenCommas", &TQorContacts::ImportFromOutlookCSVFile,
     [] { return Header(OutlookCsvLayout()) + QByteArray(8 * kMiB, ','); }, "5000 fields in one record", 0, 0},
    {"CommasPastTheLongestRecord", &TQorContacts::ImportFromOutlookCSVFile,
     [] { return Header(OutlookCsvLayout()) + QByteArray(20 * kMiB, ','); }, "A record is larger than 16 MiB", 0, 0},
    {"OneUnbalancedQuote", &TQorContacts::ImportFromWindowsContactsCSVFile,
     [] { return Header(WindowsContactsCsvLayout()) + "\"open;" + Repeated("a line of text\r\n", 20 * kMiB); },
     "A record is larger than 16 MiB", 0, 0},
    {"TooManyRecords", &TQorContacts::ImportFromNokiaCSVFile,
     [] { return Header(NokiaCsvLayout()) + Repeated("\"\"\r\n", 4 * (limits::kMaxRecords + 1)); },
     "more than 2000000 records", 0, 0},
    {"RecordsOfEmptyFields", &TQorContacts::ImportFromOutlookCSVFile,
     [] { return Header(OutlookCsvLayout()) + Repeated(QByteArray(91, ',') + "\r\n", 9 * kMiB); }, nullptr, 0, 0},
    {"LongRejectedRecordWithControlBytes", &TQorContacts::ImportFromWindowsContactsCSVFile,
     [] { return Header(WindowsContactsCsvLayout()) + "Ann;\x01\x1b[2J" + Repeated("x\tx", 6 * kMiB) + "\r\n"; },
     "1 contact(s) failed to be imported.", 0, 1},
};

class CsvLimits : public CsvTest, public ::testing::WithParamInterface<Case>
{
};

// Each check the child makes has its own exit status, so a failure says which.
int ImportInChild(TQorContacts &contacts, RecordingPrompts &prompts,
                  const std::vector<ErrorCall> &errors, const Case &c, const QString &path)
{
    TContactData &kept = *contacts.CreateContactData();
    kept.FirstName = QStringLiteral("Kept");
    if ((contacts.*c.import)(path) != c.added)
        return 2;
    if (contacts.ContactDataList().size() != size_t(c.added + 1) || contacts.ContactDataList()[0]->FirstName != "Kept")
        return 3;
    if (c.error ? prompts.errors.size() != 1 || !prompts.errors[0].contains(QString::fromUtf8(c.error))
                : !prompts.errors.isEmpty())
        return 4;
    if (qsizetype(errors.size()) != c.rejected)
        return 5;
    for (const ErrorCall &error : errors)
        if (error.text.size() > limits::kMaxEchoCharacters + 50
            || std::any_of(error.text.begin(), error.text.end(), [](QChar ch) { return ch.unicode() < 0x20; }))
            return 6;
    return 0;
}

TEST_P(CsvLimits, EndsInAClearErrorOrABoundedResult)
{
    const Case &c = GetParam();
    const QString path = Write("hostile.csv", c.content());
    const qint64 size = QFileInfo(path).size();
    const ChildRun run = RunInChild([&] { return ImportInChild(contacts, prompts, errors, c, path); });
    ASSERT_TRUE(run.finished) << "the import aborted";
    EXPECT_EQ(run.exitCode, 0);
    // The decoded text takes twice the file; sanitizers keep freed blocks a while.
    EXPECT_LT(run.growthBytes, 4 * size + 128 * kMiB) << run.growthBytes / kMiB << " MiB for a file of "
                                                      << size / kMiB << " MiB";
}

INSTANTIATE_TEST_SUITE_P(HostileFiles, CsvLimits, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

// A file past the size limit is refused before a byte of it is read. The file
// is sparse, so it costs no disk.
TEST_F(CsvTest, AFileLargerThanCardolinReadsIsRefusedUnread)
{
    const QString path = Write("huge.csv", Header(WindowsContactsCsvLayout()));
    QFile file(path);
    ASSERT_TRUE(file.resize(limits::kMaxFileBytes + 1));
    const ChildRun run = RunInChild([&] { return contacts.ImportFromWindowsContactsCSVFile(path); });
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_LT(run.growthBytes, 64 * kMiB);
    EXPECT_EQ(contacts.ImportFromWindowsContactsCSVFile(path), 0);
    EXPECT_EQ(prompts.errors, QStringList{"The file is larger than 2 GiB (the largest Cardolin reads)."});
}

} // namespace
