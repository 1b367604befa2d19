#include "online/NoteLinks.h"

#include <QStringList>

namespace cardolin {

namespace {

QStringList WordsOf(const QString &text)
{
    return text.split(u' ', Qt::SkipEmptyParts);
}

QString FirstWordContaining(const QString &text, QStringView part)
{
    for (const QString &word : WordsOf(text))
        if (word.contains(part))
            return word;
    return {};
}

QString WithoutParentheses(QString word)
{
    if (word.startsWith(u'('))
        word.remove(0, 1);
    if (word.endsWith(u')'))
        word.chop(1);
    return word;
}

} // namespace

QString ExtractURL(const QString &AString)
{
    return FirstWordContaining(AString, u"://");
}

QString ExtractEmailAddress(const QString &AString)
{
    const QString word = FirstWordContaining(AString, u"@");
    return word.isEmpty() ? word : WithoutParentheses(word);
}

QString ExtractSkypeAccount(const QString &AString)
{
    const QLatin1StringView skype("skype");
    if (!AString.contains(skype, Qt::CaseInsensitive))
        return {};
    const qsizetype colon = AString.indexOf(u':');
    for (const QString &word : WordsOf(colon < 0 ? AString : AString.mid(colon + 1)))
        if (!word.contains(skype, Qt::CaseInsensitive))
            return WithoutParentheses(word);
    return {};
}

} // namespace cardolin
