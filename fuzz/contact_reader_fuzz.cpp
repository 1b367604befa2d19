// Feeds arbitrary bytes to the Windows ".contact" reader. A refused document
// must leave the record exactly as it was.

#include "FuzzSupport.h"

#include "formats/WindowsContactFile.h"

#include <QBuffer>

#include <cstdlib>

using namespace cardolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TContactData contact;
    contact.FirstName = QStringLiteral("kept");
    if (!windowscontact::Read(buffer, contact) && contact.FirstName != QStringLiteral("kept"))
        std::abort();
    return 0;
}
