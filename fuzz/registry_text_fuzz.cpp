// Feeds arbitrary bytes to the settings store reader. Whatever it accepts must
// write back to a text that reads again to the same tree: a store the program
// writes but cannot read is set aside at the next start, and the settings are
// gone.

#include "support/RegistryText.h"

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace cardolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    const std::unique_ptr<RegistryKey> tree = registrytext::Read(input, error);
    if (!tree)
        return 0;
    const QByteArray written = registrytext::Write(*tree);
    const std::unique_ptr<RegistryKey> again = registrytext::Read(written, error);
    if (!again || registrytext::Write(*again) != written) {
        std::fprintf(stderr, "\n*** the written store does not read back: %s\n--- written ---\n%s\n--- end ---\n",
                     qPrintable(error), written.left(4000).constData());
        std::abort();
    }
    return 0;
}
