#include "support/QorRegistryEnhanced.h"

#include "support/StringEncryption.h"

#include <QDateTime>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>

namespace cardolin {

namespace {

RegistryPath Components(const QString &path)
{
    return path.split(u'\\', Qt::SkipEmptyParts);
}

bool SamePath(const RegistryPath &a, const RegistryPath &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const QString &x, const QString &y) {
               return x.compare(y, Qt::CaseInsensitive) == 0;
           });
}

bool IsInside(const RegistryPath &inner, const RegistryPath &outer)
{
    return inner.size() > outer.size() && SamePath(inner.first(outer.size()), outer);
}

RegistryValue DoubleValue(double number)
{
    quint64 bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    QByteArray bytes(sizeof bits, Qt::Uninitialized);
    qToLittleEndian(bits, bytes.data());
    return RegistryValue::Binary(bytes);
}

// Days since 1899-12-30 with the time of day as the fraction; before that day
// the fraction still counts forward in time from the whole day.
double SerialDayNumber(const QDateTime &moment)
{
    const qint64 days = QDate(1899, 12, 30).daysTo(moment.date());
    const double fraction = moment.time().msecsSinceStartOfDay() / 86400000.0;
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

std::optional<RegistryValue> IntegerValue(const QVariant &data, bool isSigned)
{
    // A DWORD holds any 32-bit pattern: signed values down to INT32_MIN and
    // unsigned ones up to UINT32_MAX. Wider numbers are refused, not cut.
    if (isSigned) {
        const qint64 number = data.toLongLong();
        if (number < std::numeric_limits<qint32>::min() || number > qint64(std::numeric_limits<quint32>::max()))
            return std::nullopt;
        return RegistryValue::Integer(quint32(number));
    }
    const quint64 number = data.toULongLong();
    if (number > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return RegistryValue::Integer(quint32(number));
}

QByteArray RawBytes(const QVariant &data, qsizetype size)
{
    QByteArray bytes = data.toByteArray().left(size);
    bytes.append(QByteArray(size - bytes.size(), '\0'));
    return bytes;
}

struct MessageText
{
    const char *english;
    const char *french;
};

const MessageText kMessages[] = {
    {"Unknown data type.", "Type de donnée inconnu."},
    {"Can't open file.", "Impossible d'ouvrir le fichier."},
    {"Too many entries.", "Trop d'entrées."},
};

const QLatin1StringView kCount("Count");
const QLatin1StringView kText("Text");

QString ItemName(int index)
{
    return QStringLiteral("Item%1").arg(index);
}

// Writes "Count" and "Item0", "Item1", ... into key.
bool WriteItems(RegistryStore &store, const RegistryPath &key, const QStringList &items)
{
    if (!store.WriteValue(key, kCount, RegistryValue::Integer(quint32(items.size()))))
        return false;
    for (qsizetype i = 0; i < items.size(); ++i)
        if (!store.WriteValue(key, ItemName(int(i)), RegistryValue::String(items[i])))
            return false;
    return true;
}

} // namespace

QString RegistryDataText(const RegistryValue &value)
{
    switch (value.type) {
    case RegistryType::String:
    case RegistryType::ExpandString: return value.text;
    case RegistryType::Integer: return QString::number(qint32(value.number));
    case RegistryType::Binary: break;
    }
    return {};
}

QString TQorRegistryEnhanced::NormalizedPath(const QString &path)
{
    if (path.isEmpty() || path == QLatin1StringView("\\"))
        return {};
    QString normal = path.endsWith(u'\\') ? path.chopped(1) : path;
    return normal.startsWith(u'\\') ? normal : u'\\' + normal;
}

void TQorRegistryEnhanced::SetKey(const QString &value)
{
    m_key = NormalizedPath(value);
}

void TQorRegistryEnhanced::SetEncryptionParameters(const QString &ABaseKey, int ADecryptKey)
{
    m_baseKey = ABaseKey;
    m_decryptKey = ADecryptKey;
}

// ---- plumbing ---------------------------------------------------------------

RegistryStore *TQorRegistryEnhanced::Store() const
{
    return m_key.isEmpty() || m_rootKey != hkCurrentUser ? nullptr : &m_store;
}

bool TQorRegistryEnhanced::CanWrite() const
{
    return Store() && (m_access == kAllAccess || m_access == kWrite);
}

RegistryPath TQorRegistryEnhanced::KeyPath(const QString &ASubKey) const
{
    return Components(m_key) + Components(ASubKey);
}

TQorRegistryEnhanced::ValuePath TQorRegistryEnhanced::SplitValue(const QString &AValue) const
{
    RegistryPath parts = Components(AValue);
    const QString name = parts.isEmpty() ? QString() : parts.takeLast();
    return {Components(m_key) + parts, name};
}

std::optional<RegistryValue> TQorRegistryEnhanced::GetRawValue(const QString &AValue) const
{
    if (!Store())
        return std::nullopt;
    const ValuePath path = SplitValue(AValue);
    return m_store.ReadValue(path.key, path.name);
}

bool TQorRegistryEnhanced::WriteRaw(const RegistryPath &key, const QString &name, const RegistryValue &value)
{
    return CanWrite() && m_store.WriteValue(key, name, value);
}

void TQorRegistryEnhanced::Raise(Message message) const
{
    const MessageText &text = kMessages[int(message)];
    throw ERegistryEnhanced(QString::fromUtf8(m_langType == ltFrench ? text.french : text.english));
}

void TQorRegistryEnhanced::RaiseIf(Message message) const
{
    if (m_raiseExceptions)
        Raise(message);
}

// ---- typed values -------------------------------------------------------------

std::optional<RegistryValue> TQorRegistryEnhanced::Encode(const QVariant &data, TBinaryType type) const
{
    switch (data.typeId()) {
    case QMetaType::Bool: return RegistryValue::Integer(data.toBool() ? 1 : 0);
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong: return IntegerValue(data, true);
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong: return IntegerValue(data, false);
    case QMetaType::Float:
    case QMetaType::Double: return DoubleValue(data.toDouble());
    case QMetaType::QDate: return DoubleValue(SerialDayNumber(QDateTime(data.toDate(), QTime(0, 0))));
    case QMetaType::QDateTime: return DoubleValue(SerialDayNumber(data.toDateTime()));
    case QMetaType::QString:
        if (type == btEncryptString) {
            // Without a key there is no way to hide the text: it is not stored at all.
            if (m_baseKey.isEmpty())
                return std::nullopt;
            return RegistryValue::String(EncryptString(data.toString(), m_baseKey, m_decryptKey));
        }
        if (type == btExpandString)
            return RegistryValue::Expand(data.toString());
        return RegistryValue::String(data.toString());
    default: break;
    }
    switch (type) {
    case btExpandString: return RegistryValue::Expand(data.toString());
    case btBinary32BitMax: return RegistryValue::Binary(RawBytes(data, 4));
    case btBinary32BitMin: return RegistryValue::Binary(RawBytes(data, 16));
    case btNone:
    case btEncryptString: break;
    }
    RaiseIf(Message::UnknownDataType);
    return std::nullopt;
}

QVariant TQorRegistryEnhanced::Decode(const RegistryValue &value, TBinaryType type) const
{
    switch (value.type) {
    case RegistryType::String:
        if (type == btEncryptString) {
            const std::optional<QString> text = DecryptString(value.text, m_baseKey);
            return text ? QVariant(*text) : QVariant();
        }
        return value.text;
    case RegistryType::ExpandString: return value.text;
    case RegistryType::Integer: return int(qint32(value.number));
    case RegistryType::Binary: break;
    }
    if (type == btBinary32BitMax) {
        quint32 number = 0;
        for (qsizetype i = qMin<qsizetype>(value.bytes.size(), 4) - 1; i >= 0; --i)
            number = number << 8 | quint8(value.bytes[i]);
        return int(qint32(number));
    }
    if (type == btBinary32BitMin && !value.bytes.isEmpty())
        return int(quint8(value.bytes[0]));
    return {};
}

bool TQorRegistryEnhanced::SetValue(const QString &AValue, const QVariant &AValueData)
{
    return SetTypedValue(AValue, AValueData, m_binaryType);
}

bool TQorRegistryEnhanced::SetTypedValue(const QString &AValue, const QVariant &AValueData, TBinaryType ABinaryType)
{
    if (!CanWrite())
        return false;
    const std::optional<RegistryValue> value = Encode(AValueData, ABinaryType);
    const ValuePath path = SplitValue(AValue);
    return value && m_store.WriteValue(path.key, path.name, *value);
}

QVariant TQorRegistryEnhanced::GetValue(const QString &AValue) const
{
    return GetTypedValue(AValue, m_binaryType);
}

QVariant TQorRegistryEnhanced::GetTypedValue(const QString &AValue, TBinaryType ABinaryType) const
{
    const std::optional<RegistryValue> value = GetRawValue(AValue);
    return value ? Decode(*value, ABinaryType) : QVariant();
}

QVariant TQorRegistryEnhanced::GetValueDefault(const QString &AValue, const QVariant &AValueDataDefault) const
{
    return GetTypedValueDefault(AValue, AValueDataDefault, m_binaryType);
}

QVariant TQorRegistryEnhanced::GetTypedValueDefault(const QString &AValue, const QVariant &AValueDataDefault,
                                                    TBinaryType ABinaryType) const
{
    if (!Store())
        return {};
    const std::optional<RegistryValue> value = GetRawValue(AValue);
    if (!value)
        return AValueDataDefault;
    if (value->type == RegistryType::Binary)
        return int(value->bytes.size());
    const QVariant data = Decode(*value, ABinaryType);
    return data.isValid() ? data : AValueDataDefault;
}

// ---- keys and values ------------------------------------------------------------

bool TQorRegistryEnhanced::KeyExists(const QString &ASubKey) const
{
    return Store() && m_store.KeyExists(KeyPath(ASubKey));
}

bool TQorRegistryEnhanced::ValueExists(const QString &AValue) const
{
    return GetRawValue(AValue).has_value();
}

void TQorRegistryEnhanced::GetValueNames(const QString &ASubKey, QStringList &AList) const
{
    if (KeyExists(ASubKey))
        AList = m_store.ValueNames(KeyPath(ASubKey));
}

int TQorRegistryEnhanced::CountValueNames(const QString &ASubKey) const
{
    return Store() ? int(m_store.ValueNames(KeyPath(ASubKey)).size()) : 0;
}

void TQorRegistryEnhanced::GetSubKeys(const QString &ASubKey, QStringList &AList) const
{
    if (KeyExists(ASubKey))
        AList = m_store.SubKeyNames(KeyPath(ASubKey));
}

int TQorRegistryEnhanced::CountSubKeys(const QString &ASubKey) const
{
    return Store() ? int(m_store.SubKeyNames(KeyPath(ASubKey)).size()) : 0;
}

bool TQorRegistryEnhanced::DeleteKey(const QString &AKey)
{
    return CanWrite() && m_store.DeleteKey(KeyPath(AKey));
}

bool TQorRegistryEnhanced::DeleteValue(const QString &AValue)
{
    const ValuePath path = SplitValue(AValue);
    return CanWrite() && m_store.DeleteValue(path.key, path.name);
}

bool TQorRegistryEnhanced::CopyKey(const QString &OldKey, const QString &NewKey)
{
    if (!CanWrite() || KeyExists(NewKey))
        return false;
    m_store.CopyKey(KeyPath(OldKey), KeyPath(NewKey));
    return KeyExists(NewKey);
}

bool TQorRegistryEnhanced::RenameKey(const QString &OldKey, const QString &NewKey)
{
    const RegistryPath from = KeyPath(OldKey), to = KeyPath(NewKey);
    // Copying into its own sub-tree and deleting the original would lose both.
    if (!CanWrite() || KeyExists(NewKey) || IsInside(to, from))
        return false;
    m_store.Batch([&] { return m_store.CopyKey(from, to) && m_store.DeleteKey(from); });
    return KeyExists(NewKey);
}

bool TQorRegistryEnhanced::CopyValue(const QString &OldValue, const QString &NewValue)
{
    const std::optional<RegistryValue> value = GetRawValue(OldValue);
    if (!value || !CanWrite())
        return false;
    if (value->type == RegistryType::Binary) {
        RaiseIf(Message::UnknownDataType);
        return false;
    }
    const ValuePath path = SplitValue(NewValue);
    m_store.WriteValue(path.key, path.name, *value);
    return ValueExists(NewValue);
}

bool TQorRegistryEnhanced::RenameValue(const QString &OldValue, const QString &NewValue)
{
    const ValuePath from = SplitValue(OldValue), to = SplitValue(NewValue);
    if (!CanWrite())
        return false;
    if (!SamePath(from.key, to.key))
        return m_store.Batch([&] { return CopyValue(OldValue, NewValue) && DeleteValue(OldValue); });
    return m_store.RenameValue(from.key, from.name, to.name) && ValueExists(NewValue);
}

void TQorRegistryEnhanced::Search(const QString &ASubKey, const QString &AString, TSearchOption ASearchOption,
                                  bool Recursive)
{
    m_entriesFound.clear();
    if (KeyExists(ASubKey))
        SearchKey(KeyPath(ASubKey), AString.toLower(), ASearchOption, Recursive);
}

void TQorRegistryEnhanced::SearchKey(const RegistryPath &key, const QString &lowered, TSearchOption option,
                                     bool recursive)
{
    const QString keyText = u'\\' + key.join(u'\\');
    const auto matches = [&](const QString &text) { return lowered.isEmpty() || text.toLower().contains(lowered); };
    if (option != opKey) {
        for (const QString &name : m_store.ValueNames(key)) {
            const QString data = RegistryDataText(*m_store.ReadValue(key, name));
            const bool found = (option != opData && matches(name)) || (option != opValue && matches(data));
            if (found)
                m_entriesFound.append(keyText + u'\\' + name);
        }
    }
    for (const QString &name : m_store.SubKeyNames(key)) {
        if (option == opKey && matches(name))
            m_entriesFound.append(keyText + u'\\' + name);
        if (recursive)
            SearchKey(key + RegistryPath{name}, lowered, option, recursive);
    }
}

// ---- interface state ------------------------------------------------------------

bool TQorRegistryEnhanced::SetFormInfo(const QString &AValue, const TFormInfo &AForm)
{
    return SetValue(AValue, FormInfoText(AForm));
}

TFormRestore TQorRegistryEnhanced::GetFormInfo(const QString &AValue, bool CenterDefault) const
{
    TFormRestore restore;
    if (!Store())
        return restore;
    restore.KeyExists = m_store.KeyExists(SplitValue(AValue).key);
    const std::optional<RegistryValue> stored = GetRawValue(AValue);
    restore.Center = CenterDefault && !stored;
    if (stored && stored->type == RegistryType::String)
        restore.Info = ParseFormInfo(stored->text);
    return restore;
}

void TQorRegistryEnhanced::ImportFormInfo(const QString &ASubKey, const QString &AValue, bool DeleteSubKey)
{
    if (!KeyExists(ASubKey))
        return;
    const auto number = [&](const char *name, int fallback) {
        return GetValueDefault(ASubKey + u'\\' + QLatin1StringView(name), fallback).toInt();
    };
    const TFormInfo info{number("Height", 0), number("Left", 0), number("Top", 0), number("Width", 0),
                         number("WindowState", 1) == 0 ? wsNormal : wsMaximized};
    if (DeleteSubKey)
        DeleteKey(ASubKey);
    SetFormInfo(AValue, info);
}

bool TQorRegistryEnhanced::SetListViewInfo(const QString &AValue, const QList<int> &AColumnWidths)
{
    QStringList widths;
    for (const int width : AColumnWidths)
        widths.append(QString::number(width));
    return SetValue(AValue, widths.join(QLatin1StringView(", ")));
}

QList<int> TQorRegistryEnhanced::GetListViewInfo(const QString &AValue, QList<int> AColumnWidths) const
{
    const std::optional<RegistryValue> stored = GetRawValue(AValue);
    if (!stored || stored->type != RegistryType::String)
        return AColumnWidths;
    const QStringList pieces = stored->text.split(QLatin1StringView(", "));
    for (qsizetype i = 0; i < qMin(pieces.size(), AColumnWidths.size()); ++i) {
        bool ok = false;
        const int width = pieces[i].trimmed().toInt(&ok);
        if (ok)
            AColumnWidths[i] = width;
    }
    return AColumnWidths;
}

void TQorRegistryEnhanced::ImportListViewInfo(const QString &ASubKey, const QString &AValue, bool DeleteSubKey)
{
    if (!KeyExists(ASubKey))
        return;
    const QString sizes = GetValueDefault(ASubKey + QLatin1StringView("\\Columns\\Sizes"), QString()).toString();
    if (DeleteSubKey)
        DeleteKey(ASubKey);
    QStringList pieces = sizes.split(u',');
    for (QString &piece : pieces)
        piece = piece.trimmed();
    SetValue(AValue, pieces.join(QLatin1StringView(", ")));
}

bool TQorRegistryEnhanced::SetFont(const QString &AValue, const TFontInfo &AFont)
{
    return SetValue(AValue, FontText(AFont));
}

TFontInfo TQorRegistryEnhanced::GetFont(const QString &AValue, const TFontInfo &AFont) const
{
    const std::optional<RegistryValue> stored = GetRawValue(AValue);
    return stored && stored->type == RegistryType::String ? ApplyFontText(stored->text, AFont) : AFont;
}

// Replaces the sub-key with a fresh one that fill writes, all or nothing.
bool TQorRegistryEnhanced::RewriteKey(const QString &ASubKey, const std::function<bool(const RegistryPath &)> &fill)
{
    const RegistryPath key = KeyPath(ASubKey);
    return CanWrite() && m_store.Batch([&] {
        m_store.DeleteKey(key);
        return m_store.CreateKey(key) && fill(key);
    });
}

bool TQorRegistryEnhanced::SetCheckListBox(const QString &ASubKey, const TCheckListItems &AItems)
{
    return RewriteKey(ASubKey, [&](const RegistryPath &key) {
        return std::all_of(AItems.begin(), AItems.end(), [&](const TCheckListItem &item) {
            return m_store.WriteValue(key, item.Text, RegistryValue::Integer(item.Checked ? 1 : 0));
        });
    });
}

TCheckListItems TQorRegistryEnhanced::GetCheckListBox(const QString &ASubKey, TCheckListItems AItems,
                                                      bool CheckAllFirstTime) const
{
    if (!Store())
        return AItems;
    const RegistryPath key = KeyPath(ASubKey);
    if (!m_store.KeyExists(key)) {
        if (CheckAllFirstTime)
            for (TCheckListItem &item : AItems)
                item.Checked = true;
        return AItems;
    }
    AItems.clear();
    for (const QString &name : m_store.ValueNames(key)) {
        const std::optional<RegistryValue> value = m_store.ReadValue(key, name);
        AItems.append({name, value && value->type == RegistryType::Integer && value->number != 0});
    }
    return AItems;
}

int TQorRegistryEnhanced::ReadCount(const RegistryPath &key) const
{
    const std::optional<RegistryValue> count = m_store.ReadValue(key, kCount);
    const qint32 stored = count && count->type == RegistryType::Integer ? qint32(count->number) : 0;
    // A count larger than the values present cannot be honest; it must not make
    // a damaged store allocate without end.
    return int(std::clamp<qint64>(stored, 0, m_store.ValueNames(key).size()));
}

QStringList TQorRegistryEnhanced::ReadItems(const RegistryPath &key) const
{
    QStringList items;
    const int count = ReadCount(key);
    for (int i = 0; i < count; ++i) {
        const std::optional<RegistryValue> item = m_store.ReadValue(key, ItemName(i));
        items.append(item ? RegistryDataText(*item) : QString());
    }
    return items;
}

bool TQorRegistryEnhanced::SetMenu(const QString &ASubKey, const QStringList &ACaptions)
{
    return RewriteKey(ASubKey, [&](const RegistryPath &key) { return WriteItems(m_store, key, ACaptions); });
}

QStringList TQorRegistryEnhanced::GetMenu(const QString &ASubKey, const QStringList &ACaptions) const
{
    return KeyExists(ASubKey) ? ReadItems(KeyPath(ASubKey)) : ACaptions;
}

bool TQorRegistryEnhanced::SetComboBox(const QString &ASubKey, const TComboBoxState &AComboBox, bool ShowText)
{
    return RewriteKey(ASubKey, [&](const RegistryPath &key) {
        return WriteItems(m_store, key, AComboBox.Items)
               && m_store.WriteValue(key, kText, RegistryValue::String(ShowText ? AComboBox.Text : QString()));
    });
}

TComboBoxState TQorRegistryEnhanced::GetComboBox(const QString &ASubKey, const TComboBoxState &AComboBox,
                                                 bool ShowText) const
{
    if (!KeyExists(ASubKey))
        return AComboBox;
    const RegistryPath key = KeyPath(ASubKey);
    const std::optional<RegistryValue> text = m_store.ReadValue(key, kText);
    return {ReadItems(key), ShowText && text ? RegistryDataText(*text) : QString()};
}

} // namespace cardolin
