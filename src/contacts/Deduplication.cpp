#include "contacts/ContactFields.h"
#include "contacts/QorContacts.h"
#include "support/Clock.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <set>

namespace cardolin {

namespace {

// The text fields a merge fills from the newer record, or from the older one where
// the newer is empty: every text field but the coordinates and the account links,
// which describe one record and cannot be mixed.
const std::vector<const ContactField *> &MergedTextFields()
{
    static const std::vector<const ContactField *> fields = [] {
        std::vector<const ContactField *> result;
        for (const ContactField &field : ContactFields())
            if (field.kind == FieldKind::Text && !IsCoordinateOrAccountField(field))
                result.push_back(&field);
        return result;
    }();
    return fields;
}

int SaturatedSum(int a, int b)
{
    const qint64 sum = qint64(a) + qint64(b);
    return int(std::clamp<qint64>(sum, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

TContactData *TQorContacts::MergeContactData(const TContactData *ThisContactData,
                                             const TContactData *WithThisContactData,
                                             TContactData *IntoThisContactData)
{
    if (!ThisContactData || !WithThisContactData)
        return IntoThisContactData;
    TContactData *into = IntoThisContactData ? IntoThisContactData : CreateContactData();
    const bool withIsNewer = WithThisContactData->Modified >= ThisContactData->Modified;
    const TContactData &newer = withIsNewer ? *WithThisContactData : *ThisContactData;
    const TContactData &older = withIsNewer ? *ThisContactData : *WithThisContactData;

    // Each value is read from both sources before it is written, so the target
    // may be one of them.
    for (const ContactField *field : MergedTextFields()) {
        const QString &fromNewer = FieldRef<QString>(newer, *field);
        FieldRef<QString>(*into, *field) = fromNewer.isEmpty() ? FieldRef<QString>(older, *field) : fromNewer;
    }
    for (TDateTime TContactData::*date : {&TContactData::LastVisit, &TContactData::Birthday, &TContactData::Anniversary})
        into->*date = newer.*date > 0 ? newer.*date : older.*date;
    into->VisitCount = SaturatedSum(newer.VisitCount, older.VisitCount);
    into->Notes = HasEntries(newer.Notes) ? newer.Notes : older.Notes;
    into->Categories = HasEntries(newer.Categories.Entries()) ? newer.Categories : older.Categories;
    into->Keywords = HasEntries(newer.Keywords.Entries()) ? newer.Keywords : older.Keywords;
    into->Accessed = DateTimeToSerial(m_clock->NowUtc());
    into->Modified = DateTimeToSerial(m_clock->NowUtc());
    into->Synced = 0;
    into->Exportable = newer.Exportable || older.Exportable;
    into->GoogleContactID.clear();
    into->GoogleContactUpdated.clear();
    into->GoogleContactETag.clear();
    into->GoogleContactPhotoUrl.clear();
    return into;
}

// Removing duplicates one record at a time means, naively, a uniqueness test and a
// query over the whole book for every record. This keeps an index of display
// names instead, and marks removed records rather than shifting the list, then
// compacts once at the end. Survivors, merged values, order and counts are those
// of the one-record-at-a-time walk.
class Deduplicator
{
public:
    Deduplicator(TQorContacts &contacts, TContactDataList &list, TDeduplicationMethod method)
        : m_contacts(contacts), m_list(list), m_method(method), m_removed(list.size(), false)
    {
        m_names.reserve(qsizetype(list.size()));
        for (size_t i = 0; i < list.size(); ++i) {
            m_names.append(NameOf(i));
            m_groups[m_names.last()].insert(i);
        }
        m_alive.Build(list.size());
    }

    // Deduplicates the record at position position of the list as it now stands.
    int AtPosition(size_t position) { return Deduplicate(m_alive.FindNth(position)); }
    size_t Count() const { return m_alive.Total(); }

    // Deduplicates a record given by index into the original list, or one that is
    // not in the list at all (npos, compared by name).
    int Deduplicate(size_t index, const QString &foreignName = {})
    {
        const QString name = index == npos ? foreignName : m_names[qsizetype(index)];
        const auto group = m_groups.constFind(name);
        const size_t others = group == m_groups.cend() ? 0 : group->size() - (index == npos ? 0 : 1);
        // Contacts without any name are not the same person just because both lack one.
        if (name.isEmpty() || others == 0)
            return 0;
        m_touchedQuery = true;
        const std::vector<size_t> members(group->begin(), group->end());
        const size_t survivor = ChooseSurvivor(members);
        if (survivor == npos)
            return 0;
        int removed = 0;
        for (size_t member : members) {
            if (member == survivor)
                continue;
            if (m_method == dmMerge) {
                m_contacts.NoteWillChange(m_list[survivor].get());
                m_contacts.MergeContactData(m_list[member].get(), m_list[survivor].get(), m_list[survivor].get());
            }
            Remove(member);
            ++removed;
        }
        Rename(survivor);
        return removed;
    }

    // Hands the removed records over to be destroyed or kept for an undo; the
    // rest keep their order.
    void Finish()
    {
        TRemovedContacts removed;
        size_t kept = 0;
        for (size_t i = 0; i < m_list.size(); ++i) {
            if (m_removed[i])
                removed.emplace_back(qsizetype(i), std::move(m_list[i]));
            else
                m_list[kept++] = std::move(m_list[i]);
        }
        m_list.resize(kept);
        m_contacts.HandOverRemoved(std::move(removed));
    }

    bool TouchedQuery() const { return m_touchedQuery; }
    static constexpr size_t npos = size_t(-1);

private:
    QString NameOf(size_t index) const
    {
        return m_contacts.GetDisplayNameFromContactData(m_list[index].get(), dtInherited);
    }

    size_t ChooseSurvivor(const std::vector<size_t> &members) const
    {
        size_t best = npos;
        if (m_method == dmKeepOldest) {
            // The oldest change that is not in the future; the first of equals.
            const TDateTime now = DateTimeToSerial(m_contacts.GetClock().NowUtc());
            for (size_t member : members) {
                const TDateTime modified = m_list[member]->Modified;
                if (modified < now && (best == npos || modified < m_list[best]->Modified))
                    best = member;
            }
            return best;
        }
        // The newest change; the last of equals.
        for (size_t member : members)
            if (best == npos || m_list[member]->Modified >= m_list[best]->Modified)
                best = member;
        return best;
    }

    void Remove(size_t index)
    {
        m_removed[index] = true;
        m_alive.Remove(index);
        Ungroup(index);
    }

    void Ungroup(size_t index)
    {
        auto group = m_groups.find(m_names[qsizetype(index)]);
        group->erase(index);
        if (group->empty())
            m_groups.erase(group);
    }

    // A merge may have changed the survivor's name parts.
    void Rename(size_t index)
    {
        const QString name = NameOf(index);
        if (name == m_names[qsizetype(index)])
            return;
        Ungroup(index);
        m_names[qsizetype(index)] = name;
        m_groups[name].insert(index);
    }

    // Counts the records still present, to find the n-th of them in log time.
    class AliveTree
    {
    public:
        void Build(size_t n)
        {
            m_tree.assign(n + 1, 0);
            for (size_t i = 1; i <= n; ++i) {
                m_tree[i] += 1;
                if (const size_t parent = i + (i & -i); parent <= n)
                    m_tree[parent] += m_tree[i];
            }
            m_total = n;
        }
        void Remove(size_t index)
        {
            for (size_t i = index + 1; i < m_tree.size(); i += i & -i)
                --m_tree[i];
            --m_total;
        }
        size_t FindNth(size_t n) const // 0-based
        {
            size_t position = 0, remaining = n + 1;
            size_t step = 1;
            while (step * 2 < m_tree.size())
                step *= 2;
            for (; step > 0; step /= 2)
                if (position + step < m_tree.size() && m_tree[position + step] < remaining) {
                    position += step;
                    remaining -= m_tree[position];
                }
            return position; // the index whose 1-based tree slot is position + 1
        }
        size_t Total() const { return m_total; }

    private:
        std::vector<size_t> m_tree;
        size_t m_total = 0;
    };

    TQorContacts &m_contacts;
    TContactDataList &m_list;
    TDeduplicationMethod m_method;
    std::vector<bool> m_removed;
    QStringList m_names;
    QHash<QString, std::set<size_t>> m_groups; // display name -> indexes in list order
    AliveTree m_alive;
    bool m_touchedQuery = false;
};

int TQorContacts::DeduplicateContactData(TContactData *AContactData, TDeduplicationMethod ADeduplicationMethod)
{
    if (!AContactData)
        return 0;
    Deduplicator deduplicator(*this, m_contactDataList, ADeduplicationMethod);
    const qsizetype index = IndexOfContactData(AContactData);
    const int removed =
        index >= 0 ? deduplicator.Deduplicate(size_t(index))
                   : deduplicator.Deduplicate(Deduplicator::npos, GetDisplayNameFromContactData(AContactData, dtInherited));
    deduplicator.Finish();
    if (deduplicator.TouchedQuery())
        m_queryResults.clear();
    return removed;
}

int TQorContacts::DeduplicateContactDataList(TDeduplicationMethod ADeduplicationMethod)
{
    Deduplicator deduplicator(*this, m_contactDataList, ADeduplicationMethod);
    int total = 0;
    for (size_t position = 0; position < deduplicator.Count();) {
        const int removed = deduplicator.AtPosition(position);
        total += removed;
        if (removed == 0)
            ++position; // otherwise the list changed: look at the same position again
    }
    deduplicator.Finish();
    if (deduplicator.TouchedQuery())
        m_queryResults.clear();
    return total;
}

} // namespace cardolin
