// One pass over a book's bytes that finds, before any parser builds anything,
// whether it keeps the bounds every book must keep. It follows the markup only
// as far as needed to count elements, attributes and value lengths; whatever it
// does not understand is left to the parser to reject.

#include "contacts/BookFileParts.h"
#include "support/ReadLimits.h"

#include <cstring>

namespace cardolin::bookfile::parts {

namespace {

class BoundsScan
{
public:
    explicit BoundsScan(QByteArrayView bytes) : m_at(bytes.data()), m_end(bytes.data() + bytes.size()) {}

    QString Run()
    {
        while (Find('<')) {
            ++m_at;
            if (Skip("!--", "-->") || Skip("![CDATA[", "]]>") || Skip("?", "?>"))
                continue;
            if (m_at < m_end && *m_at == '!') {
                SkipDeclaration();
            } else if (m_at < m_end && *m_at == '/') {
                --m_depth;
                Find('>');
            } else if (!StartTag()) {
                return m_error;
            }
        }
        return {};
    }

private:
    bool Find(char c)
    {
        if (m_at >= m_end)
            return false;
        const void *hit = std::memchr(m_at, c, size_t(m_end - m_at));
        m_at = hit ? static_cast<const char *>(hit) : m_end;
        return hit != nullptr;
    }

    bool StartsWith(const char *text) const
    {
        const size_t n = std::strlen(text);
        return size_t(m_end - m_at) >= n && std::memcmp(m_at, text, n) == 0;
    }

    // Comments, character data and processing instructions: skipped whole.
    bool Skip(const char *open, const char *close)
    {
        if (!StartsWith(open))
            return false;
        m_at += std::strlen(open);
        const QByteArrayView rest(m_at, m_end - m_at);
        const qsizetype found = rest.indexOf(QByteArrayView(close));
        m_at = found < 0 ? m_end : m_at + found + std::strlen(close);
        return true;
    }

    // A document type declaration: its internal subset may hold '>' in brackets
    // and quotes.
    void SkipDeclaration()
    {
        int brackets = 0;
        for (char quote = 0; m_at < m_end; ++m_at) {
            const char c = *m_at;
            if (quote)
                quote = c == quote ? 0 : quote;
            else if (c == '"' || c == '\'')
                quote = c;
            else if (c == '[')
                ++brackets;
            else if (c == ']')
                --brackets;
            else if (c == '>' && brackets <= 0)
                return;
        }
    }

    bool StartTag()
    {
        if (++m_depth > limits::kMaxNestingDepth)
            return Fail(limits::TooManyMessage(QStringLiteral("levels of nested elements"),
                                               limits::kMaxNestingDepth));
        const char *name = m_at;
        while (m_at < m_end && !IsSpace(*m_at) && *m_at != '/' && *m_at != '>')
            ++m_at;
        const bool contact = QByteArrayView(name, m_at - name) == QByteArrayView("QorContact");
        qsizetype attributes = 0;
        while (m_at < m_end) {
            const char c = *m_at;
            if (c == '>') {
                break;
            } else if (c == '/' && m_at + 1 < m_end && m_at[1] == '>') {
                --m_depth;
                break;
            } else if (c == '=') {
                if (++attributes > limits::kMaxFieldsPerRecord)
                    return Fail(limits::TooManyMessage(QStringLiteral("attributes in one element"),
                                                       limits::kMaxFieldsPerRecord));
            } else if (c == '"' || c == '\'') {
                const char *open = ++m_at;
                const bool closed = Find(c);
                if (m_at - open > limits::kMaxValueBytes)
                    return Fail(limits::TooLongMessage(QStringLiteral("A value"), limits::kMaxValueBytes));
                if (!closed)
                    break; // the parser will say what is wrong
            }
            ++m_at;
        }
        if (contact && attributes > 0 && ++m_records > limits::kMaxRecords)
            return Fail(limits::TooManyMessage(QStringLiteral("contacts"), limits::kMaxRecords));
        return true;
    }

    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

    bool Fail(const QString &why)
    {
        m_error = why;
        return false;
    }

    const char *m_at;
    const char *const m_end;
    int m_depth = 0;
    qsizetype m_records = 0;
    QString m_error;
};

} // namespace

QString CheckBounds(QByteArrayView bytes)
{
    if (bytes.size() > limits::kMaxFileBytes)
        return limits::TooLongMessage(QStringLiteral("The file"), limits::kMaxFileBytes);
    return BoundsScan(bytes).Run();
}

} // namespace cardolin::bookfile::parts
