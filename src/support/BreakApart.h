#pragma once

#include <QStringList>

namespace cardolin {

// Cuts a text at every occurrence of a separator, and joins pieces back. In
// double-quote mode a piece in double quotes may hold the separator, which is how
// CSV records are split into fields.
class TQorBreakApart
{
public:
    bool AllowEmptyString() const { return m_allowEmptyString; }
    void SetAllowEmptyString(bool value) { m_allowEmptyString = value; }
    const QString &BreakString() const { return m_breakString; }
    void SetBreakString(const QString &value) { m_breakString = value; }
    const QString &BaseString() const { return m_baseString; }
    void SetBaseString(const QString &value) { m_baseString = value; }
    bool CaseSensitive() const { return m_caseSensitive; }
    void SetCaseSensitive(bool value) { m_caseSensitive = value; }
    bool DoubleQuoteMode() const { return m_doubleQuoteMode; }
    void SetDoubleQuoteMode(bool value) { m_doubleQuoteMode = value; }
    const QStringList &StringList() const { return m_stringList; }
    void SetStringList(const QStringList &value) { m_stringList = value; }

    // BaseString -> StringList.
    void BreakApart();
    // StringList -> BaseString.
    void ReverseBreakApart();

private:
    void Split();
    void JoinQuotedPieces();

    bool m_allowEmptyString = false;
    QString m_breakString;
    QString m_baseString;
    bool m_caseSensitive = false;
    bool m_doubleQuoteMode = false;
    QStringList m_stringList;
};

} // namespace cardolin
