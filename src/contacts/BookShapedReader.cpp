// The reader for books laid out the way this program writes them: one scan over
// the UTF-8 bytes, each attribute decoded straight into its field, the two halves
// of a large book on two threads. At the first thing it does not expect it gives
// up, and the general reader reads the book instead.

#include "contacts/BookFileParts.h"
#include "support/TwoHalves.h"

#include <QHash>

#include <cstring>
#include <vector>

namespace cardolin::bookfile::parts {

namespace {

// Below this a second thread costs more than it saves.
constexpr qsizetype kSplitBytes = qsizetype(4) << 20;
// Values this short are shared between records, up to so many per field.
constexpr qsizetype kSharedBytes = 24;
constexpr size_t kSharedPerField = 256;
// Lookups after which a field whose values rarely repeat stops sharing them.
constexpr int kSharingTrial = 1024;

enum ByteClass : unsigned char { kPlain, kQuote, kEntity, kStop, kHigh };

constexpr std::array<unsigned char, 256> MakeClasses()
{
    std::array<unsigned char, 256> classes{};
    for (int b = 0; b < 0x20; ++b)
        classes[size_t(b)] = kStop; // control characters, and white space the parser would normalise
    for (int b = 0x80; b < 0x100; ++b)
        classes[size_t(b)] = kHigh;
    classes['"'] = kQuote;
    classes['&'] = kEntity;
    classes['<'] = kStop;
    return classes;
}
constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
           || (c >= 0x10000 && c <= 0x10FFFF);
}

void AppendUtf8(QByteArray &out, char32_t c)
{
    const char32_t text[1] = {c};
    out += QString::fromUcs4(text, 1).toUtf8();
}

class Scanner
{
public:
    Scanner(const char *from, const char *to, const TContactData &prototype)
        : m_at(from), m_begin(from), m_end(to), m_prototype(prototype)
    {
    }

    bool Records(TContactDataList &records, const Progress &progress)
    {
        for (qsizetype read = 0;; ++read) {
            SkipSpace();
            if (m_at == m_end)
                return true;
            if (!Take("<QorContact") || !Record(records))
                return false;
            if (progress && read % kProgressStep == 0)
                progress(m_at - m_begin, m_end - m_begin);
        }
    }

    // Accepts the fixed text and moves past it.
    template <size_t N> bool Take(const char (&text)[N])
    {
        constexpr size_t n = N - 1;
        if (size_t(m_end - m_at) < n || std::memcmp(m_at, text, n) != 0)
            return false;
        m_at += n;
        return true;
    }
    bool Take(QByteArrayView text)
    {
        if (m_end - m_at < text.size() || std::memcmp(m_at, text.data(), size_t(text.size())) != 0)
            return false;
        m_at += text.size();
        return true;
    }

    void SkipSpace()
    {
        while (m_at < m_end && IsSpace(*m_at))
            ++m_at;
    }

    // A plain element name, as the root's is.
    QByteArrayView Name()
    {
        const char *start = m_at;
        while (m_at < m_end && (IsLetter(*m_at) || *m_at == '_'
                                || (m_at > start && ((*m_at >= '0' && *m_at <= '9') || *m_at == '-' || *m_at == '.'))))
            ++m_at;
        return {start, m_at - start};
    }

    const char *At() const { return m_at; }

private:
    bool Record(TContactDataList &records)
    {
        std::array<QString, kStoredCount> values;
        std::array<bool, kStoredCount> present{};
        const auto &names = StoredNameBytes();
        size_t next = 0;
        bool any = false;
        for (;;) {
            const char *before = m_at;
            SkipSpace();
            if (Take("/>"))
                break;
            if (m_at == before)
                return false; // attributes are parted by white space
            const char *name = m_at;
            while (m_at < m_end && IsLetter(*m_at))
                ++m_at;
            const QByteArrayView nameView(name, m_at - name);
            const size_t slot = next < kStoredCount && nameView == names[next] ? next : SlotOf(nameView);
            // Unknown, repeated or out-of-order attributes are for the general reader.
            if (slot >= kStoredCount || slot < next || !Take("=\"") || !Value(slot, values[slot]))
                return false;
            present[slot] = true;
            next = slot + 1;
            any = true;
        }
        if (!any)
            return true; // an element without fields is no contact
        auto record = std::make_unique<TContactData>(m_prototype);
        const StoredFields &stored = Stored();
        QString why;
        for (size_t i = 0; i < kStoredCount; ++i) {
            const ContactField &field = *stored[i];
            if (field.kind == FieldKind::Text)
                FieldRef<QString>(*record, field) = std::move(values[i]);
            else if (!AssignField(field, present[i], values[i], *record, why))
                return false;
        }
        records.push_back(std::move(record));
        return true;
    }

