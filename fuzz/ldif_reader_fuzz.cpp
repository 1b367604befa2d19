// Feeds arbitrary text to the LDIF reader as a file of many records, then
// writes each contact and reads the record back.

#include "FuzzSupport.h"

#include "formats/LdifRecord.h"
#include "formats/RecordFiles.h"
#include "formats/TextFiles.h"

using namespace cardolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TQorContacts book;
    fuzz::Prepare(book);
    recordfiles::ImportRecords(book, fuzz::Decode(data, size), ldif::kEntryTags,
                               [&](const recordfiles::RecordLines &record, TContactData &c) {
                                   return ldif::ReadRecord(book, record, c);
                               });
    for (const auto &contact : book.ContactDataList()) {
        TContactData again;
        ldif::ReadRecord(book, recordfiles::Views(ldif::WriteRecord(book, *contact)), again);
    }
    return 0;
}
