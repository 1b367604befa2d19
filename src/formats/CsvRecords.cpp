#include "formats/CsvRecords.h"

#include "formats/CsvText.h"
#include "formats/TextFiles.h"

#include <algorithm>

namespace cardolin {

namespace {

constexpr char16_t kQuote = u'"';

QString RecordTooLongMessage()
{
    return limits::TooLongMessage(QStringLiteral("A record"), limits::kMaxValueBytes);
}

QString TooManyFieldsMessage()
{
    return limits::TooManyMessage(QStringLiteral("fields in one record"), limits::kMaxFieldsPerRecord);
}

} // namespace

// Walks the text line by line, moving each line's characters down to the end of
// the record it belongs to. The text never grows (a joined line gives up at
// least one line-break character for its marker), so the records end up as
// consecutive ranges of the same buffer.
class CsvAssembler
{
public:
    CsvAssembler(CsvRecordTexts &out, CsvLineRole role, const TQorContacts &contacts, QStringView separator)
        : m_out(out), m_role(role), m_contacts(contacts), m_separator(separator)
    {
    }

    void Run(QString whole, qsizetype mostRecords)
    {
        QString &text = m_out.m_text = std::move(whole);
        if (text.isEmpty())
            return;
        m_data = reinterpret_cast<char16_t *>(text.data());
        m_size = text.size();
        ScanLine(0);
        if (!StartRecord()) // the header
            return;
        for (qsizetype at = m_next; at < m_size; at = m_next) {
            ScanLine(at);
            if (!TakeLine())
                return;
            if (mostRecords >= 0 && m_out.size() > mostRecords) {
                m_out.m_ranges.pop_back(); // it may go on in lines not read
                break;
            }
        }
        CheckFields();
    }

private:
    // Finds the end of the line at `at` and counts its quotes and separators.
    void ScanLine(qsizetype at)
    {
        const char16_t separator = m_separator.size() == 1 ? m_separator.front().unicode() : u'\n';
        qsizetype quotes = 0, separators = 0, i = at;
        for (; i < m_size; ++i) {
            const char16_t c = m_data[i];
            if (c == u'\r' || c == u'\n')
                break;
            quotes += c == kQuote;
            separators += c == separator;
        }
        if (m_separator.size() > 1)
            separators = QStringView(m_data + at, i - at).count(m_separator);
        m_lineStart = at;
        m_lineEnd = i;
        m_lineQuotes = quotes;
        m_lineSeparators = separators;
        m_next = i < m_size && m_data[i] == u'\r' && i + 1 < m_size && m_data[i + 1] == u'\n' ? i + 2 : i + 1;
    }

    // False when a limit stops the reading.
    bool TakeLine()
    {
        const CsvLine role = m_role(m_contacts, QStringView(m_data + m_lineStart, m_lineEnd - m_lineStart));
        if (role == CsvLine::Blank && !m_open)
            return true;
        // The header is never continued.
        if (m_out.size() > 1 && (m_open || role != CsvLine::Starts))
            return ContinueRecord(role != CsvLine::ContinuesDirectly);
        if (m_out.size() > limits::kMaxRecords)
            return Fail(limits::TooManyMessage(QStringLiteral("records"), limits::kMaxRecords));
        return StartRecord();
    }

    bool StartRecord()
    {
        const qsizetype start = m_write;
        MoveLine();
        m_out.m_ranges.emplace_back(start, m_write);
        m_open = m_lineQuotes % 2 == 1;
        m_separators = m_lineSeparators;
        return CheckRecord();
    }

    bool ContinueRecord(bool marked)
    {
        if (marked)
            m_data[m_write++] = kLineJoinMarker.unicode();
        MoveLine();
        m_out.m_ranges.back().second = m_write;
        m_open = m_open != (m_lineQuotes % 2 == 1);
        m_separators += m_lineSeparators;
        return CheckRecord();
    }

    bool CheckRecord()
    {
        const auto &[start, end] = m_out.m_ranges.back();
        if (end - start > limits::kMaxValueBytes)
            return Fail(RecordTooLongMessage());
        // Only a record with that many separators can hold too many fields.
        const qsizetype last = m_out.size() - 1;
        if (m_separators >= limits::kMaxFieldsPerRecord && (m_suspects.empty() || m_suspects.back() != last))
            m_suspects.push_back(last);
        return true;
    }

    void MoveLine()
    {
        const qsizetype length = m_lineEnd - m_lineStart;
        if (m_write != m_lineStart)
            std::copy(m_data + m_lineStart, m_data + m_lineEnd, m_data + m_write);
        m_write += length;
    }

