#include "formats/VCardProperties.h"

#include "support/ReadLimits.h"

#include <QSet>
#include <QStringDecoder>

#include <cstring>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>

namespace cardolin::vcard {

namespace {

constexpr QLatin1StringView L(const char *text)
{
    return QLatin1StringView(text);
}

// A value longer than the bound is cut (a file of many cards is refused before
// it gets here); nothing a contact holds comes near it, and a hostile file
// cannot grow one line without bound.
constexpr qsizetype kMaxLogicalLine = limits::kMaxValueBytes;

// Position of the colon that ends the name and parameters; colons inside a
// quoted parameter value do not count.
qsizetype HeaderEnd(QStringView line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'"')
            quoted = !quoted;
        else if (line[i] == u':' && !quoted)
            return i;
    }
    return -1;
}

bool IsNameChar(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_';
}

// "item1.TEL" or "TEL" before the first ";" or ":"; empty when the line does
// not start with such a token (a note's "Lunch at 12:30" does not).
QStringView NameToken(QStringView line)
{
    const qsizetype end = HeaderEnd(line);
    if (end <= 0)
        return {};
    qsizetype stop = 0;
    int dots = 0;
    while (stop < end && line[stop] != u';') {
        const QChar c = line[stop];
        if (c == u'.')
            ++dots;
        else if (!IsNameChar(c))
            return {};
        ++stop;
    }
    if (stop == 0 || dots > 1 || line[stop - 1] == u'.' || line[0] == u'.')
        return {};
    return line.left(stop);
}

QStringView WithoutGroup(QStringView token)
{
    const qsizetype dot = token.indexOf(u'.');
    return dot < 0 ? token : token.mid(dot + 1);
}

bool IsPropertyLine(QStringView line)
{
    return !NameToken(line).isEmpty();
}

// After a quoted-printable soft line break the next line belongs to the value,
// unless it plainly starts a property of its own (a writer that ended a value
// with "=" by mistake).
bool StartsKnownProperty(QStringView line)
{
    static const QSet<QString> kNames = [] {
        QSet<QString> names;
        for (const char *n : {"BEGIN", "END", "VERSION", "N", "FN", "NICKNAME", "PHOTO", "BDAY", "ADR", "LABEL", "TEL",
                              "EMAIL", "MAILER", "TZ", "GEO", "TITLE", "ROLE", "LOGO", "AGENT", "ORG", "NOTE", "REV",
                              "SOUND", "URL", "UID", "KEY", "CATEGORIES", "PRODID", "SORT-STRING", "CLASS", "NAME",
                              "PROFILE", "SOURCE", "IMPP", "GENDER", "ANNIVERSARY", "KIND", "LANG", "RELATED", "MEMBER"})
            names.insert(QString::fromLatin1(n));
        return names;
    }();
    const QStringView name = WithoutGroup(NameToken(line));
    if (name.isEmpty())
        return false;
    if (name.compare(L("END"), Qt::CaseInsensitive) == 0 || name.compare(L("BEGIN"), Qt::CaseInsensitive) == 0)
        return true;
    return name.toString() == name.toString().toUpper()
           && (name.startsWith(L("X-")) || kNames.contains(name.toString()));
}

QStringView Unquoted(QStringView text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.sliced(1, text.size() - 2);
    return text;
}

