#include "contacts/SortedStringList.h"

#include "support/ListSortCompare.h"

#include <QCollator>

namespace cardolin {

namespace {
const QCollator &CaseInsensitiveCollator()
{
    // Built once per thread from the user's locale; comparing is the hot path of
    // loading a large book.
    thread_local const QCollator collator = [] {
        return MakeListCollator(QLocale());
    }();
    return collator;
}
} // namespace

TSortedStringList::TSortedStringList(std::initializer_list<QString> entries)
{
    for (const QString &entry : entries)
        Add(entry);
}

int TSortedStringList::Compare(const QString &a, const QString &b)
{
    return CaseInsensitiveCollator().compare(a, b);
}

qsizetype TSortedStringList::LowerBound(const QString &entry) const
{
    qsizetype low = 0, high = m_entries.size();
    while (low < high) {
        const qsizetype mid = (low + high) / 2;
        if (Compare(m_entries[mid], entry) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

qsizetype TSortedStringList::IndexOf(const QString &entry) const
{
    const qsizetype at = LowerBound(entry);
    return at < m_entries.size() && Compare(m_entries[at], entry) == 0 ? at : -1;
}

qsizetype TSortedStringList::Add(const QString &entry)
{
    const qsizetype at = LowerBound(entry);
    if (at < m_entries.size() && Compare(m_entries[at], entry) == 0)
        return at;
    m_entries.insert(at, entry);
    return at;
}

bool TSortedStringList::Remove(const QString &entry)
{
    const qsizetype at = IndexOf(entry);
    if (at < 0)
        return false;
    m_entries.removeAt(at);
    return true;
}

void TSortedStringList::Assign(const QStringList &entries)
{
    if (&entries == &m_entries)
        return;
    m_entries.clear();
    for (const QString &entry : entries)
        Add(entry);
}

} // namespace cardolin