    // Splits only the records whose separators could make too many fields.
    void CheckFields()
    {
        std::vector<QStringView> fields;
        for (qsizetype i : m_suspects)
            if (i < m_out.size() && !SplitCSVFieldViews(m_out[i], m_separator, fields)) {
                Fail(TooManyFieldsMessage());
                return;
            }
    }

    bool Fail(const QString &error)
    {
        m_out.m_error = error;
        return false;
    }

    CsvRecordTexts &m_out;
    CsvLineRole m_role;
    const TQorContacts &m_contacts;
    QStringView m_separator;
    char16_t *m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_write = 0;
    qsizetype m_lineStart = 0, m_lineEnd = 0, m_next = 0, m_lineQuotes = 0, m_lineSeparators = 0;
    qsizetype m_separators = 0; // of the last record so far
    bool m_open = false;        // the last record holds a quoted field not yet closed
    std::vector<qsizetype> m_suspects;
};

QString ReadCSVText(const QString &path, QString &error)
{
    QByteArray bytes;
    if (!textfile::ReadImportBytes(path, limits::kMaxFileBytes, bytes, error))
        return {};
    return textfile::DecodeText(bytes);
}

QStringView FirstCSVLine(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u'\r' || text[i] == u'\n')
            return text.left(i);
    return text;
}

CsvRecordTexts AssembleCSVText(QString text, CsvLineRole role, const TQorContacts &contacts, QStringView separator,
                               qsizetype mostRecords)
{
    CsvRecordTexts records;
    CsvAssembler(records, role, contacts, separator).Run(std::move(text), mostRecords);
    return records;
}

bool SplitCSVFieldViews(QStringView record, QStringView separator, std::vector<QStringView> &fields,
                        qsizetype mostFields)
{
    fields.clear();
    const char16_t *p = record.utf16();
    const qsizetype size = record.size(), step = qMax<qsizetype>(separator.size(), 1);
    const char16_t first = separator.isEmpty() ? 0 : separator.front().unicode();
    const auto separatorAt = [&](qsizetype i) {
        return !separator.isEmpty() && p[i] == first && (step == 1 || record.mid(i).startsWith(separator));
    };
    bool open = false;
    qsizetype start = 0, openStart = 0, quotes = 0;
    for (qsizetype i = 0;; ++i) {
        const bool end = i >= size;
        if (!end && !separatorAt(i)) {
            quotes += p[i] == kQuote;
            continue;
        }
        // The piece [start, i).
        const bool odd = quotes % 2 == 1;
        if (open) {
            if (odd && p[i - 1] == kQuote) {
                fields.back() = QStringView(p + openStart + 1, i - openStart - 2);
                open = false;
            } else {
                fields.back() = QStringView(p + openStart, i - openStart);
            }
        } else {
            if (qsizetype(fields.size()) >= mostFields)
                return false;
            if (odd && p[start] == kQuote && !end) {
                open = true;
                openStart = start;
                fields.emplace_back(p + start, i - start);
            } else if (i - start >= 2 && p[start] == kQuote && p[i - 1] == kQuote) {
                fields.emplace_back(p + start + 1, i - start - 2);
            } else {
                fields.emplace_back(p + start, i - start);
            }
        }
        if (end)
            return true;
        i += step - 1;
        start = i + 1;
        quotes = 0;
    }
}

QString UnquotedCSVValue(QStringView field)
{
    if (field.size() >= 2 && field.front() == field.back()
        && (field.front() == QLatin1Char('"') || field.front() == QLatin1Char('\''))) {
        if (field.size() == 2)
            return {};
        field = field.mid(1, field.size() - 2);
    }
    qsizetype doubled = -1;
    for (qsizetype at = 0; (at = field.indexOf(QLatin1Char('"'), at)) >= 0 && at + 1 < field.size(); at += 2)
        if (field[at + 1] == QLatin1Char('"')) {
            doubled = at;
            break;
        }
    if (doubled < 0)
        return field.toString();
    QString value;
    value.reserve(field.size());
    value += field.left(doubled);
    for (qsizetype i = doubled; i < field.size(); ++i) {
        value += field[i];
        if (field[i] == QLatin1Char('"') && i + 1 < field.size() && field[i + 1] == QLatin1Char('"'))
            ++i;
    }
    return value;
}

bool AllCSVValuesEmpty(const std::vector<QStringView> &fields)
{
    for (QStringView field : fields) {
        if (field.isEmpty())
            continue;
        if (field.size() != 2 || field.front() != field.back()
            || (field.front() != QLatin1Char('"') && field.front() != QLatin1Char('\'')))
            return false;
    }
    return true;
}

} // namespace cardolin