// Calls take with each piece of text cut at separator; separators inside
// double quotes do not cut.
template <typename Take> void ForEachOutsideQuotes(QStringView text, QChar separator, Take take)
{
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"')
            quoted = !quoted;
        else if (c == separator && !quoted) {
            take(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    take(text.sliced(start));
}

// The words that names, types and parameters are made of in nearly every
// card, kept once: a card of thirty properties then needs no string of its own
// for any of them. Their text is static, so copies of them count no
// references, which the two threads reading one file would contend for.
const std::unordered_map<std::string_view, QString> &CommonWords()
{
    static const std::unordered_map<std::string_view, QString> words = [] {
        static std::list<std::u16string> texts;
        std::unordered_map<std::string_view, QString> map;
        for (const char *word :
             {"BEGIN", "END", "VERSION", "N", "FN", "NICKNAME", "PHOTO", "BDAY", "ADR", "LABEL", "TEL", "EMAIL", "TITLE",
              "ROLE", "ORG", "NOTE", "REV", "URL", "UID", "CATEGORIES", "PRODID", "GENDER", "ANNIVERSARY", "IMPP",
              "X-MS-IMADDRESS", "X-WAB-GENDER", "X-MS-SPOUSE", "X-MS-ANNIVERSARY", "X-MS-OL-DEFAULT-POSTAL-ADDRESS",
              "X-MS-CARDPICTURE", "X-ABLABEL", "WORK", "HOME", "OTHER", "CELL", "VOICE", "FAX", "PAGER", "INTERNET",
              "MOBILE", "TYPE", "ENCODING", "CHARSET", "LANGUAGE", "VALUE", "QUOTED-PRINTABLE", "BASE64", "PREF",
              "POSTAL", "PARCEL", "DOM", "INTL", "X400", "UTF-8", "MSG", "CAR", "VIDEO", "TEXT"})
        {
            const std::u16string &text = texts.emplace_back(word, word + std::strlen(word));
            map.emplace(word, QString::fromRawData(reinterpret_cast<const QChar *>(text.data()), qsizetype(text.size())));
        }
        return map;
    }();
    return words;
}

// The text in upper case; a common word comes from the shared table.
QString Upper(QStringView text)
{
    constexpr qsizetype kLongestWord = 40;
    if (text.size() <= kLongestWord) {
        char buffer[kLongestWord];
        qsizetype i = 0;
        for (; i < text.size() && text[i].unicode() < 0x80; ++i) {
            const char c = char(text[i].unicode());
            buffer[i] = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
        }
        if (i == text.size()) {
            const auto &words = CommonWords();
            if (const auto found = words.find(std::string_view(buffer, size_t(i))); found != words.end())
                return found->second;
        }
    }
    return text.toString().toUpper();
}

void AddParameter(Property &p, QStringView param)
{
    const qsizetype eq = param.indexOf(u'=');
    if (eq < 0) {
        QString word = Upper(param.trimmed());
        if (word == L("QUOTED-PRINTABLE"))
            p.encoding = std::move(word);
        else if (word == L("BASE64") || word == L("B"))
            p.encoding = QStringLiteral("BASE64");
        else if (word == L("PREF"))
            p.pref = true;
        else if (!word.isEmpty() && word != L("8BIT") && word != L("7BIT"))
            p.types.append(std::move(word));
        return;
    }
    const QString key = Upper(param.first(eq).trimmed());
    const QStringView value = param.sliced(eq + 1);
    if (key == L("TYPE")) {
        ForEachOutsideQuotes(value, u',', [&p](QStringView types) {
            // Version 4.0 may quote a whole list: TYPE="work,voice".
            for (QStringView type : Unquoted(types).split(u',')) {
                QString word = Upper(type.trimmed());
                if (word == L("PREF"))
                    p.pref = true;
                else if (!word.isEmpty())
                    p.types.append(std::move(word));
            }
        });
    } else if (key == L("ENCODING")) {
        const QString word = Upper(Unquoted(value));
        p.encoding = word == L("B") || word == L("BASE64") ? QStringLiteral("BASE64") : word;
    } else if (key == L("PREF")) {
        p.pref = true;
    } else {
        p.params.insert(key, Unquoted(value).toString());
    }
}

Property ParseProperty(QStringView line)
{
    Property p;
    const qsizetype end = HeaderEnd(line);
    bool first = true;
    ForEachOutsideQuotes(line.left(end), u';', [&](QStringView piece) {
        if (!first) {
            AddParameter(p, piece);
            return;
        }
        first = false;
        const QStringView token = piece.trimmed();
        const qsizetype dot = token.indexOf(u'.');
        if (dot >= 0)
            p.group = token.first(dot).toString().toLower();
        p.name = Upper(token.sliced(dot + 1));
    });
    p.value = line.sliced(end + 1).toString();
    return p;
}

void Append(QString &value, QStringView more)
{
    if (value.size() + more.size() <= kMaxLogicalLine)
        value += more;
}

// The line break of multi-line values in the Outlook dialect, a soft line
// break after it: "a=0D=0A=".
constexpr QLatin1StringView kLineBreak("=0D=0A=");

bool IsEnd(QStringView line)
{
    return line.trimmed().compare(L("END:VCARD"), Qt::CaseInsensitive) == 0;
}

// Joins the physical lines of a card into one property per logical line.
QList<Property> Properties(const QList<QStringView> &lines, QString &version)
{
    QList<Property> properties;
    properties.reserve(lines.size());
    bool skipped = false; // the property being joined holds binary data
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringView line = lines[i];
        const bool propertyLine = IsPropertyLine(line);
        QString *value = properties.isEmpty() ? nullptr : &properties.last().value;
        const bool quotedPrintable = value && properties.last().encoding == L("QUOTED-PRINTABLE");
        const bool softBreak = quotedPrintable && value->endsWith(u'=');
        const bool blankFirst = line.startsWith(u' ') || line.startsWith(u'\t');
        if (quotedPrintable && blankFirst && !skipped && !value->endsWith(kLineBreak)) {
            // Some writers fold quoted-printable values like any other, with or
            // without a soft line break before the blank:
            //   N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=89glis=
            //    e;Anne;;;
            // After an encoded line break the blank starts the next line of text.
            if (softBreak)
                value->chop(1);
            Append(*value, line.mid(1));
        } else if (softBreak && !StartsKnownProperty(line)) {
            value->chop(1);
            Append(*value, line);
        } else if (value && blankFirst) {
            // Version 2.1 folds before a blank that belongs to the value.
            if (!skipped)
                Append(*value, version == L("2.1") ? line : line.mid(1));
        } else if (value && !propertyLine) {
            // Older writers continue a value on plain lines; a picture's data
            // is dropped on the way.
            if (!skipped) {
                Append(*value, u"\n");
                Append(*value, line);
            }
        } else if (IsEnd(line)) {
            break;
        } else if (propertyLine) {
            properties.append(ParseProperty(line.left(kMaxLogicalLine)));
            const Property &p = properties.last();
            skipped = IsBinary(p) || p.encoding == L("BASE64");
            if (p.name == L("VERSION"))
                version = p.value.trimmed();
        }
    }
    return properties;
}

QString DecodeBytes(const QByteArray &bytes, const QString &charset)
{
    if (!charset.isEmpty()) {
        QStringDecoder named(charset.toLatin1().constData());
        if (named.isValid())
            return named.decode(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

int HexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - '0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - 'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - 'a' + 10;
    return -1;
}

// What a quoted-printable encoder escapes; an "=41" standing for a plain "A"
// means the text was never encoded at all.
bool IsEscapedByEncoders(int byte)
{
    return byte == '\t' || byte == '\n' || byte == '\r' || byte == ' ' || byte == '=' || byte >= 0x80
           || QByteArrayView("!\"#$@[\\]^`{|}~").contains(char(byte));
}

// The program's own cards and Outlook's mark values quoted-printable without
// encoding them; such a value is taken as it stands, only its "=0D=0A" line
// breaks read.
QString DecodeQuotedPrintable(const QString &value, const QString &charset)
{
    const bool declared = !charset.isEmpty();
    QByteArray bytes;
    bool encoded = true;
    for (qsizetype i = 0; i < value.size() && encoded; ++i) {
        const QChar c = value[i];
        if (c.unicode() > 0x7E) {
            encoded = false;
        } else if (c != u'=') {
            bytes += char(c.unicode());
        } else if (i + 2 < value.size() && HexValue(value[i + 1]) >= 0 && HexValue(value[i + 2]) >= 0
                   && (declared || (!value[i + 1].isLower() && !value[i + 2].isLower()))) {
            const int byte = HexValue(value[i + 1]) * 16 + HexValue(value[i + 2]);
            encoded = declared || IsEscapedByEncoders(byte);
            bytes += char(byte);
            i += 2;
        } else {
            encoded = false; // soft line breaks are already joined
        }
    }
    if (!encoded) {
        QString text = value;
        return text.replace(L("=0D=0A"), L("\r\n"));
    }
    return DecodeBytes(bytes, charset);
}

QString Decode(const Property &p)
{
    if (p.encoding == L("QUOTED-PRINTABLE"))
        return DecodeQuotedPrintable(p.value, p.Param("CHARSET"));
    if (p.encoding == L("BASE64")) {
        QByteArray data = p.value.toLatin1();
        data.replace(' ', QByteArray()).replace('\n', QByteArray()).replace('\t', QByteArray());
        return DecodeBytes(QByteArray::fromBase64(data), p.Param("CHARSET"));
    }
    return p.value;
}

QString Unescape(QStringView text)
{
    const qsizetype first = text.indexOf(u'\\');
    if (first < 0)
        return text.toString();
    QString out;
    out.reserve(text.size());
    out.append(text.first(first));
    for (qsizetype i = first; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        out += next == u'n' || next == u'N' ? QChar(u'\n') : next;
    }
    return out;
}

} // namespace

bool StartsProperty(QStringView line)
{
    return !line.startsWith(u' ') && !line.startsWith(u'\t') && IsPropertyLine(line);
}

Card ParseCard(const QList<QStringView> &lines)
{
    Card card;
    card.version = QStringLiteral("2.1");
    card.properties = Properties(lines, card.version);
    return card;
}

bool IsBinary(const Property &property)
{
    static const QSet<QString> kBinary{QStringLiteral("PHOTO"), QStringLiteral("LOGO"), QStringLiteral("SOUND"),
                                       QStringLiteral("KEY"), QStringLiteral("X-MS-CARDPICTURE")};
    return kBinary.contains(property.name);
}

QString Text(const Card &card, const Property &property)
{
    const QString text = Decode(property);
    // Most values hold no escape at all and are kept as they are.
    return card.Escaped() && text.contains(u'\\') ? Unescape(text) : text;
}

QStringList Pieces(const Card &card, const Property &property, QChar separator)
{
    const QString text = Decode(property);
    if (!card.Escaped())
        return text.split(separator);
    QStringList pieces;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\') {
            ++i;
        } else if (text[i] == separator) {
            pieces.append(Unescape(QStringView(text).mid(start, i - start)));
            start = i + 1;
        }
    }
    pieces.append(Unescape(QStringView(text).mid(start)));
    return pieces;
}

} // namespace cardolin::vcard