    static size_t SlotOf(QByteArrayView name)
    {
        static const QHash<QByteArray, size_t> slots = [] {
            QHash<QByteArray, size_t> result;
            for (size_t i = 0; i < kStoredCount; ++i)
                result.insert(StoredNameBytes()[i], i);
            return result;
        }();
        return slots.value(name.toByteArray(), kStoredCount);
    }

    // An attribute value up to its closing quote.
    bool Value(size_t slot, QString &value)
    {
        const char *start = m_at;
        bool high = false, entities = false;
        SkipPlain();
        for (;; ++m_at) {
            if (m_at == m_end)
                return false;
            const unsigned char kind = kClasses[static_cast<unsigned char>(*m_at)];
            if (kind == kPlain)
                continue;
            if (kind == kQuote)
                break;
            if (kind == kStop)
                return false;
            high |= kind == kHigh;
            entities |= kind == kEntity;
        }
        const QByteArrayView raw(start, m_at - start);
        ++m_at;
        if (!entities) {
            if (const QString *shared = Shared(slot, raw)) {
                value = *shared;
                return true;
            }
            value = QString::fromUtf8(raw);
            if (high && !Clean(value))
                return false;
            Share(slot, raw, value);
            return true;
        }
        QByteArray decoded;
        return Decode(raw, decoded) && Clean(value = QString::fromUtf8(decoded));
    }

    // Text that came out of the UTF-8 decoder whole: no replacement for a bad
    // sequence, no character XML forbids.
    // Eight bytes at a time past plain ASCII: none of them a quote, an ampersand,
    // a '<', a control character or a byte of a longer UTF-8 sequence.
    void SkipPlain()
    {
        constexpr quint64 ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
        const auto hasByte = [](quint64 word, unsigned char b) {
            const quint64 x = word ^ (ones * b);
            return (x - ones) & ~x & highs;
        };
        while (m_end - m_at >= 8) {
            quint64 word;
            std::memcpy(&word, m_at, 8);
            if (((word - ones * 0x20) | word | hasByte(word, '"') | hasByte(word, '&') | hasByte(word, '<'))
                & highs)
                return;
            m_at += 8;
        }
    }

    // Short values repeat across a book (names, towns, countries, the defaults):
    // each field keeps one copy of the first ones it meets.
    const QString *Shared(size_t slot, QByteArrayView raw)
    {
        if (raw.size() > kSharedBytes || m_sharing[slot].off)
            return nullptr;
        const SharedValue &entry = Entry(slot, raw);
        const bool hit = entry.key.size() == raw.size() && !entry.value.isNull()
                         && std::memcmp(entry.key.data(), raw.data(), size_t(raw.size())) == 0;
        Sharing &sharing = m_sharing[slot];
        sharing.hits += hit;
        // A field whose values hardly repeat (telephones, addresses) stops
        // looking: the lookups would cost more than they save.
        if (++sharing.lookups == kSharingTrial && sharing.hits < kSharingTrial / 8) {
            sharing.off = true;
            m_shared[slot] = {};
        }
        return hit ? &entry.value : nullptr;
    }

    void Share(size_t slot, QByteArrayView raw, const QString &value)
    {
        if (raw.size() > kSharedBytes || m_sharing[slot].off)
            return;
        SharedValue &entry = Entry(slot, raw);
        if (entry.value.isNull())
            entry = {raw, value};
    }

    struct Sharing
    {
        int lookups = 0;
        int hits = 0;
        bool off = false;
    };

    struct SharedValue
    {
        QByteArrayView key; // into the book's bytes, which outlive the scan
        QString value;
    };

    // A small table per field, one place per hash, first come first kept.
    SharedValue &Entry(size_t slot, QByteArrayView raw)
    {
        std::vector<SharedValue> &table = m_shared[slot];
        if (table.empty())
            table.resize(kSharedPerField);
        quint32 hash = 2166136261u;
        for (char c : raw)
            hash = (hash ^ quint8(c)) * 16777619u;
        return table[hash % kSharedPerField];
    }

    static bool Clean(const QString &value)
    {
        for (QChar c : value)
            if (c.unicode() >= 0xFFFD)
                return false;
        return true;
    }

