#include "support/BreakApart.h"

#include <algorithm>
#include <utility>

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
// the rest of the text and keeps its opening quote. Builds a new list rather than
// removing in place, so that a line of a million separators stays linear.
void TQorBreakApart::JoinQuotedPieces()
{
    QStringList pieces = std::exchange(m_stringList, {});
    m_stringList.reserve(pieces.size());
    bool open = false;
    bool justOpened = false;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        QString &piece = pieces[i];
        // The piece right after an opening one is always joined, even an empty "".
        if (!justOpened && piece == QStringLiteral("\"\"") && !m_allowEmptyString)
            continue;
        justOpened = false;
        if (open) {
            QString &joined = m_stringList.last();
            joined += m_breakString + piece;
            if (HasOddQuotes(piece) && piece.endsWith(kQuote)) {
                joined = Unenclosed(joined);
                open = false;
            }
        } else if (HasOddQuotes(piece) && piece.startsWith(kQuote) && i + 1 < pieces.size()) {
            m_stringList.append(std::move(piece));
            open = justOpened = true;
        } else {
            if (IsEnclosed(piece)) {
                // In place: the piece is ours alone, so this copies nothing.
                piece.chop(1);
                piece.remove(0, 1);
            }
            m_stringList.append(std::move(piece));
        }
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
