#include "contacts/QorContacts.h"
#include "formats/LdifRecord.h"
#include "formats/RecordFiles.h"
#include "formats/TextFiles.h"

#include <algorithm>

namespace cardolin {

namespace {
// Plain ASCII (anything else is base64) with bare line feeds, which every LDIF
// reader accepts and some take as the only line end.
const recordfiles::FileForm kLdif{textfile::Encoding::Utf8, QLatin1StringView("\n"), true,
                                  QLatin1StringView("version: 1")};

recordfiles::RecordReader EntryReader(const TQorContacts &contacts)
{
    return [&contacts](const recordfiles::RecordLines &record, TContactData &contact) {
        return ldif::ReadRecord(contacts, record, contact);
    };
}
} // namespace

bool TQorContacts::ReadContactDataFromLDIFFile(TContactData *AContactData, const QString &FileName)
{
    QStringList lines;
    if (!AContactData || !textfile::ReadLines(FileName, lines))
        return false;
    lines.removeAll(QString());
    // Only a file that names an entry holds a record; any other file would
    // otherwise become an empty contact.
    const auto isDn = [](const QString &line) { return line.startsWith(QLatin1StringView("dn:"), Qt::CaseInsensitive); };
    if (std::none_of(lines.cbegin(), lines.cend(), isDn) || !ldif::ReadRecord(*this, recordfiles::Views(lines), *AContactData))
        return false;
    if (m_formatContacts)
        FormatContactData(AContactData);
    return true;
}

bool TQorContacts::WriteContactDataToLDIFFile(const TContactData *AContactData, const QString &FileName)
{
    return AContactData && recordfiles::WriteRecordFile(*this, FileName, ldif::WriteRecord(*this, *AContactData),
                                                        kLdif);
}

int TQorContacts::ImportFromLDIFFile(const QString &FileName)
{
    return recordfiles::ImportRecordFile(*this, FileName, ldif::kEntryTags, EntryReader(*this));
}

int TQorContacts::ExportToLDIFFile(const QString &FileName)
{
    return recordfiles::ExportRecordFile(*this, FileName, kLdif,
                                         [this](const TContactData &contact) { return ldif::WriteRecord(*this, contact); });
}

int TQorContacts::ImportFromLDIFFolder(const QString &FolderName)
{
    // A file may hold several entries, each its own contact.
    return recordfiles::ImportRecordFolder(*this, FolderName, QStringLiteral("*.ldif"), ldif::kEntryTags,
                                           EntryReader(*this), m_skippedFileCount);
}

int TQorContacts::ExportToLDIFFolder(const QString &FolderName)
{
    return recordfiles::ExportFolder(*this, FolderName, QStringLiteral(".ldif"), kLdif,
                                     [this](const TContactData &contact) { return ldif::WriteRecord(*this, contact); });
}

} // namespace cardolin
