#pragma once

#include "support/InterfaceState.h"
#include "support/RegistryStore.h"

#include <QStringList>
#include <QVariant>

#include <functional>
#include <stdexcept>

namespace cardolin {

enum TRootKey { hkClassesRoot, hkCurrentConfig, hkCurrentUser, hkDynData, hkLocalMachine, hkPerformanceData, hkUsers };
enum TAccess { kAllAccess, kExecute, kRead, kWrite };
enum TBinaryType { btNone, btEncryptString, btExpandString, btBinary32BitMax, btBinary32BitMin };
enum TLangType { ltFrench, ltEnglish };
enum TSearchOption { opValue, opData, opValueData, opKey };

class ERegistryEnhanced : public std::runtime_error
{
public:
    explicit ERegistryEnhanced(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString &Message() const { return m_message; }

private:
    QString m_message;
};

// Typed access to one branch of the settings store, named by Key; every path
// argument is relative to it. A value path ends with the value's name
// ("Options\SortAlphabetically"); a sub-key path names keys only. While Key is
// empty nothing is read or written. Failures are silent (false, an empty variant
// or the default) unless RaiseExceptions asks for ERegistryEnhanced.
//
// The store stands for the current user's hive; other root keys have no store
// here and behave as keys that cannot be opened.
class TQorRegistryEnhanced
{
public:
    explicit TQorRegistryEnhanced(RegistryStore &currentUser) : m_store(currentUser) {}

    TAccess Access() const { return m_access; }
    void SetAccess(TAccess value) { m_access = value; }
    TBinaryType BinaryType() const { return m_binaryType; }
    void SetBinaryType(TBinaryType value) { m_binaryType = value; }
    const QString &Key() const { return m_key; }
    void SetKey(const QString &value);
    TLangType LangType() const { return m_langType; }
    void SetLangType(TLangType value) { m_langType = value; }
    bool RaiseExceptions() const { return m_raiseExceptions; }
    void SetRaiseExceptions(bool value) { m_raiseExceptions = value; }
    TRootKey RootKey() const { return m_rootKey; }
    void SetRootKey(TRootKey value) { m_rootKey = value; }
    const QStringList &EntriesFound() const { return m_entriesFound; }

    // ---- typed values
    // True when the value was written.
    bool SetValue(const QString &AValue, const QVariant &AValueData);
    bool SetTypedValue(const QString &AValue, const QVariant &AValueData, TBinaryType ABinaryType);
    QVariant GetValue(const QString &AValue) const;
    QVariant GetTypedValue(const QString &AValue, TBinaryType ABinaryType) const;
    QVariant GetValueDefault(const QString &AValue, const QVariant &AValueDataDefault) const;
    QVariant GetTypedValueDefault(const QString &AValue, const QVariant &AValueDataDefault,
                                  TBinaryType ABinaryType) const;

    // ---- keys and values
    bool KeyExists(const QString &ASubKey) const;
    bool ValueExists(const QString &AValue) const;
    void GetValueNames(const QString &ASubKey, QStringList &AList) const;
    int CountValueNames(const QString &ASubKey) const;
    void GetSubKeys(const QString &ASubKey, QStringList &AList) const;
    int CountSubKeys(const QString &ASubKey) const;
    bool DeleteKey(const QString &AKey);
    bool DeleteValue(const QString &AValue);
    bool CopyKey(const QString &OldKey, const QString &NewKey);
    bool RenameKey(const QString &OldKey, const QString &NewKey);
    bool CopyValue(const QString &OldValue, const QString &NewValue);
    bool RenameValue(const QString &OldValue, const QString &NewValue);
    void Search(const QString &ASubKey, const QString &AString, TSearchOption ASearchOption, bool Recursive);
    void SetEncryptionParameters(const QString &ABaseKey, int ADecryptKey);
    // The value as the store keeps it, type and all; null when missing.
    std::optional<RegistryValue> GetRawValue(const QString &AValue) const;

    // ---- files; true when the file was written or read
    bool SaveKeyContentToFile(const QString &ASubKey, const QString &AFilename, const QString &ABreakString) const;
    bool LoadKeyContentFromFile(const QString &ASubKey, const QString &AFilename, const QString &ABreakString);
    // leaveOut names values that are not written (and are counted in leftOut);
    // the file is readable by its owner alone.
    bool ExportKeyToRegFile(const QString &ASubKey, const QString &AFileName,
                            const std::function<bool(const QString &name)> &leaveOut = {},
                            int *leftOut = nullptr) const;

    // ---- interface state; each Get returns the given state with what is stored applied
    bool SetFormInfo(const QString &AValue, const TFormInfo &AForm);
    TFormRestore GetFormInfo(const QString &AValue, bool CenterDefault) const;
    void ImportFormInfo(const QString &ASubKey, const QString &AValue, bool DeleteSubKey);
    bool SetListViewInfo(const QString &AValue, const QList<int> &AColumnWidths);
    QList<int> GetListViewInfo(const QString &AValue, QList<int> AColumnWidths) const;
    void ImportListViewInfo(const QString &ASubKey, const QString &AValue, bool DeleteSubKey);
    bool SetFont(const QString &AValue, const TFontInfo &AFont);
    TFontInfo GetFont(const QString &AValue, const TFontInfo &AFont) const;
    bool SetCheckListBox(const QString &ASubKey, const TCheckListItems &AItems);
    TCheckListItems GetCheckListBox(const QString &ASubKey, TCheckListItems AItems, bool CheckAllFirstTime) const;
    bool SetMenu(const QString &ASubKey, const QStringList &ACaptions);
    QStringList GetMenu(const QString &ASubKey, const QStringList &ACaptions) const;
    bool SetComboBox(const QString &ASubKey, const TComboBoxState &AComboBox, bool ShowText);
    TComboBoxState GetComboBox(const QString &ASubKey, const TComboBoxState &AComboBox, bool ShowText) const;

    // "" and "\" become ""; otherwise one trailing backslash goes and a leading
    // one is added: "Software\A\" -> "\Software\A".
    static QString NormalizedPath(const QString &path);

private:
    enum class Message { UnknownDataType, CannotOpenFile, TooManyEntries };
    struct ValuePath
    {
        RegistryPath key;
        QString name;
    };

    RegistryStore *Store() const;
    bool CanWrite() const;
    RegistryPath KeyPath(const QString &ASubKey) const;
    ValuePath SplitValue(const QString &AValue) const;
    std::optional<RegistryValue> Encode(const QVariant &data, TBinaryType type) const;
    QVariant Decode(const RegistryValue &value, TBinaryType type) const;
    bool WriteRaw(const RegistryPath &key, const QString &name, const RegistryValue &value);
    [[noreturn]] void Raise(Message message) const;
    void RaiseIf(Message message) const;
    int ReadCount(const RegistryPath &key) const;
    QStringList ReadItems(const RegistryPath &key) const;
    bool RewriteKey(const QString &ASubKey, const std::function<bool(const RegistryPath &)> &fill);
    void SearchKey(const RegistryPath &key, const QString &lowered, TSearchOption option, bool recursive);

    RegistryStore &m_store;
    TAccess m_access = kAllAccess;
    TBinaryType m_binaryType = btNone;
    QString m_key;
    TLangType m_langType = ltEnglish;
    bool m_raiseExceptions = false;
    TRootKey m_rootKey = hkCurrentUser;
    QStringList m_entriesFound;
    QString m_baseKey;
    int m_decryptKey = 0;
};

// The text of a value as listings show it: strings as stored, integers in
// decimal, anything else empty.
QString RegistryDataText(const RegistryValue &value);

} // namespace cardolin
