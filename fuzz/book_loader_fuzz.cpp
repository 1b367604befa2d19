// Feeds arbitrary bytes to the contacts-book reader. Whatever it makes of them
// must then survive saving: the saved book has to load again without a fault and
// with the same number of contacts. A book the program writes but cannot read
// back is a book the user loses.

#include "FuzzSupport.h"
#include "contacts/ContactsBookFile.h"
#include "contacts/QorContacts.h"
#include "support/Clock.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

using namespace cardolin;

namespace {

// Records created while reading take "now" for missing stamps; a fixed clock keeps
// every run of one input the same.
const FixedClock &Now()
{
    static const FixedClock clock(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC));
    return clock;
}

struct Loaded
{
    bool ok = false;
    QString error;
    qsizetype count = 0;
};

Loaded Load(const QByteArray &bytes, TQorContacts &book)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    Loaded result;
    result.ok = bookfile::Read(buffer, book, result.error);
    result.count = qsizetype(book.ContactDataList().size());
    return result;
}

QByteArray Save(const TQorContacts &book)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!bookfile::Write(book, buffer)) {
        std::fprintf(stderr, "writing to memory failed\n");
        std::abort();
    }
    return bytes;
}

[[noreturn]] void Broken(const char *what, const QByteArray &saved, const QString &detail)
{
    std::fprintf(stderr, "\n*** %s: %s\n--- saved book ---\n%s\n--- end ---\n", what, qPrintable(detail),
                 saved.left(4000).constData());
    std::abort();
}

// The first line where two saved books part.
QString FirstDifference(const QByteArray &a, const QByteArray &b)
{
    const QList<QByteArray> left = a.split('\n'), right = b.split('\n');
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i)
        if (left.value(i) != right.value(i))
            return QStringLiteral("line %1:\n  first:  %2\n  second: %3")
                .arg(i + 1)
                .arg(QString::fromUtf8(left.value(i)), QString::fromUtf8(right.value(i)));
    return {};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::UseBookEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    TQorContacts original;
    original.SetClock(Now());
    Load(input, original); // a fault is fine here, the input is arbitrary
    const qsizetype count = qsizetype(original.ContactDataList().size());

    // A value may change on its way through a save: a record cut short by a fault
    // keeps defaults, a stamp that reads as unset is left out and then defaults.
    // But every saved book must load, and the changes must come to rest.
    QByteArray saved = Save(original), previous;
    for (int generation = 0; generation < 3; ++generation) {
        TQorContacts book;
        book.SetClock(Now());
        const Loaded loaded = Load(saved, book);
        if (!loaded.ok)
            Broken("the saved book does not load", saved, loaded.error);
        if (loaded.count != count)
            Broken("the saved book loads another number of contacts", saved,
                   QStringLiteral("%1 saved, %2 loaded").arg(count).arg(loaded.count));
        previous = std::exchange(saved, Save(book));
        if (saved == previous)
            return 0;
    }
    Broken("saving and loading never settles", previous, FirstDifference(previous, saved));
}
