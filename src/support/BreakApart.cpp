#include "support/BreakApart.h"

#include <algorithm>

namespace cardolin {

namespace {

const QChar kQuote = QLatin1Char('"');

bool IsWord(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

bool HasOddQuotes(const QString &piece)
{
    return piece.count(kQuote) % 2 == 1;
}

bool IsEnclosed(const QString &piece)
{
    return piece.size() >= 2 && piece.startsWith(kQuote) && piece.endsWith(kQuote);
}

QString Unenclosed(const QString &piece)
{
    return piece.mid(1, piece.size() - 2);
}

} // namespace

void TQorBreakApart::BreakApart()
{
    m_stringList.clear();
    Split();
    if (m_doubleQuoteMode)
        JoinQuotedPieces();
}

void TQorBreakApart::Split()
{
    // A separator made only of letters ("and") matches in any letter case unless
    // told otherwise; punctuation and blanks always match exactly.
    const Qt::CaseSensitivity cs =
        !m_caseSensitive && IsWord(m_breakString) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const auto append = [this](const QString &piece) {
        if (!piece.isEmpty() || m_allowEmptyString)
            m_stringList.append(piece);
    };
    qsizetype from = 0;
    if (!m_breakString.isEmpty()) {
        for (qsizetype at; (at = m_baseString.indexOf(m_breakString, from, cs)) >= 0;
             from = at + m_breakString.size())
            append(m_baseString.mid(from, at - from));
    }
    append(m_baseString.mid(from));
}

// Puts back together the pieces of a quoted field that the split cut at separators
// inside the quotes, e.g. "a,b",c -> [a,b] [c]. A quote that never closes swallows
// the rest of the text and keeps its opening quote.
void TQorBreakApart::JoinQuotedPieces()
{
    QStringList &pieces = m_stringList;
    bool open = false;
    qsizetype i = 0;
    while (i < pieces.size()) {
        if (pieces[i] == QStringLiteral("\"\"") && !m_allowEmptyString) {
            pieces.removeAt(i);
            if (i >= pieces.size())
                break;
        }
        const QString &piece = pieces[i];
        if (!open && HasOddQuotes(piece) && piece.startsWith(kQuote) && i + 1 < pieces.size()) {
            open = true;
            ++i;
        }
        if (open) {
            QString &joined = pieces[i - 1];
            joined += m_breakString + pieces[i];
            if (HasOddQuotes(pieces[i]) && pieces[i].endsWith(kQuote)) {
                joined = Unenclosed(joined);
                open = false;
            }
            pieces.removeAt(i);
            continue;
        }
        if (IsEnclosed(pieces[i]))
            pieces[i] = Unenclosed(pieces[i]);
        ++i;
    }
}

void TQorBreakApart::ReverseBreakApart()
{
    QString result;
    bool first = true;
    for (const QString &entry : std::as_const(m_stringList)) {
        if (entry.isEmpty() && !m_allowEmptyString)
            continue;
        if (!first)
            result += m_breakString;
        result += m_doubleQuoteMode ? kQuote + entry + kQuote : entry;
        first = false;
    }
    m_baseString = result;
}

} // namespace cardolin
