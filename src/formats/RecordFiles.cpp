#include "formats/RecordFiles.h"

#include "contacts/QorContacts.h"
#include "contacts/VocabularyGrower.h"
#include "formats/FolderFiles.h"
#include "platform/RegularFile.h"
#include "support/ReadLimits.h"
#include "support/TwoHalves.h"
#include "support/UserPrompts.h"

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

bool EndsRecord(QStringView line, const RecordTags &tags)
{
    return !tags.end.isEmpty() && line.trimmed().compare(tags.end, Qt::CaseInsensitive) == 0;
}

// Where the start tag sits on a line that opens a record, or -1. Between
// records a tag may end a line after other text, as in "END:VCARDBEGIN:VCARD"
// of two files joined without a line end; inside a record such a line is a
// value.
qsizetype RecordStartAt(QStringView line, const RecordTags &tags, bool betweenRecords)
{
    if (line.startsWith(tags.start, Qt::CaseInsensitive))
        return 0;
    if (!tags.startAfterText)
        return -1;
    const QStringView trimmed = line.trimmed();
    if (!trimmed.endsWith(tags.start, Qt::CaseInsensitive))
        return -1;
    const qsizetype at = (trimmed.data() - line.data()) + trimmed.size() - tags.start.size();
    return betweenRecords || EndsRecord(line.first(at), tags) ? at : -1;
}

// Where a record begins, and whether anything but its tags is in it. Records
// without content count toward the bound like any other: a file of nothing
// but start lines is as long to walk as one of contacts.
struct RecordStart
{
    qsizetype line, offset; // of the start line
    int at;                 // of the tag in that line
    bool content;
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
    bool open = false, ended = false;
    qsizetype fields = 0, value = 0;
    LineWalk walk(text);
    QStringView line;
    for (; s.error.isEmpty() && walk.Next(line); ++s.lines) {
        qsizetype at = -1;
        if (line.size() > kMaxValueBytes) {
            s.error = TooLongMessage(QStringLiteral("A value"), kMaxValueBytes);
        } else if ((at = RecordStartAt(line, tags, !open || ended)) >= 0) {
            if (qsizetype(s.starts.size()) == kMaxRecords) {
                s.error = TooManyMessage(QStringLiteral("records"), kMaxRecords);
                break;
            }
            // "dn: cn=A" names its entry on the start line; "BEGIN:VCARD" holds nothing.
            open = true, ended = false, fields = 0, value = 0;
            const bool content = !line.sliced(at + tags.start.size()).trimmed().isEmpty();
            s.starts.push_back({s.lines, line.data() - text.data(), int(at), content});
        } else if (open && !ended && !line.isEmpty()) {
            ended = EndsRecord(line, tags);
            s.starts.back().content = s.starts.back().content || !ended;
            // Folded lines continue the value before them.
            const bool folded = line[0] == u' ' || line[0] == u'\t';
            value = folded ? value + line.size() : line.size();
            if (value > kMaxValueBytes)
                s.error = TooLongMessage(QStringLiteral("A value"), kMaxValueBytes);
            else if (!folded && ++fields > kMaxFieldsPerRecord)
                s.error = TooManyMessage(QStringLiteral("fields in one record"), kMaxFieldsPerRecord);
        }
    }
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
    TContactDataList &made; // by record number; null where refused or empty

