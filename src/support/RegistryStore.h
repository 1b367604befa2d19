#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace cardolin {

// The four kinds of data the settings store keeps.
enum class RegistryType { String, ExpandString, Integer, Binary };

struct RegistryValue
{
    RegistryType type = RegistryType::String;
    QString text;     // String, ExpandString
    quint32 number = 0; // Integer
    QByteArray bytes; // Binary

    static RegistryValue String(const QString &text) { return {RegistryType::String, text, 0, {}}; }
    static RegistryValue Expand(const QString &text) { return {RegistryType::ExpandString, text, 0, {}}; }
    static RegistryValue Integer(quint32 number) { return {RegistryType::Integer, {}, number, {}}; }
    static RegistryValue Binary(const QByteArray &bytes) { return {RegistryType::Binary, {}, 0, bytes}; }
    friend bool operator==(const RegistryValue &, const RegistryValue &) = default;
};

// A key path as its components, hive root first; the empty list is the root.
using RegistryPath = QStringList;

// Limits that keep a hostile store file from exhausting the stack or memory.
inline constexpr qsizetype kRegistryMaxDepth = 512;
inline constexpr qsizetype kRegistryMaxKeyName = 255;
inline constexpr qsizetype kRegistryMaxValueName = 16383;

// A key name holds no backslash and no control character; a path is at most
// kRegistryMaxDepth such names.
bool IsValidRegistryKeyName(const QString &name);
bool IsValidRegistryPath(const RegistryPath &key);

// One key with its values (in the order they were created) and its sub-keys (in
// name order). Names are compared without regard to letter case, as the registry
// does, and keep the case they were created with.
class RegistryKey
{
public:
    explicit RegistryKey(QString name = {}) : m_name(std::move(name)) {}
    std::unique_ptr<RegistryKey> Clone(const QString &name) const;

    const QString &Name() const { return m_name; }
    const RegistryValue *Value(const QString &name) const;
    void SetValue(const QString &name, const RegistryValue &value);
    bool RemoveValue(const QString &name);
    bool RenameValue(const QString &oldName, const QString &newName);
    QStringList ValueNames() const;

    RegistryKey *SubKey(const QString &name) const;
    RegistryKey &AddSubKey(const QString &name);
    void AdoptSubKey(std::unique_ptr<RegistryKey> key);
    bool RemoveSubKey(const QString &name);
    QStringList SubKeyNames() const;
    // Levels below this key, 0 when it has no sub-keys.
    qsizetype Depth() const;

private:
    QString m_name;
    std::vector<std::pair<QString, RegistryValue>> m_values;
    QHash<QString, qsizetype> m_valueIndex; // by folded name
    std::map<QString, std::unique_ptr<RegistryKey>> m_subKeys; // by folded name
};

// The hierarchical store that stands in for the current user's registry hive.
// Every call is complete in itself: nothing stays open between calls. Backends
// decide where the tree lives; the operations are the same for all.
class RegistryStore
{
public:
    virtual ~RegistryStore() = default;

    bool KeyExists(const RegistryPath &key) const;
    bool CreateKey(const RegistryPath &key);
    std::optional<RegistryValue> ReadValue(const RegistryPath &key, const QString &name) const;
    // Creates the key when missing.
    bool WriteValue(const RegistryPath &key, const QString &name, const RegistryValue &value);
    bool DeleteValue(const RegistryPath &key, const QString &name);
    // Fails when the key or the old value is missing or the new name is taken.
    bool RenameValue(const RegistryPath &key, const QString &oldName, const QString &newName);
    // Empty when the key does not exist.
    QStringList ValueNames(const RegistryPath &key) const;
    QStringList SubKeyNames(const RegistryPath &key) const;
    // Removes the key with everything below it; the root cannot be removed.
    bool DeleteKey(const RegistryPath &key);
    // Copies the whole tree of from over to, merging into what is there.
    bool CopyKey(const RegistryPath &from, const RegistryPath &to);

    // Runs several changes as one: the backend keeps them together (one write of
    // the file). The first failing change ends the batch with false.
    bool Batch(const std::function<bool()> &changes);

protected:
    // The tree as it stands now.
    virtual const RegistryKey &Root() const = 0;
    // Applies change to the tree and keeps the result; false leaves the store as
    // it was.
    virtual bool Change(const std::function<bool(RegistryKey &root)> &change) = 0;
    virtual bool RunBatch(const std::function<bool()> &changes) = 0;
    // Runs changes; puts root back as it was when they fail or throw.
    static bool RunOrRestore(std::unique_ptr<RegistryKey> &root, const std::function<bool()> &changes);
};

// Keeps the tree in memory only: for tests, and wherever nothing should persist.
class MemoryRegistryStore final : public RegistryStore
{
public:
    MemoryRegistryStore() = default;
    explicit MemoryRegistryStore(std::unique_ptr<RegistryKey> root) : m_root(std::move(root)) {}

protected:
    const RegistryKey &Root() const override { return *m_root; }
    bool Change(const std::function<bool(RegistryKey &root)> &change) override;
    bool RunBatch(const std::function<bool()> &changes) override;

private:
    std::unique_ptr<RegistryKey> m_root = std::make_unique<RegistryKey>();
};

// Walks from root to key; null when a component is missing.
const RegistryKey *FindRegistryKey(const RegistryKey &root, const RegistryPath &key);
// The same, creating what is missing; null when the path is not valid.
RegistryKey *CreateRegistryKey(RegistryKey &root, const RegistryPath &key);

} // namespace cardolin
