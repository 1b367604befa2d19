// Reads arbitrary bytes with the book's fast reader (which hands whatever it does
// not recognise to the general one) and with the general reader alone. The two
// must agree on everything: success, the error, every record and the vocabularies.

#include "FuzzSupport.h"
#include "contacts/ContactsBookFile.h"

#include <QBuffer>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace cardolin;

namespace {

struct Outcome
{
    bool ok = false;
    QString error;
    QByteArray saved;
    QStringList categories, keywords;
};

Outcome ReadWith(const QByteArray &bytes, bookfile::Reader reader)
{
    TQorContacts book;
    fuzz::Prepare(book);
    QBuffer input;
    input.setData(bytes);
    input.open(QIODevice::ReadOnly);
    Outcome outcome;
    outcome.ok = bookfile::Read(input, book, outcome.error, reader);
    QBuffer output(&outcome.saved);
    output.open(QIODevice::WriteOnly);
    bookfile::Write(book, output);
    outcome.categories = book.Categories();
    outcome.keywords = book.Keywords();
    return outcome;
}

[[noreturn]] void Differ(const char *what, const QString &fast, const QString &general)
{
    std::fprintf(stderr, "\n*** the readers differ in %s\n--- fast ---\n%s\n--- general ---\n%s\n", what,
                 qPrintable(fast.left(4000)), qPrintable(general.left(4000)));
    std::abort();
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
    const Outcome fast = ReadWith(input, bookfile::Reader::Fastest);
    const Outcome general = ReadWith(input, bookfile::Reader::General);
    if (fast.ok != general.ok || fast.error != general.error)
        Differ("the result", QString::number(fast.ok) + u' ' + fast.error,
               QString::number(general.ok) + u' ' + general.error);
    if (fast.saved != general.saved)
        Differ("the records", QString::fromUtf8(fast.saved), QString::fromUtf8(general.saved));
    if (fast.categories != general.categories || fast.keywords != general.keywords)
        Differ("the vocabularies", (fast.categories + fast.keywords).join(u'|'),
               (general.categories + general.keywords).join(u'|'));
    return 0;
}