    static bool Decode(QByteArrayView raw, QByteArray &out)
    {
        out.reserve(raw.size());
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] != '&') {
                out.append(raw[i]);
                continue;
            }
            const qsizetype semicolon = raw.indexOf(';', i);
            if (semicolon < 0)
                return false;
            const QByteArrayView entity = raw.sliced(i + 1, semicolon - i - 1);
            i = semicolon;
            if (entity == "lt")
                out.append('<');
            else if (entity == "gt")
                out.append('>');
            else if (entity == "amp")
                out.append('&');
            else if (entity == "quot")
                out.append('"');
            else if (entity == "apos")
                out.append('\'');
            else if (!CharacterReference(entity, out))
                return false;
        }
        return true;
    }

    static bool CharacterReference(QByteArrayView entity, QByteArray &out)
    {
        if (entity.size() < 2 || entity.size() > 9 || entity[0] != '#')
            return false;
        const bool hex = entity[1] == 'x';
        const QByteArrayView digits = entity.sliced(hex ? 2 : 1);
        char32_t code = 0;
        for (char c : digits) {
            const int digit = c >= '0' && c <= '9' ? c - '0'
                              : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                            : -1;
            if (digit < 0)
                return false;
            code = code * (hex ? 16 : 10) + char32_t(digit);
        }
        if (digits.isEmpty() || !IsXmlChar(code))
            return false;
        AppendUtf8(out, code);
        return true;
    }

    const char *m_at;
    const char *const m_begin;
    const char *const m_end;
    const TContactData &m_prototype;
    std::array<std::vector<SharedValue>, kStoredCount> m_shared;
    std::array<Sharing, kStoredCount> m_sharing;
};

// Finds where the records lie: between "<QorContacts>" after the declaration and
// the root's start tag, and "</QorContacts>" before the root's end tag.
bool Frame(const QByteArray &bytes, const char *&from, const char *&to)
{
    const TContactData none;
    Scanner head(bytes.constData(), bytes.constData() + bytes.size(), none);
    head.Take("\xEF\xBB\xBF");
    if (!head.Take("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"))
        return false;
    head.SkipSpace();
    if (!head.Take("<"))
        return false;
    const QByteArrayView root = head.Name();
    if (root.isEmpty() || !head.Take(">"))
        return false;
    head.SkipSpace();
    const bool empty = head.Take("<QorContacts/>");
    if (!empty && !head.Take("<QorContacts>"))
        return false;
    from = head.At();
    // The end, read backwards: white space, the root's end tag, white space, the
    // end of the contacts element.
    const QByteArray rootEnd = "</" + root.toByteArray() + ">";
    const QByteArrayView contactsEnd = empty ? QByteArrayView() : QByteArrayView("</QorContacts>");
    qsizetype end = bytes.size();
    while (end > 0 && IsSpace(bytes[end - 1]))
        --end;
    if (!QByteArrayView(bytes).first(end).endsWith(rootEnd))
        return false;
    end -= rootEnd.size();
    while (end > 0 && IsSpace(bytes[end - 1]))
        --end;
    if (!QByteArrayView(bytes).first(end).endsWith(contactsEnd))
        return false;
    to = bytes.constData() + end - contactsEnd.size();
    return to >= from && (!empty || to == from);
}

} // namespace

bool ReadShaped(const QByteArray &bytes, const TContactData &prototype, TContactDataList &records,
                const Progress &progress)
{
    const char *from = nullptr, *to = nullptr;
    if (!Frame(bytes, from, to))
        return false;
    // The second half starts at a tag: a '<' cannot stand inside a value this
    // reader takes, so if both halves read, they read as one scan would.
    const char *split = to;
    if (to - from >= kSplitBytes) {
        const void *tag = std::memchr(from + (to - from) / 2, '<', size_t(to - (from + (to - from) / 2)));
        split = tag ? static_cast<const char *>(tag) : to;
    }
    TContactDataList second;
    bool firstOk = true, secondOk = true;
    RunBoth([&] { firstOk = Scanner(from, split, prototype).Records(records, progress); },
            [&] { secondOk = split == to || Scanner(split, to, prototype).Records(second, {}); },
            SecondThreadPays(split < to));
    if (!firstOk || !secondOk) {
        records.clear();
        return false;
    }
    records.reserve(records.size() + second.size());
    for (auto &record : second)
        records.push_back(std::move(record));
    return true;
}

} // namespace cardolin::bookfile::parts