    void Run(size_t from, size_t to, bool progress) const
    {
        const std::vector<RecordStart> &starts = survey.starts;
        // The first part walks the lines before the first record too, for progress.
        const qsizetype firstLine = from == 0 ? 0 : starts[from].line;
        const qsizetype lastLine = to < starts.size() ? starts[to].line : survey.lines;
        const double scale = lastLine > firstLine ? double(survey.lines) / double(lastLine) : 1.0;
        LineWalk walk(text, from == 0 ? 0 : starts[from].offset);
        QStringView line;
        qsizetype i = firstLine;
        RecordLines lines;
        for (size_t k = from; k < to; ++k) {
            const RecordStart &start = starts[k];
            const qsizetype end = k + 1 < starts.size() ? starts[k + 1].line : survey.lines;
            bool ended = false;
            lines.clear();
            for (; i < end && walk.Next(line); ++i) {
                if (progress)
                    contacts.ReportProgress(1, int(survey.lines - 1), int(double(i) * scale));
                if (i < start.line || !start.content || ended || line.isEmpty())
                    continue;
                lines.append(i == start.line ? line.sliced(start.at) : line);
                ended = EndsRecord(line, tags);
            }
            if (!start.content)
                continue;
            std::unique_ptr<TContactData> contact = contacts.NewContactData();
            if (read(lines, *contact))
                made[k] = std::move(contact);
        }
    }
};

// Counts the lines of the bytes that begin with the start tag, across pieces.
// Plain ASCII is enough: the tags are ASCII, and a file in UTF-16 is bounded
// by the survey of its text instead.
class StartCounter
{
public:
    explicit StartCounter(QLatin1StringView tag) : m_tag(tag) {}

    void Take(QByteArrayView bytes)
    {
        for (const char byte : bytes) {
            if (byte == '\n' || byte == '\r') {
                m_matched = 0;
            } else if (m_matched >= 0) {
                m_matched = AsciiLower(byte) == AsciiLower(m_tag[m_matched].toLatin1()) ? m_matched + 1 : -1;
                if (m_matched == m_tag.size()) {
                    ++m_count;
                    m_matched = -1;
                }
            }
        }
    }
    qsizetype Count() const { return m_count; }

private:
    static char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

    QLatin1StringView m_tag;
    qsizetype m_matched = 0; // characters of the tag seen at this line's start; -1 when it cannot start here
    qsizetype m_count = 0;
};

// A file of more record starts than the bound (empty cards, say) is refused
// after a look at its first part, before it is read whole and decoded.
bool TooManyStarts(const QString &path, const RecordTags &tags)
{
    StartCounter counter(tags.start);
    platform::ReadRegularFileInPieces(path, [&counter](QByteArrayView piece) {
        counter.Take(piece);
        return counter.Count() <= limits::kMaxRecords;
    });
    return counter.Count() > limits::kMaxRecords;
}

// Categories read from a file join the collection's list, as a book's do.
template <typename Records> void LearnCategories(TQorContacts &contacts, const Records &records)
{
    VocabularyGrower categories(contacts.Categories());
    for (const auto &record : records)
        if (record)
            categories.Add(record->Categories);
    if (categories.Grown())
        contacts.SetCategories(categories.Entries());
}

// Large files are read on two threads, each taking half of the records; every
// record is read alone into its own contact, so the result is the same.
constexpr size_t kRecordsWorthAThread = 2000;

int ImportText(TQorContacts &contacts, QStringView text, const RecordTags &tags, const RecordReader &read,
               const QString &name, bool progress)
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
    ForTwoHalves(count, kRecordsWorthAThread, [&](size_t from, size_t to) { walk.Run(from, to, progress && from == 0); });
    LearnCategories(contacts, made);
    return contacts.AppendImportedContactDataList(std::move(made));
}

int ReadRecordFile(TQorContacts &contacts, const QString &path, const RecordTags &tags, const RecordReader &read,
                   bool progress)
{
    if (!QFileInfo::exists(path))
        return 0;
    BusyCursor busy(contacts.Prompts());
    if (TooManyStarts(path, tags)) {
        contacts.Prompts().ShowError(QStringLiteral("\"%1\": %2").arg(
            path, limits::TooManyMessage(QStringLiteral("records"), limits::kMaxRecords)));
        return 0;
    }
    QString text;
    {
        QByteArray bytes;
        QString error;
        if (!textfile::ReadImportBytes(path, limits::kMaxFileBytes, bytes, error)) {
            contacts.Prompts().ShowError(QStringLiteral("\"%1\": %2").arg(path, error));
            return 0;
        }
        text = textfile::DecodeText(bytes);
    }
    return ImportText(contacts, text, tags, read, path, progress);
}

