#include "contacts/QorContacts.h"
#include "formats/LdifRecord.h"
#include "formats/RecordFiles.h"
#include "formats/TextFiles.h"
#include "support/UserPrompts.h"

#include <QFileInfo>

#include <algorithm>

namespace cardolin {

namespace {

const QString kCannotSave = QStringLiteral("Cannot save \"%1\".");

} // namespace

bool TQorContacts::ReadContactDataFromLDIFFile(TContactData *AContactData, const QString &FileName)
{
    QStringList lines;
    if (!AContactData || !textfile::ReadLines(FileName, lines))
        return false;
    lines.removeAll(QString());
    // Only a file that names an entry holds a record; any other file would
    // otherwise become an empty contact.
    const auto isDn = [](const QString &line) { return line.startsWith(QLatin1StringView("dn:")); };
    if (std::none_of(lines.cbegin(), lines.cend(), isDn))
        return false;
    ldif::ReadRecord(*this, lines, *AContactData);
    if (m_formatContacts)
        FormatContactData(AContactData);
    return true;
}

bool TQorContacts::WriteContactDataToLDIFFile(const TContactData *AContactData, const QString &FileName)
{
    if (!AContactData)
        return false;
    if (textfile::WriteLines(FileName, ldif::WriteRecord(*this, *AContactData), textfile::Encoding::Utf8))
        return true;
    m_prompts->ShowError(kCannotSave.arg(FileName));
    return false;
}

int TQorContacts::ImportFromLDIFFile(const QString &FileName)
{
    QStringList lines;
    if (!QFileInfo(FileName).isFile())
        return 0;
    BusyCursor busy(*m_prompts);
    if (!textfile::ReadLines(FileName, lines))
        return 0;
    return recordfiles::ImportRecords(*this, lines, QLatin1StringView("dn:"),
                                      [this](const QStringList &record, TContactData &contact) {
                                          return ldif::ReadRecord(*this, record, contact);
                                      });
}

int TQorContacts::ExportToLDIFFile(const QString &FileName)
{
    BusyCursor busy(*m_prompts);
    int written = 0;
    const QStringList output = recordfiles::ExportRecords(
        *this, [this](const TContactData &contact) { return ldif::WriteRecord(*this, contact); }, written);
    if (!textfile::WriteLines(FileName, output, textfile::Encoding::Utf8)) {
        m_prompts->ShowError(kCannotSave.arg(FileName));
        return 0;
    }
    return written;
}

int TQorContacts::ImportFromLDIFFolder(const QString &FolderName)
{
    return recordfiles::ImportFolder(
        *this, FolderName, QStringLiteral("*.ldif"),
        [this](TContactData *contact, const QString &path) { return ReadContactDataFromLDIFFile(contact, path); },
        m_skippedFileCount);
}

int TQorContacts::ExportToLDIFFolder(const QString &FolderName)
{
    return recordfiles::ExportFolder(
        *this, FolderName, QStringLiteral(".ldif"),
        [this](const TContactData *contact, const QString &path) { return WriteContactDataToLDIFFile(contact, path); });
}

} // namespace cardolin
