#pragma once

#include "contacts/SortedStringList.h"

#include <QSet>
#include <QStringList>

namespace cardolin {

// The collection's vocabulary grows by every entry it does not hold yet, compared
// ignoring case; a key set keeps that linear on large books.
class VocabularyGrower
{
public:
    explicit VocabularyGrower(const QStringList &start) : m_entries(start)
    {
        for (const QString &entry : start)
            m_keys.insert(entry.toCaseFolded());
    }
    void Add(const TSortedStringList &list)
    {
        for (const QString &entry : list)
            if (!entry.isEmpty() && !m_keys.contains(entry.toCaseFolded())) {
                m_keys.insert(entry.toCaseFolded());
                m_entries.append(entry);
                m_grown = true;
            }
    }
    bool Grown() const { return m_grown; }
    const QStringList &Entries() const { return m_entries; }

private:
    QStringList m_entries;
    QSet<QString> m_keys;
    bool m_grown = false;
};

} // namespace cardolin