// Empty when saved, else the message that says why not.
QString SaveRecordFile(const QString &path, const QStringList &lines, const FileForm &form)
{
    const QStringList text = form.header.isEmpty() ? lines : QStringList{form.header, QString()} + lines;
    return textfile::SaveLines(path, text, form.encoding, form.lineEnd);
}

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
    return ImportText(contacts, text, tags, read, name, true);
}

int ImportRecordFile(TQorContacts &contacts, const QString &path, const RecordTags &tags, const RecordReader &read)
{
    return ReadRecordFile(contacts, path, tags, read, true);
}

bool WriteRecordFile(TQorContacts &contacts, const QString &path, const QStringList &lines, const FileForm &form)
{
    const QString error = SaveRecordFile(path, lines, form);
    if (!error.isEmpty())
        contacts.Prompts().ShowError(error);
    return error.isEmpty();
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

int ImportFolderFiles(TQorContacts &contacts, const QString &folder, const QString &pattern,
                      const std::function<int(const QString &)> &importFile, int &skipped)
{
    skipped = 0;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return 0;
    BusyCursor busy(contacts.Prompts());
    const QStringList files = folderfiles::List(folder, pattern);
    int added = 0;
    for (qsizetype i = 0; i < files.size(); ++i) {
        contacts.ReportProgress(0, int(files.size() - 1), int(i));
        const int read = importFile(files[i]);
        added += read;
        if (read > 0)
            continue;
        ++skipped;
        contacts.ReportError(files[i], QStringLiteral("Import"),
                             QStringLiteral("The file could not be read and was skipped."), skipped);
    }
    return added;
}

int ImportFolder(TQorContacts &contacts, const QString &folder, const QString &pattern,
                 const std::function<bool(TContactData *, const QString &)> &readFile, int &skipped)
{
    return ImportFolderFiles(
        contacts, folder, pattern,
        [&](const QString &path) {
            TContactData *contact = contacts.CreateContactData();
            if (!readFile(contact, path)) {
                contacts.DeleteContactData(contact);
                return 0;
            }
            LearnCategories(contacts, std::vector<const TContactData *>{contact});
            return 1;
        },
        skipped);
}

int ImportRecordFolder(TQorContacts &contacts, const QString &folder, const QString &pattern, const RecordTags &tags,
                       const RecordReader &read, int &skipped)
{
    // The folder's progress is by file, not by the lines of each.
    return ImportFolderFiles(
        contacts, folder, pattern,
        [&](const QString &path) { return ReadRecordFile(contacts, path, tags, read, false); }, skipped);
}

int ExportFolder(TQorContacts &contacts, const QString &folder, const QString &suffix, const FileForm &form,
                 const RecordWriter &write)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return 0;
    BusyCursor busy(contacts.Prompts());
    QSet<QString> used;
    int written = 0, failed = 0;
    QString firstError;
    const auto &list = contacts.ContactDataList();
    const int count = int(list.size());
    for (int i = 0; i < count; ++i) {
        contacts.ReportProgress(0, count - 1, i);
        const TContactData *contact = list[size_t(i)].get();
        if (!contact->Exportable)
            continue;
        const QString name = contacts.GetDisplayNameFromContactData(contact, dtInherited);
        const QString error = SaveRecordFile(folderfiles::UniquePath(folder, name, suffix, used), write(*contact), form);
        if (error.isEmpty())
            ++written;
        else if (++failed == 1)
            firstError = error;
    }
    // A folder that refuses one file usually refuses them all: one message, not one per contact.
    if (failed > 1)
        firstError += QStringLiteral(" %1 files could not be saved in all.").arg(failed);
    if (failed > 0)
        contacts.Prompts().ShowError(firstError);
    return written;
}

} // namespace cardolin::recordfiles
