#include "contacts/QorContacts.h"
#include "formats/FolderFiles.h"
#include "formats/TextFiles.h"
#include "formats/VCardCard.h"
#include "support/UserPrompts.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

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
    int created = 0;
    TContactData *contact = nullptr;
    QStringList card;
    const auto complete = [&] {
        if (contact && !card.isEmpty() && vcard::ReadCard(*this, card, *contact) && m_formatContacts)
            FormatContactData(contact);
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        ReportProgress(1, int(lines.size() - 1), int(i));
        const QString &line = lines[i];
        if (line.startsWith(QLatin1StringView("BEGIN:VCARD"))) {
            complete();
            contact = CreateContactData();
            ++created;
            card.clear();
        }
        if (!line.isEmpty() && contact)
            card.append(line);
    }
    complete();
    return created;
}

int TQorContacts::ExportTovCardFile(const QString &FileName)
{
    BusyCursor busy(*m_prompts);
    QStringList output;
    int written = 0;
    const int count = int(m_contactDataList.size());
    for (int i = 0; i < count; ++i) {
        ReportProgress(0, count - 1, i);
        const TContactData &contact = *m_contactDataList[size_t(i)];
        if (!contact.Exportable)
            continue;
        if (!output.isEmpty())
            output.append(QString());
        output += vcard::WriteCard(*this, contact);
        ++written;
    }
    if (!textfile::WriteLines(FileName, output, textfile::Encoding::Utf8WithBom)) {
        m_prompts->ShowError(kCannotSave.arg(FileName));
        return 0;
    }
    return written;
}

int TQorContacts::ImportFromvCardFolder(const QString &FolderName)
{
    m_skippedFileCount = 0;
    if (FolderName.isEmpty() || !QFileInfo(FolderName).isDir())
        return 0;
    BusyCursor busy(*m_prompts);
    const QStringList files = folderfiles::List(FolderName, QStringLiteral("*.vcf"));
    int read = 0;
    for (qsizetype i = 0; i < files.size(); ++i) {
        ReportProgress(0, int(files.size() - 1), int(i));
        // A file that is not a card adds nothing; it is counted and reported.
        TContactData *contact = CreateContactData();
        if (ReadContactDataFromvCardFile(contact, files[i])) {
            ++read;
            continue;
        }
        DeleteContactData(contact);
        ++m_skippedFileCount;
    }
    if (m_skippedFileCount > 0)
        ReportError(FolderName, QStringLiteral("vCard"),
                    QStringLiteral("%1 file(s) could not be read as a card.").arg(m_skippedFileCount),
                    m_skippedFileCount);
    return read;
}

int TQorContacts::ExportTovCardFolder(const QString &FolderName)
{
    if (FolderName.isEmpty() || !QFileInfo(FolderName).isDir())
        return 0;
    BusyCursor busy(*m_prompts);
    QSet<QString> used;
    int written = 0;
    const int count = int(m_contactDataList.size());
    for (int i = 0; i < count; ++i) {
        ReportProgress(0, count - 1, i);
        const TContactData *contact = m_contactDataList[size_t(i)].get();
        if (!contact->Exportable)
            continue;
        const QString name = GetDisplayNameFromContactData(contact, dtInherited);
        if (WriteContactDataTovCardFile(contact, folderfiles::UniquePath(FolderName, name, QStringLiteral(".vcf"), used)))
            ++written;
    }
    return written;
}

} // namespace cardolin
