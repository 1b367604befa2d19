#include "formats/RecordFiles.h"

#include "contacts/QorContacts.h"
#include "formats/FolderFiles.h"
#include "support/ReadLimits.h"
#include "support/TwoHalves.h"
#include "support/UserPrompts.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <memory>

namespace cardolin::recordfiles {

namespace {

// Walks the lines of a text as views; CR, LF and CRLF end a line, and a text
// that ends with a line end has no empty last line.
class LineWalk
{
public:
    explicit LineWalk(QStringView text, qsizetype from = 0) : m_text(text), m_next(from) {}

    bool Next(QStringView &line)
    {
        if (m_next >= m_text.size())
            return false;
        const qsizetype lf = Find(u'\n', m_lf), cr = Find(u'\r', m_cr);
        const qsizetype end = qMin(lf, cr);
        line = m_text.sliced(m_next, end - m_next);
        m_next = end + (cr + 1 == lf ? 2 : 1);
        return true;
    }

private:
    // The next c at or after the line's start. The place found is kept until
    // the walk passes it, so a text that uses only one of CR and LF is still
    // searched once, not once per line.
    qsizetype Find(QChar c, qsizetype &found) const
    {
        if (found < m_next) {
            found = m_text.sliced(m_next).indexOf(c);
            found = found < 0 ? m_text.size() : m_next + found;
        }
        return found;
    }

    QStringView m_text;
    qsizetype m_next;
    qsizetype m_lf = -1, m_cr = -1;
};

bool StartsRecord(QStringView line, const RecordTags &tags)
{
    return line.startsWith(tags.start, Qt::CaseInsensitive);
}

bool EndsRecord(QStringView line, const RecordTags &tags)
{
    return !tags.end.isEmpty() && line.trimmed().compare(tags.end, Qt::CaseInsensitive) == 0;
}

// Where a record with content begins.
struct RecordStart
{
    qsizetype line, offset;
};

// A first pass that finds the records and holds the file to the bounds before
// a single contact is made, so that a file past them adds nothing.
struct Survey
{
    std::vector<RecordStart> starts;
    qsizetype lines = 0;
    QString error;
};

Survey SurveyRecords(QStringView text, const RecordTags &tags)
{
    using namespace limits;
    Survey s;
    bool open = false, content = false, ended = false;
    qsizetype fields = 0, value = 0;
    RecordStart start{};
    const auto close = [&] {
        if (open && content)
            s.starts.push_back(start);
        if (qsizetype(s.starts.size()) > kMaxRecords)
            s.error = TooManyMessage(QStringLiteral("records"), kMaxRecords);
    };
    LineWalk walk(text);
    QStringView line;
    for (; s.error.isEmpty() && walk.Next(line); ++s.lines) {
        if (line.size() > kMaxValueBytes) {
            s.error = TooLongMessage(QStringLiteral("A value"), kMaxValueBytes);
        } else if (StartsRecord(line, tags)) {
            close();
            // "dn: cn=A" names its entry on the start line; "BEGIN:VCARD" holds nothing.
            open = true, ended = false, fields = 0, value = 0;
            content = !line.sliced(tags.start.size()).trimmed().isEmpty();
            start = {s.lines, line.data() - text.data()};
        } else if (open && !ended && !line.isEmpty()) {
            ended = EndsRecord(line, tags);
            content = content || !ended;
            // Folded lines continue the value before them.
            const bool folded = line[0] == u' ' || line[0] == u'\t';
            value = folded ? value + line.size() : line.size();
            if (value > kMaxValueBytes)
                s.error = TooLongMessage(QStringLiteral("A value"), kMaxValueBytes);
            else if (!folded && ++fields > kMaxFieldsPerRecord)
                s.error = TooManyMessage(QStringLiteral("fields in one record"), kMaxFieldsPerRecord);
        }
    }
    if (s.error.isEmpty())
        close();
    return s;
}

// Reads the records numbered from..to-1 of the survey into new contacts,
// walking the text from the first one's start. A contact the reader refuses
// (a group of contacts) is not kept. Progress, when asked for, is
// scaled so that the last line read reports the file's last line.
struct RecordWalk
{
    TQorContacts &contacts;
    QStringView text;
    const Survey &survey;
    const RecordTags &tags;
    const RecordReader &read;
    TContactDataList &made; // by record number; null where refused

    void Run(size_t from, size_t to, bool progress) const
    {
        const RecordStart first = from == 0 ? RecordStart{0, 0} : survey.starts[from];
        const qsizetype lastLine = to < survey.starts.size() ? survey.starts[to].line : survey.lines;
        const double scale = lastLine > first.line ? double(survey.lines) / double(lastLine) : 1.0;
        RecordLines lines;
        size_t next = from;
        constexpr size_t kNone = size_t(-1);
        size_t current = kNone;
        bool ended = false;
        const auto complete = [&] {
            if (current != kNone) {
                std::unique_ptr<TContactData> contact = contacts.NewContactData();
                if (read(lines, *contact))
                    made[current] = std::move(contact);
            }
            current = kNone;
            lines.clear();
            ended = false;
        };
        LineWalk walk(text, first.offset);
        QStringView line;
        for (qsizetype i = first.line; i < lastLine && walk.Next(line); ++i) {
            if (progress)
                contacts.ReportProgress(1, int(survey.lines - 1), int(double(i) * scale));
            if (next < to && i == survey.starts[next].line) {
                complete();
                current = next++;
            } else if (StartsRecord(line, tags)) {
                complete();
            }
            if (current == kNone || line.isEmpty() || ended)
                continue;
            lines.append(line);
            ended = EndsRecord(line, tags);
        }
        complete();
    }
};

// Large files are read on two threads, each taking half of the records; every
// record is read alone into its own contact, so the result is the same.
constexpr size_t kRecordsWorthAThread = 2000;

} // namespace

RecordLines Views(const QStringList &lines)
{
    RecordLines views;
    views.reserve(lines.size());
    for (const QString &line : lines)
        views.append(line);
    return views;
}

int ImportRecords(TQorContacts &contacts, QStringView text, const RecordTags &tags, const RecordReader &read,
                  const QString &name)
{
    const Survey survey = SurveyRecords(text, tags);
    if (!survey.error.isEmpty()) {
        contacts.Prompts().ShowError(name.isEmpty() ? survey.error
                                                    : QStringLiteral("\"%1\": %2").arg(name, survey.error));
        return 0;
    }
    const size_t count = survey.starts.size();
    TContactDataList made(count);
    const RecordWalk walk{contacts, text, survey, tags, read, made};
    ForTwoHalves(count, kRecordsWorthAThread, [&](size_t from, size_t to) { walk.Run(from, to, from == 0); });
    return contacts.AppendImportedContactDataList(std::move(made));
}

int ImportRecordFile(TQorContacts &contacts, const QString &path, const RecordTags &tags, const RecordReader &read)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return 0;
    BusyCursor busy(contacts.Prompts());
    if (info.size() > limits::kMaxFileBytes) {
        contacts.Prompts().ShowError(QStringLiteral("\"%1\": %2").arg(
            path, limits::TooLongMessage(QStringLiteral("The file"), limits::kMaxFileBytes)));
        return 0;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QString text = textfile::DecodeText(file.readAll());
    return ImportRecords(contacts, text, tags, read, path);
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
