#include "support/RegistryStore.h"

#include <algorithm>

namespace cardolin {

namespace {

QString Folded(const QString &name)
{
    return name.toCaseFolded();
}

RegistryKey *FindMutable(RegistryKey &root, const RegistryPath &key)
{
    return const_cast<RegistryKey *>(FindRegistryKey(root, key));
}

void MergeInto(const RegistryKey &from, RegistryKey &to)
{
    for (const QString &name : from.ValueNames())
        to.SetValue(name, *from.Value(name));
    for (const QString &name : from.SubKeyNames())
        MergeInto(*from.SubKey(name), to.AddSubKey(name));
}

} // namespace

bool IsValidRegistryKeyName(const QString &name)
{
    const auto control = [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; };
    return !name.isEmpty() && name.size() <= kRegistryMaxKeyName && !name.contains(u'\\')
           && std::none_of(name.begin(), name.end(), control) && name.isValidUtf16();
}

bool IsValidRegistryPath(const RegistryPath &key)
{
    return key.size() <= kRegistryMaxDepth && std::all_of(key.begin(), key.end(), IsValidRegistryKeyName);
}

// ---- RegistryKey --------------------------------------------------------------

std::unique_ptr<RegistryKey> RegistryKey::Clone(const QString &name) const
{
    auto copy = std::make_unique<RegistryKey>(name);
    copy->m_values = m_values;
    copy->m_valueIndex = m_valueIndex;
    for (const auto &[folded, key] : m_subKeys)
        copy->m_subKeys.emplace(folded, key->Clone(key->Name()));
    return copy;
}

const RegistryValue *RegistryKey::Value(const QString &name) const
{
    const auto it = m_valueIndex.constFind(Folded(name));
    return it == m_valueIndex.cend() ? nullptr : &m_values[size_t(*it)].second;
}

void RegistryKey::SetValue(const QString &name, const RegistryValue &value)
{
    const QString folded = Folded(name);
    if (const auto it = m_valueIndex.constFind(folded); it != m_valueIndex.cend()) {
        m_values[size_t(*it)].second = value;
        return;
    }
    m_valueIndex.insert(folded, qsizetype(m_values.size()));
    m_values.emplace_back(name, value);
}

bool RegistryKey::RemoveValue(const QString &name)
{
    const auto it = m_valueIndex.constFind(Folded(name));
    if (it == m_valueIndex.cend())
        return false;
    m_values.erase(m_values.begin() + *it);
    m_valueIndex.clear();
    for (size_t i = 0; i < m_values.size(); ++i)
        m_valueIndex.insert(Folded(m_values[i].first), qsizetype(i));
    return true;
}

bool RegistryKey::RenameValue(const QString &oldName, const QString &newName)
{
    const QString oldFolded = Folded(oldName), newFolded = Folded(newName);
    const auto it = m_valueIndex.constFind(oldFolded);
    if (it == m_valueIndex.cend() || newName.size() > kRegistryMaxValueName)
        return false;
    // A change of letter case only is a rename onto itself.
    if (newFolded != oldFolded && m_valueIndex.contains(newFolded))
        return false;
    const qsizetype index = *it;
    m_values[size_t(index)].first = newName;
    m_valueIndex.remove(oldFolded);
    m_valueIndex.insert(newFolded, index);
    return true;
}

QStringList RegistryKey::ValueNames() const
{
    QStringList names;
    names.reserve(qsizetype(m_values.size()));
    for (const auto &value : m_values)
        names.append(value.first);
    return names;
}

RegistryKey *RegistryKey::SubKey(const QString &name) const
{
    const auto it = m_subKeys.find(Folded(name));
    return it == m_subKeys.end() ? nullptr : it->second.get();
}

RegistryKey &RegistryKey::AddSubKey(const QString &name)
{
    auto &slot = m_subKeys[Folded(name)];
    if (!slot)
        slot = std::make_unique<RegistryKey>(name);
    return *slot;
}

void RegistryKey::AdoptSubKey(std::unique_ptr<RegistryKey> key)
{
    m_subKeys[Folded(key->Name())] = std::move(key);
}

bool RegistryKey::RemoveSubKey(const QString &name)
{
    return m_subKeys.erase(Folded(name)) > 0;
}

QStringList RegistryKey::SubKeyNames() const
{
    QStringList names;
    for (const auto &entry : m_subKeys)
        names.append(entry.second->Name());
    return names;
}

qsizetype RegistryKey::Depth() const
{
    qsizetype depth = 0;
    for (const auto &entry : m_subKeys)
        depth = std::max(depth, 1 + entry.second->Depth());
    return depth;
}

const RegistryKey *FindRegistryKey(const RegistryKey &root, const RegistryPath &key)
{
    const RegistryKey *at = &root;
    for (const QString &name : key)
        if (!(at = at->SubKey(name)))
            return nullptr;
    return at;
}

RegistryKey *CreateRegistryKey(RegistryKey &root, const RegistryPath &key)
{
    if (!IsValidRegistryPath(key))
        return nullptr;
    RegistryKey *at = &root;
    for (const QString &name : key)
        at = &at->AddSubKey(name);
    return at;
}

// ---- RegistryStore ------------------------------------------------------------

bool RegistryStore::KeyExists(const RegistryPath &key) const
{
    return FindRegistryKey(Root(), key) != nullptr;
}

bool RegistryStore::CreateKey(const RegistryPath &key)
{
    return Change([&](RegistryKey &root) { return CreateRegistryKey(root, key) != nullptr; });
}

std::optional<RegistryValue> RegistryStore::ReadValue(const RegistryPath &key, const QString &name) const
{
    const RegistryKey *at = FindRegistryKey(Root(), key);
    const RegistryValue *value = at ? at->Value(name) : nullptr;
    return value ? std::optional(*value) : std::nullopt;
}

bool RegistryStore::WriteValue(const RegistryPath &key, const QString &name, const RegistryValue &value)
{
    if (name.size() > kRegistryMaxValueName)
        return false;
    return Change([&](RegistryKey &root) {
        RegistryKey *at = CreateRegistryKey(root, key);
        if (at)
            at->SetValue(name, value);
        return at != nullptr;
    });
}

bool RegistryStore::DeleteValue(const RegistryPath &key, const QString &name)
{
    return Change([&](RegistryKey &root) {
        RegistryKey *at = FindMutable(root, key);
        return at && at->RemoveValue(name);
    });
}

bool RegistryStore::RenameValue(const RegistryPath &key, const QString &oldName, const QString &newName)
{
    return Change([&](RegistryKey &root) {
        RegistryKey *at = FindMutable(root, key);
        return at && at->RenameValue(oldName, newName);
    });
}

QStringList RegistryStore::ValueNames(const RegistryPath &key) const
{
    const RegistryKey *at = FindRegistryKey(Root(), key);
    return at ? at->ValueNames() : QStringList();
}

QStringList RegistryStore::SubKeyNames(const RegistryPath &key) const
{
    const RegistryKey *at = FindRegistryKey(Root(), key);
    return at ? at->SubKeyNames() : QStringList();
}

bool RegistryStore::DeleteKey(const RegistryPath &key)
{
    if (key.isEmpty())
        return false;
    return Change([&](RegistryKey &root) {
        RegistryKey *parent = FindMutable(root, key.first(key.size() - 1));
        return parent && parent->RemoveSubKey(key.last());
    });
}

bool RegistryStore::CopyKey(const RegistryPath &from, const RegistryPath &to)
{
    if (to.isEmpty() || !IsValidRegistryPath(to))
        return false;
    return Change([&](RegistryKey &root) {
        const RegistryKey *source = FindRegistryKey(root, from);
        if (!source || to.size() + source->Depth() > kRegistryMaxDepth)
            return false;
        // Cloned before the target is made, so copying a key into its own
        // sub-tree copies what was there and stops.
        std::unique_ptr<RegistryKey> copy = source->Clone(to.last());
        RegistryKey *parent = CreateRegistryKey(root, to.first(to.size() - 1));
        if (RegistryKey *target = parent->SubKey(to.last()))
            MergeInto(*copy, *target);
        else
            parent->AdoptSubKey(std::move(copy));
        return true;
    });
}

bool RegistryStore::Batch(const std::function<bool()> &changes)
{
    return RunBatch(changes);
}

bool RegistryStore::RunOrRestore(std::unique_ptr<RegistryKey> &root, const std::function<bool()> &changes)
{
    std::unique_ptr<RegistryKey> before = root->Clone({});
    bool done = false;
    try {
        done = changes();
    } catch (...) {
        root = std::move(before);
        throw;
    }
    if (!done)
        root = std::move(before);
    return done;
}

// ---- MemoryRegistryStore ----------------------------------------------------

bool MemoryRegistryStore::Change(const std::function<bool(RegistryKey &root)> &change)
{
    return change(*m_root);
}

bool MemoryRegistryStore::RunBatch(const std::function<bool()> &changes)
{
    return RunOrRestore(m_root, changes);
}

} // namespace cardolin
