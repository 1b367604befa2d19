#include "contacts/QorContacts.h"
#include "formats/RecordFiles.h"
#include "formats/TextFiles.h"
#include "formats/VCard3Writer.h"
#include "formats/VCardCard.h"
#include "support/UserPrompts.h"

#include <atomic>

namespace cardolin {

namespace {

// Cards are written as UTF-8 with a byte-order mark rather than a legacy code
// page, so no character of a name or address is lost on the way out.
const recordfiles::FileForm kOwnCards{textfile::Encoding::Utf8WithBom, QLatin1StringView("\r\n"), true, {}};
// Standard 3.0 cards carry no byte-order mark, which some readers take for
// text before the first card, and no blank line between cards.
const recordfiles::FileForm kStandardCards{textfile::Encoding::Utf8, QLatin1StringView("\r\n"), false, {}};
// Reads a file of one card; values kept in the notes are counted into spare.
bool ReadCardFile(const TQorContacts &contacts, TContactData &contact, const QString &path, int &spare)
{
    QStringList lines;
    if (!textfile::ReadLines(path, lines))
        return false;
    lines.removeAll(QString());
    return vcard::ReadCard(contacts, recordfiles::Views(lines), contact, &spare);
}

void WarnOfSpareValues(TQorContacts &contacts, int spare)
{
    if (spare > 0)
        contacts.Prompts().ShowWarning(vcard::SpareValuesMessage(spare));
}

// Cards may be read on two threads, hence the shared count.
recordfiles::RecordReader CardReader(const TQorContacts &contacts, std::atomic<int> &spare)
{
    return [&contacts, &spare](const recordfiles::RecordLines &record, TContactData &contact) {
        int kept = 0;
        QString uid;
        const bool read = vcard::ReadCard(contacts, record, contact, &kept, &uid);
        spare += kept;
        // Kept unless another contact has it; the book checks when it takes the records.
        if (!uid.isEmpty())
            contact.Uid = uid;
        return read;
    };
}

} // namespace

bool TQorContacts::ReadContactDataFromvCardFile(TContactData *AContactData, const QString &FileName)
{
    int spare = 0;
    if (!AContactData || !ReadCardFile(*this, *AContactData, FileName, spare))
        return false;
    if (m_formatContacts)
        FormatContactData(AContactData);
    WarnOfSpareValues(*this, spare);
    return true;
}

bool TQorContacts::WriteContactDataTovCardFile(const TContactData *AContactData, const QString &FileName)
{
    return AContactData && recordfiles::WriteRecordFile(*this, FileName, vcard::WriteCard(*this, *AContactData),
                                                        kOwnCards);
}

int TQorContacts::ImportFromvCardFile(const QString &FileName)
{
    std::atomic<int> spare = 0;
    const int added = recordfiles::ImportRecordFile(*this, FileName, vcard::kCardTags, CardReader(*this, spare));
    WarnOfSpareValues(*this, spare);
    return added;
}

int TQorContacts::ExportTovCardFile(const QString &FileName)
{
    return recordfiles::ExportRecordFile(*this, FileName, kOwnCards,
                                         [this](const TContactData &c) { return vcard::WriteCard(*this, c); });
}

bool TQorContacts::WriteContactDataTovCard3File(const TContactData *AContactData, const QString &FileName)
{
    return AContactData && recordfiles::WriteRecordFile(*this, FileName, vcard::WriteCard3(*this, *AContactData),
                                                        kStandardCards);
}

int TQorContacts::ExportTovCard3File(const QString &FileName)
{
    return recordfiles::ExportRecordFile(*this, FileName, kStandardCards,
                                         [this](const TContactData &c) { return vcard::WriteCard3(*this, c); });
}

int TQorContacts::ExportTovCard3Folder(const QString &FolderName)
{
    return recordfiles::ExportFolder(*this, FolderName, QStringLiteral(".vcf"), kStandardCards,
                                     [this](const TContactData &c) { return vcard::WriteCard3(*this, c); });
}

int TQorContacts::ImportFromvCardFolder(const QString &FolderName)
{
    // Every card of every file; one warning for the values of all of them.
    std::atomic<int> spare = 0;
    const int added = recordfiles::ImportRecordFolder(*this, FolderName, QStringLiteral("*.vcf"), vcard::kCardTags,
                                                      CardReader(*this, spare), m_skippedFileCount);
    WarnOfSpareValues(*this, spare);
    return added;
}

int TQorContacts::ExportTovCardFolder(const QString &FolderName)
{
    return recordfiles::ExportFolder(*this, FolderName, QStringLiteral(".vcf"), kOwnCards,
                                     [this](const TContactData &c) { return vcard::WriteCard(*this, c); });
}

} // namespace cardolin
