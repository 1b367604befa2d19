#include "contacts/QorContacts.h"
#include "formats/RecordFiles.h"
#include "formats/TextFiles.h"
#include "formats/VCard3Writer.h"
#include "formats/VCardCard.h"

namespace cardolin {

namespace {

// Cards are written as UTF-8 with a byte-order mark rather than a legacy code
// page, so no character of a name or address is lost on the way out.
const recordfiles::FileForm kOwnCards{textfile::Encoding::Utf8WithBom, QLatin1StringView("\r\n"), true, {}};
// Standard 3.0 cards carry no byte-order mark, which some readers take for
// text before the first card, and no blank line between cards.
const recordfiles::FileForm kStandardCards{textfile::Encoding::Utf8, QLatin1StringView("\r\n"), false, {}};
} // namespace

bool TQorContacts::ReadContactDataFromvCardFile(TContactData *AContactData, const QString &FileName)
{
    QStringList lines;
    if (!AContactData || !textfile::ReadLines(FileName, lines))
        return false;
    lines.removeAll(QString());
    if (!vcard::ReadCard(*this, recordfiles::Views(lines), *AContactData))
        return false;
    if (m_formatContacts)
        FormatContactData(AContactData);
    return true;
}

bool TQorContacts::WriteContactDataTovCardFile(const TContactData *AContactData, const QString &FileName)
{
    return AContactData && recordfiles::WriteRecordFile(*this, FileName, vcard::WriteCard(*this, *AContactData),
                                                        kOwnCards);
}

int TQorContacts::ImportFromvCardFile(const QString &FileName)
{
    return recordfiles::ImportRecordFile(*this, FileName, vcard::kCardTags,
                                         [this](const recordfiles::RecordLines &record, TContactData &contact) {
                                             return vcard::ReadCard(*this, record, contact);
                                         });
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
    return recordfiles::ExportFolder(*this, FolderName, QStringLiteral(".vcf"),
                                     [this](const TContactData *contact, const QString &path) {
                                         return WriteContactDataTovCard3File(contact, path);
                                     });
}

int TQorContacts::ImportFromvCardFolder(const QString &FolderName)
{
    return recordfiles::ImportFolder(
        *this, FolderName, QStringLiteral("*.vcf"),
        [this](TContactData *contact, const QString &path) { return ReadContactDataFromvCardFile(contact, path); },
        m_skippedFileCount);
}

int TQorContacts::ExportTovCardFolder(const QString &FolderName)
{
    return recordfiles::ExportFolder(
        *this, FolderName, QStringLiteral(".vcf"),
        [this](const TContactData *contact, const QString &path) { return WriteContactDataTovCardFile(contact, path); });
}

} // namespace cardolin
