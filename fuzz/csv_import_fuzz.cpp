// Feeds arbitrary bytes to the CSV importer through a file, as the program gets
// them. The first byte picks whether the bytes go in alone (layout detection) or
// behind one layout's header, so that the fuzzer spends its time in record
// assembly, splitting and the column tables rather than guessing a header.
// Whatever it makes of the input, every record is imported, reported, or holds
// no value at all and is passed over.

#include "contacts/QorContacts.h"
#include "formats/CsvLayouts.h"
#include "support/Clock.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace cardolin;

namespace {

const FixedClock &Now()
{
    static const FixedClock clock(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC));
    return clock;
}

const QString &InputPath()
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("input.csv"));
    return path;
}

const CsvLayout *const kLayouts[] = {nullptr,
                                     &WindowsContactsCsvLayout(),
                                     &OutlookCsvLayout(),
                                     &OutlookFrenchCsvLayout(),
                                     &GoogleCsvLayout(),
                                     &GoogleDeprecatedCsvLayout(),
                                     &NokiaCsvLayout(),
                                     &YahooCsvLayout(),
                                     &BlackBerryCsvLayout(),
                                     &GoogleContactsCsvLayout(),
                                     &ThunderbirdCsvLayout()};

QByteArray Input(const std::uint8_t *data, std::size_t size)
{
    const QByteArray body(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);
    const CsvLayout *layout = kLayouts[data[0] % std::size(kLayouts)];
    if (!layout)
        return body;
    // UTF-8 with a byte-order mark carries the accented French header.
    return "\xEF\xBB\xBF" + layout->Header().toUtf8() + "\r\n" + body;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    setenv("TZ", "UTC", 1);
    setenv("LC_ALL", "en_US.UTF-8", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    {
        QFile file(InputPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(Input(data, size));
    }
    TQorContacts contacts;
    contacts.SetClock(Now());
    int rejected = 0, progressed = 0;
    contacts.OnError = [&](TQorContacts *, const QString &, const QString &, const QString &, int count) {
        if (count != ++rejected)
            std::abort();
    };
    contacts.OnProgress = [&](TQorContacts *, int, int, int) { ++progressed; };
    const int added = contacts.ImportFromCSVFile(InputPath());
    const auto held = qsizetype(contacts.ContactDataList().size());
    if (added < 0 || added + rejected > progressed || qsizetype(added) != held) {
        std::fprintf(stderr, "added %d, rejected %d, records %d\n", added, rejected, progressed);
        std::abort();
    }
    return 0;
}
