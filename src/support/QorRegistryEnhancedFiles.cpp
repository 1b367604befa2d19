// The file operations of TQorRegistryEnhanced: key content as "name<break>data"
// lines, and the registry export file.

#include "platform/FileSystem.h"
#include "support/BreakApart.h"
#include "support/QorRegistryEnhanced.h"
#include "support/RegistryText.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace cardolin {

namespace {

// The 8-bit code page these files use when they come from the Windows program.
const char *const kAnsiCodePage = "windows-1252";
const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// Characters the code page lacks become "?".
QByteArray ToAnsi(const QString &text, bool &lossy)
{
    QStringEncoder encoder(kAnsiCodePage);
    QByteArray bytes = encoder.encode(text);
    lossy = encoder.hasError();
    if (!lossy)
        return bytes;
    bytes.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder single(kAnsiCodePage);
        const QByteArray encoded = single.encode(QStringView(text).mid(i, length));
        bytes += single.hasError() ? QByteArray("?") : encoded;
        i += length - 1;
    }
    return bytes;
}

QString FromFileBytes(const QByteArray &bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return QString::fromUtf8(bytes.mid(kUtf8Bom.size()));
    QStringDecoder decoder(kAnsiCodePage);
    return decoder.decode(bytes);
}

const QLatin1StringView kHiveNames[] = {
    QLatin1StringView("HKEY_CLASSES_ROOT"),     QLatin1StringView("HKEY_CURRENT_CONFIG"),
    QLatin1StringView("HKEY_CURRENT_USER"),     QLatin1StringView("HKEY_DYN_DATA"),
    QLatin1StringView("HKEY_LOCAL_MACHINE"),    QLatin1StringView("HKEY_PERFORMANCE_DATA"),
    QLatin1StringView("HKEY_USERS"),
};

const QLatin1StringView kLineBreak("\r\n");

QString Doubled(QString text)
{
    return text.replace(u'\\', QLatin1StringView("\\\\"));
}

QString ExportData(const RegistryValue &value)
{
    switch (value.type) {
    case RegistryType::String:
    case RegistryType::ExpandString: return u'"' + Doubled(value.text) + u'"';
    case RegistryType::Integer:
        return QStringLiteral("dword:") + QStringLiteral("%1").arg(value.number, 8, 16, QLatin1Char('0')).toUpper();
    case RegistryType::Binary: break;
    }
    QString out = QStringLiteral("hex:");
    for (qsizetype i = 0; i < value.bytes.size(); ++i) {
        out += QStringLiteral("%1").arg(quint8(value.bytes[i]), 2, 16, QLatin1Char('0')).toUpper();
        if (i + 1 == value.bytes.size())
            break;
        out += u',';
        // Long binary data continues on the next line after every 25th byte.
        if (i > 0 && i % 25 == 0)
            out += u'\\' + kLineBreak;
    }
    return out;
}

struct ExportFilter
{
    const std::function<bool(const QString &)> &leaveOut;
    int leftOut = 0;
};

void ExportKey(const RegistryStore &store, const RegistryPath &key, QLatin1StringView hive, ExportFilter &filter,
               QString &out)
{
    out += kLineBreak + u'[' + hive + u'\\' + key.join(u'\\') + u']' + kLineBreak;
    for (const QString &name : store.ValueNames(key)) {
        if (filter.leaveOut && filter.leaveOut(name)) {
            ++filter.leftOut;
            continue;
        }
        out += name.isEmpty() ? QStringLiteral("@") : u'"' + Doubled(name) + u'"';
        out += u'=' + ExportData(*store.ReadValue(key, name)) + kLineBreak;
    }
    for (const QString &name : store.SubKeyNames(key))
        ExportKey(store, key + RegistryPath{name}, hive, filter, out);
}

} // namespace

bool TQorRegistryEnhanced::SaveKeyContentToFile(const QString &ASubKey, const QString &AFilename,
                                                const QString &ABreakString) const
{
    if (!KeyExists(ASubKey))
        return false;
    const RegistryPath key = KeyPath(ASubKey);
    QString text;
    for (const QString &name : m_store.ValueNames(key))
        text += name + ABreakString + RegistryDataText(*m_store.ReadValue(key, name)) + u'\n';
    // The Windows program's code page when it can hold every character; UTF-8,
    // marked, when it cannot, so that nothing is lost on the way back.
    bool lossy = false;
    QByteArray bytes = ToAnsi(text, lossy);
    if (lossy)
        bytes = kUtf8Bom + text.toUtf8();
    // Values may be secrets: the file is the owner's alone.
    if (platform::SavePrivateFile(AFilename, bytes))
        return true;
    RaiseIf(Message::CannotOpenFile);
    return false;
}

bool TQorRegistryEnhanced::LoadKeyContentFromFile(const QString &ASubKey, const QString &AFilename,
                                                  const QString &ABreakString)
{
    if (!CanWrite())
        return false;
    QFile file(AFilename);
    // Any file may be given: a huge one is refused rather than read whole.
    if (!file.open(QIODevice::ReadOnly) || file.size() > registrytext::kMaxFileBytes) {
        RaiseIf(Message::CannotOpenFile);
        return false;
    }
    const QStringList lines = FromFileBytes(file.readAll()).split(u'\n');
    const RegistryPath key = KeyPath(ASubKey);
    TQorBreakApart splitter;
    splitter.SetBreakString(ABreakString);
    splitter.SetAllowEmptyString(true);
    m_store.Batch([&] {
        for (const QString &line : lines) {
            splitter.SetBaseString(line.endsWith(u'\r') ? line.chopped(1) : line);
            splitter.BreakApart();
            const QStringList &pieces = splitter.StringList();
            if (pieces.size() == 2)
                m_store.WriteValue(key, pieces[0].section(u'\\', -1), RegistryValue::String(pieces[1]));
        }
        return true;
    });
    return true;
}

bool TQorRegistryEnhanced::ExportKeyToRegFile(const QString &ASubKey, const QString &AFileName,
                                              const std::function<bool(const QString &name)> &leaveOut,
                                              int *leftOut) const
{
    if (!KeyExists(ASubKey))
        return false;
    QString text = QStringLiteral("REGEDIT4") + kLineBreak;
    ExportFilter filter{leaveOut};
    ExportKey(m_store, KeyPath(ASubKey), kHiveNames[m_rootKey], filter, text);
    if (leftOut)
        *leftOut = filter.leftOut;
    bool lossy = false;
    // Settings may hold secrets: the file is private from the start.
    return platform::SavePrivateFile(AFileName, ToAnsi(text, lossy));
}

} // namespace cardolin
