// Writes a book as UTF-8 straight into one buffer, handed to the device a large
// piece at a time: a stream writer per attribute cost more than the whole scan.

#include "contacts/BookFileParts.h"
#include "contacts/ContactsBookFile.h"

#include <QIODevice>

namespace cardolin::bookfile {

namespace {

using namespace parts;

// Bytes gathered before they go to the device.
constexpr qsizetype kChunkBytes = qsizetype(1) << 20;

class BookWriter
{
public:
    explicit BookWriter(QIODevice &device) : m_device(device) { m_out.reserve(kChunkBytes + 64 * 1024); }

    void Raw(const char *text) { m_out.append(text); }
    void Raw(const QByteArray &bytes) { m_out.append(bytes); }

    // Escapes as XML attribute text. Characters XML 1.0 cannot carry, not even
    // escaped, are left out (a pasted control character would make the whole
    // book unreadable); a lone surrogate becomes U+FFFD.
    void Escaped(QStringView text)
    {
        const char16_t *c = text.utf16();
        const char16_t *const end = c + text.size();
        for (; c < end; ++c) {
            const char16_t u = *c;
            if (u < 0x80) {
                Ascii(u);
            } else if (u < 0x800) {
                m_out.append(char(0xC0 | (u >> 6)));
                m_out.append(char(0x80 | (u & 0x3F)));
            } else if (QChar::isHighSurrogate(u) && c + 1 < end && QChar::isLowSurrogate(c[1])) {
                const char32_t code = QChar::surrogateToUcs4(u, c[1]);
                ++c;
                const char bytes[4] = {char(0xF0 | (code >> 18)), char(0x80 | ((code >> 12) & 0x3F)),
                                       char(0x80 | ((code >> 6) & 0x3F)), char(0x80 | (code & 0x3F))};
                m_out.append(bytes, 4);
            } else if (QChar::isSurrogate(u)) {
                m_out.append("\xEF\xBF\xBD", 3);
            } else if (u < 0xFFFE) {
                const char bytes[3] = {char(0xE0 | (u >> 12)), char(0x80 | ((u >> 6) & 0x3F)),
                                       char(0x80 | (u & 0x3F))};
                m_out.append(bytes, 3);
            }
        }
    }

    void Attribute(QLatin1StringView name, QStringView value)
    {
        AttributeStart(name);
        Escaped(value);
        m_out.append('"');
    }

    void AttributeStart(QLatin1StringView name)
    {
        m_out.append(' ');
        m_out.append(name.data(), name.size());
        m_out.append("=\"", 2);
    }

    void Digits(int value, int width)
    {
        char text[12];
        int n = 0;
        for (; value > 0 || n < width; value /= 10)
            text[n++] = char('0' + value % 10);
        while (n > 0)
            m_out.append(text[--n]);
    }

    // Hands what was gathered to the device once it is large; false when the
    // device failed.
    bool Flush(bool force)
    {
        if (m_out.size() < kChunkBytes && !force)
            return true;
        const bool ok = m_device.write(m_out) == m_out.size();
        m_out.resize(0);
        return ok;
    }

private:
    void Ascii(char16_t u)
    {
        switch (u) {
        case '<': m_out.append("&lt;", 4); break;
        case '>': m_out.append("&gt;", 4); break;
        case '&': m_out.append("&amp;", 5); break;
        case '"': m_out.append("&quot;", 6); break;
        case '\t': m_out.append("&#9;", 4); break;
        case '\n': m_out.append("&#10;", 5); break;
        case '\r': m_out.append("&#13;", 5); break;
        default:
            if (u >= 0x20)
                m_out.append(char(u));
        }
    }

    QIODevice &m_device;
    QByteArray m_out;
};

// Only four-digit years can be read back; a date beyond them (set by some import)
// is left out rather than making the whole book unreadable.
bool WritableParts(TDateTime serial, QDate &date, int &msOfDay)
{
    return serial != 0 && SerialToUtcParts(serial, date, msOfDay) && date.isValid() && date.year() >= 1
           && date.year() <= 9999;
}

void WriteDate(BookWriter &out, QDate date)
{
    out.Digits(date.year(), 4);
    out.Raw("-");
    out.Digits(date.month(), 2);
    out.Raw("-");
    out.Digits(date.day(), 2);
}

void WriteField(BookWriter &out, const ContactField &field, const TContactData &contact)
{
    QDate date;
    int ms = 0;
    switch (field.kind) {
    case FieldKind::Text:
        if (const QString &text = FieldRef<QString>(contact, field); !text.isEmpty())
            out.Attribute(field.name, text);
        break;
    case FieldKind::Date:
        if (WritableParts(FieldRef<TDateTime>(contact, field), date, ms)) {
            out.AttributeStart(field.name);
            WriteDate(out, date);
            out.Raw("\"");
        }
        break;
    case FieldKind::DateTime:
        if (WritableParts(FieldRef<TDateTime>(contact, field), date, ms)) {
            out.AttributeStart(field.name);
            WriteDate(out, date);
            const int seconds = ms / 1000;
            out.Raw("T");
            out.Digits(seconds / 3600, 2);
            out.Raw(":");
            out.Digits(seconds / 60 % 60, 2);
            out.Raw(":");
            out.Digits(seconds % 60, 2);
            out.Raw("Z\"");
        }
        break;
    case FieldKind::Integer:
        out.AttributeStart(field.name);
        out.Raw(QByteArray::number(FieldRef<int>(contact, field)));
        out.Raw("\"");
        break;
    case FieldKind::Lines:
        if (const QStringList &lines = FieldRef<QStringList>(contact, field); !lines.isEmpty()) {
            out.AttributeStart(field.name);
            for (qsizetype i = 0; i < lines.size(); ++i) {
                if (i > 0)
                    out.Raw("\xC2\xA4"); // "¤" in UTF-8
                out.Escaped(lines[i]);
            }
            out.Raw("\"");
        }
        break;
    case FieldKind::SortedList:
        if (const auto &list = FieldRef<TSortedStringList>(contact, field); !list.IsEmpty()) {
            out.AttributeStart(field.name);
            for (qsizetype i = 0; i < list.Count(); ++i) {
                if (i > 0)
                    out.Raw(";");
                out.Escaped(list[i]);
            }
            out.Raw("\"");
        }
        break;
    case FieldKind::Boolean:
    case FieldKind::Photo:
        break; // transient, never stored
    }
}

} // namespace

bool Write(const TQorContacts &contacts, QIODevice &device)
{
    BookWriter out(device);
    const QByteArray root = TQorContacts::RootElementName().toUtf8();
    out.Raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<");
    out.Raw(root);
    out.Raw(">\n");
    const auto &records = contacts.ContactDataList();
    if (records.empty()) {
        out.Raw("    <QorContacts/>\n");
    } else {
        out.Raw("    <QorContacts>\n");
        // The window shows how far a long save has come.
        TQorContacts &reporter = const_cast<TQorContacts &>(contacts);
        const int count = int(records.size());
        int written = 0;
        for (const auto &contact : records) {
            if (written++ % kProgressStep == 0)
                reporter.ReportProgress(0, count, written);
            out.Raw("        <QorContact");
            for (const ContactField *field : Stored())
                WriteField(out, *field, *contact);
            out.Raw("/>\n");
            if (!out.Flush(false))
                return false; // the device failed; no point writing the rest
        }
        out.Raw("    </QorContacts>\n");
    }
    out.Raw("</");
    out.Raw(root);
    out.Raw(">\n");
    return out.Flush(true);
}

} // namespace cardolin::bookfile
