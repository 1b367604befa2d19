#pragma once

#include <QStringList>

namespace cardolin {

// A record read from a book holds one empty line for an empty list (of notes,
// categories or keywords); such a list has nothing in it.
inline bool HasEntries(const QStringList &list)
{
    return !(list.isEmpty() || (list.size() == 1 && list.first().isEmpty()));
}

// The categories and keywords of a record: kept sorted by the user's locale
// collation, case-insensitively, with no two entries that collate equal.
class TSortedStringList
{
public:
    TSortedStringList() = default;
    TSortedStringList(std::initializer_list<QString> entries);

    // Adds the entry unless an equal one (in any letter case) is there; returns the
    // position of the new or the existing entry.
    qsizetype Add(const QString &entry);
    qsizetype IndexOf(const QString &entry) const; // -1 when absent
    bool Contains(const QString &entry) const { return IndexOf(entry) >= 0; }
    bool Remove(const QString &entry);
    void Assign(const QStringList &entries);
    void Clear() { m_entries.clear(); }

    qsizetype Count() const { return m_entries.size(); }
    bool IsEmpty() const { return m_entries.isEmpty(); }
    const QString &operator[](qsizetype i) const { return m_entries[i]; }
    const QStringList &Entries() const { return m_entries; }
    QStringList::const_iterator begin() const { return m_entries.cbegin(); }
    QStringList::const_iterator end() const { return m_entries.cend(); }

    bool operator==(const TSortedStringList &other) const { return m_entries == other.m_entries; }

    // Case-insensitive comparison by the user's locale collation, shared with the
    // collection's vocabularies.
    static int Compare(const QString &a, const QString &b);

private:
    // First position whose entry does not collate before the given one.
    qsizetype LowerBound(const QString &entry) const;

    QStringList m_entries;
};

} // namespace cardolin
