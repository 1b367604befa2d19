#include "support/RegistryText.h"

#include <QStringDecoder>

namespace cardolin::registrytext {

namespace {

const QLatin1StringView kExpand("expand:");
const QLatin1StringView kDword("dword:");
const QLatin1StringView kHex("hex:");

bool NeedsCodeEscape(QChar c, bool paired)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F || (c.isSurrogate() && !paired);
}

// Escapes whatever would break the line or not survive UTF-8 (a lone surrogate).
QString Quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool paired = c.isHighSurrogate() ? i + 1 < text.size() && text[i + 1].isLowSurrogate()
                                                : c.isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate();
        switch (c.unicode()) {
        case '\\': out += QLatin1StringView("\\\\"); break;
        case '"': out += QLatin1StringView("\\\""); break;
        case '\n': out += QLatin1StringView("\\n"); break;
        case '\r': out += QLatin1StringView("\\r"); break;
        case '\t': out += QLatin1StringView("\\t"); break;
        default:
            if (NeedsCodeEscape(c, paired))
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + u'"';
}

QString DataText(const RegistryValue &value)
{
    switch (value.type) {
    case RegistryType::String: return Quoted(value.text);
    case RegistryType::ExpandString: return kExpand + Quoted(value.text);
    case RegistryType::Integer: return kDword + QStringLiteral("%1").arg(value.number, 8, 16, QLatin1Char('0')).toUpper();
    case RegistryType::Binary: break;
    }
    QStringList bytes;
    for (const char byte : value.bytes)
        bytes.append(QStringLiteral("%1").arg(quint8(byte), 2, 16, QLatin1Char('0')).toUpper());
    return kHex + bytes.join(u',');
}

void WriteKey(const RegistryKey &key, const QString &path, bool root, QString &out)
{
    const QStringList values = key.ValueNames();
    // A key with sub-keys and no values comes back from its sub-keys' headers.
    if (!values.isEmpty() || (!root && key.SubKeyNames().isEmpty())) {
        out += u'\n' + (u'[' + path + u']') + u'\n';
        for (const QString &name : values)
            out += (name.isEmpty() ? QStringLiteral("@") : Quoted(name)) + u'=' + DataText(*key.Value(name)) + u'\n';
    }
    for (const QString &name : key.SubKeyNames())
        WriteKey(*key.SubKey(name), root ? name : path + u'\\' + name, false, out);
}

// ---- reading ----------------------------------------------------------------

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// One to eight hex digits; false on anything else.
bool HexNumber(QStringView digits, quint32 &number)
{
    if (digits.isEmpty() || digits.size() > 8)
        return false;
    number = 0;
    for (const QChar c : digits) {
        const int d = HexDigit(c);
        if (d < 0)
            return false;
        number = number * 16 + quint32(d);
    }
    return true;
}

// A quoted text starting at at; leaves at after the closing quote.
bool Unquote(QStringView line, qsizetype &at, QString &text)
{
    if (at >= line.size() || line[at] != u'"')
        return false;
    text.clear();
    for (++at; at < line.size(); ++at) {
        const QChar c = line[at];
        if (c == u'"') {
            ++at;
            return true;
        }
        if (c != u'\\') {
            text += c;
            continue;
        }
        if (++at >= line.size())
            return false;
        switch (line[at].unicode()) {
        case '\\': text += u'\\'; break;
        case '"': text += u'"'; break;
        case 'n': text += u'\n'; break;
        case 'r': text += u'\r'; break;
        case 't': text += u'\t'; break;
        case 'u': {
            quint32 code = 0;
            if (!HexNumber(line.mid(at + 1, 4), code) || line.mid(at + 1, 4).size() != 4)
                return false;
            text += QChar(char16_t(code));
            at += 4;
            break;
        }
        default: return false;
        }
    }
    return false;
}

bool ParseBytes(QStringView data, QByteArray &bytes)
{
    if (data.isEmpty())
        return true;
    bytes.reserve((data.size() + 1) / 3);
    for (const QStringView pair : data.split(u',')) {
        quint32 byte = 0;
        if (pair.size() != 2 || !HexNumber(pair, byte))
            return false;
        bytes.append(char(byte));
    }
    return true;
}

bool ParseData(QStringView data, RegistryValue &value)
{
    qsizetype at = 0;
    if (data.startsWith(u'"'))
        return Unquote(data, at, value.text) && at == data.size();
    if (data.startsWith(kExpand)) {
        value.type = RegistryType::ExpandString;
        at = kExpand.size();
        return Unquote(data, at, value.text) && at == data.size();
    }
    if (data.startsWith(kDword)) {
        value.type = RegistryType::Integer;
        return HexNumber(data.mid(kDword.size()), value.number);
    }
    if (data.startsWith(kHex)) {
        value.type = RegistryType::Binary;
        return ParseBytes(data.mid(kHex.size()), value.bytes);
    }
    return false;
}

bool ParseValueLine(QStringView line, RegistryKey &key)
{
    QString name;
    qsizetype at = 0;
    if (line.startsWith(u'@'))
        at = 1;
    else if (!Unquote(line, at, name) || name.size() > kRegistryMaxValueName)
        return false;
    if (at >= line.size() || line[at] != u'=')
        return false;
    RegistryValue value;
    if (!ParseData(line.mid(at + 1), value))
        return false;
    key.SetValue(name, value);
    return true;
}

RegistryKey *ParseHeader(QStringView line, RegistryKey &root)
{
    const QStringView path = line.mid(1, line.size() - 2);
    return path.isEmpty() ? &root : CreateRegistryKey(root, path.toString().split(u'\\'));
}

} // namespace

QByteArray Write(const RegistryKey &root)
{
    QString out = QStringLiteral("; Cardolin settings. Values: \"text\", expand:\"text\", dword:0000002A, hex:01,FF\n");
    WriteKey(root, QString(), true, out);
    return out.toUtf8();
}

std::unique_ptr<RegistryKey> Read(const QByteArray &utf8, QString &error)
{
    if (utf8.size() > kMaxFileBytes) {
        error = QStringLiteral("the file is larger than %1 bytes").arg(kMaxFileBytes);
        return nullptr;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(utf8);
    if (decoder.hasError()) {
        error = QStringLiteral("the file is not UTF-8 text");
        return nullptr;
    }
    auto root = std::make_unique<RegistryKey>();
    RegistryKey *key = root.get();
    qsizetype number = 0;
    for (QStringView line : QStringView(text).split(u'\n')) {
        ++number;
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        const bool header = line.startsWith(u'[') && line.endsWith(u']') && line.size() >= 2;
        const bool ok = header ? (key = ParseHeader(line, *root)) != nullptr : ParseValueLine(line, *key);
        if (!ok) {
            error = QStringLiteral("line %1 cannot be read").arg(number);
            return nullptr;
        }
    }
    return root;
}

} // namespace cardolin::registrytext
