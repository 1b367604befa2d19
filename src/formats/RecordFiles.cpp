#include "formats/RecordFiles.h"

#include "contacts/QorContacts.h"
#include "formats/FolderFiles.h"
#include "support/UserPrompts.h"

#include <QFileInfo>
#include <QSet>

namespace cardolin::recordfiles {

int ImportRecords(TQorContacts &contacts, const QStringList &lines, QLatin1StringView startTag,
                  const RecordReader &read)
{
    int created = 0;
    TContactData *contact = nullptr;
    QStringList record;
    // A record the reader refuses (a group of contacts) adds no contact; they
    // are removed in one pass at the end.
    std::vector<TContactData *> refused;
    const auto complete = [&] {
        if (!contact || record.isEmpty())
            return;
        if (!read(record, *contact))
            refused.push_back(contact);
        else if (contacts.FormatContacts())
            contacts.FormatContactData(contact);
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        contacts.ReportProgress(1, int(lines.size() - 1), int(i));
        const QString &line = lines[i];
        if (line.startsWith(startTag, Qt::CaseInsensitive)) {
            complete();
            contact = contacts.CreateContactData();
            ++created;
            record.clear();
        }
        if (!line.isEmpty() && contact)
            record.append(line);
    }
    complete();
    contacts.DeleteContactDataList(refused);
    return created - int(refused.size());
}

int ImportRecordFile(TQorContacts &contacts, const QString &path, QLatin1StringView startTag,
                     const RecordReader &read)
{
    if (!QFileInfo(path).isFile())
        return 0;
    BusyCursor busy(contacts.Prompts());
    QStringList lines;
    if (!textfile::ReadLines(path, lines))
        return 0;
    return ImportRecords(contacts, lines, startTag, read);
}

bool WriteRecordFile(TQorContacts &contacts, const QString &path, const QStringList &lines, const FileForm &form)
{
    const QStringList text = form.header.isEmpty() ? lines : QStringList{form.header, QString()} + lines;
    if (textfile::WriteLines(path, text, form.encoding, form.lineEnd))
        return true;
    contacts.Prompts().ShowError(QStringLiteral("Cannot save \"%1\".").arg(path));
    return false;
}

int ExportRecordFile(TQorContacts &contacts, const QString &path, const FileForm &form, const RecordWriter &write)
{
    BusyCursor busy(contacts.Prompts());
    int written = 0;
    const QStringList output = ExportRecords(contacts, write, written, form.blankLines);
    return WriteRecordFile(contacts, path, output, form) ? written : 0;
}

QStringList ExportRecords(TQorContacts &contacts, const RecordWriter &write, int &written, bool blankLines)
{
    QStringList output;
    written = 0;
    const auto &list = contacts.ContactDataList();
    const int count = int(list.size());
    for (int i = 0; i < count; ++i) {
        contacts.ReportProgress(0, count - 1, i);
        const TContactData &contact = *list[size_t(i)];
        if (!contact.Exportable)
            continue;
        if (blankLines && !output.isEmpty())
            output.append(QString());
        output += write(contact);
        ++written;
    }
    return output;
}

int ImportFolder(TQorContacts &contacts, const QString &folder, const QString &pattern,
                 const std::function<bool(TContactData *, const QString &)> &readFile, int &skipped)
{
    skipped = 0;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return 0;
    BusyCursor busy(contacts.Prompts());
    const QStringList files = folderfiles::List(folder, pattern);
    int read = 0;
    for (qsizetype i = 0; i < files.size(); ++i) {
        contacts.ReportProgress(0, int(files.size() - 1), int(i));
        TContactData *contact = contacts.CreateContactData();
        if (readFile(contact, files[i])) {
            ++read;
            continue;
        }
        contacts.DeleteContactData(contact);
        ++skipped;
        contacts.ReportError(files[i], QStringLiteral("Import"),
                             QStringLiteral("The file could not be read and was skipped."), skipped);
    }
    return read;
}

int ExportFolder(TQorContacts &contacts, const QString &folder, const QString &suffix,
                 const std::function<bool(const TContactData *, const QString &)> &writeFile)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return 0;
    BusyCursor busy(contacts.Prompts());
    QSet<QString> used;
    int written = 0;
    const auto &list = contacts.ContactDataList();
    const int count = int(list.size());
    for (int i = 0; i < count; ++i) {
        contacts.ReportProgress(0, count - 1, i);
        const TContactData *contact = list[size_t(i)].get();
        if (!contact->Exportable)
            continue;
        const QString name = contacts.GetDisplayNameFromContactData(contact, dtInherited);
        if (writeFile(contact, folderfiles::UniquePath(folder, name, suffix, used)))
            ++written;
    }
    return written;
}

} // namespace cardolin::recordfiles
