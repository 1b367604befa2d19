// Feeds arbitrary text to the vCard reader as a file of many cards, then writes
// every contact it made as a 2.1 and a 3.0 card and reads each again: no step
// may crash, hang or grow without bound.

#include "FuzzSupport.h"

#include "formats/RecordFiles.h"
#include "formats/TextFiles.h"
#include "formats/VCard3Writer.h"
#include "formats/VCardCard.h"

using namespace cardolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TQorContacts book;
    fuzz::Prepare(book);
    recordfiles::ImportRecords(book, fuzz::Decode(data, size), vcard::kCardTags,
                               [&](const recordfiles::RecordLines &card, TContactData &c) {
                                   return vcard::ReadCard(book, card, c);
                               });
    for (const auto &contact : book.ContactDataList()) {
        TContactData again, again3;
        vcard::ReadCard(book, recordfiles::Views(vcard::WriteCard(book, *contact)), again);
        vcard::ReadCard(book, recordfiles::Views(vcard::WriteCard3(book, *contact)), again3);
    }
    return 0;
}
