#include "contacts/QorContacts.h"
#include "formats/RecordFiles.h"
#include "formats/TextFiles.h"
#include "formats/VCardCard.h"
#include "support/UserPrompts.h"

#include <QFileInfo>

namespace cardolin {

namespace {

const QString kCannotSave = QStringLiteral("Cannot save \"%1\".");

} // namespace

bool TQorContacts::ReadContactDataFromvCardFile(TContactData *AContactData, const QString &FileName)
{
    QStringList lines;
    if (!AContactData || !textfile::ReadLines(FileName, lines))
        return false;
    lines.removeAll(QString());
    if (!vcard::ReadCard(*this, lines, *AContactData))
        return false;
    if (m_formatContacts)
        FormatContactData(AContactData);
    return true;
}

bool TQorContacts::WriteContactDataTovCardFile(const TContactData *AContactData, const QString &FileName)
{
    if (!AContactData)
        return false;
    // UTF-8 with a byte-order mark rather than a legacy code page, so no
    // character of a name or address is lost on the way out.
    if (textfile::WriteLines(FileName, vcard::WriteCard(*this, *AContactData), textfile::Encoding::Utf8WithBom))
        return true;
    m_prompts->ShowError(kCannotSave.arg(FileName));
    return false;
}

int TQorContacts::ImportFromvCardFile(const QString &FileName)
{
    QStringList lines;
    if (!QFileInfo(FileName).isFile())
        return 0;
    BusyCursor busy(*m_prompts);
    if (!textfile::ReadLines(FileName, lines))
        return 0;
    return recordfiles::ImportRecords(*this, lines, QLatin1StringView("BEGIN:VCARD"),
                                      [this](const QStringList &card, TContactData &contact) {
                                          return vcard::ReadCard(*this, card, contact);
                                      });
}

int TQorContacts::ExportTovCardFile(const QString &FileName)
{
    BusyCursor busy(*m_prompts);
    int written = 0;
    const QStringList output = recordfiles::ExportRecords(
        *this, [this](const TContactData &contact) { return vcard::WriteCard(*this, contact); }, written);
    if (!textfile::WriteLines(FileName, output, textfile::Encoding::Utf8WithBom)) {
        m_prompts->ShowError(kCannotSave.arg(FileName));
        return 0;
    }
    return written;
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
