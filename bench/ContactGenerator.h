#pragma once

#include "contacts/ContactData.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace cardolin {

class TQorContacts;

namespace bench {

// A small deterministic generator: the same seed gives the same numbers on every
// platform and standard library, which std::uniform_int_distribution does not.
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t Next();
    int Below(int bound); // [0, bound)
    int Between(int low, int high); // [low, high]
    bool Chance(double probability);
    const QString &Pick(const QStringList &items) { return items[Below(int(items.size()))]; }
    QString PickOrEmpty(double probability, const QStringList &items);

private:
    std::uint64_t m_state;
};

// Fills a collection with varied, plausible contacts: accented and non-Latin
// names, empty fields, one to three addresses, multi-line streets and notes,
// categories, keywords, dates and stamps. About one contact in ten is a near
// duplicate of an earlier one (same first and last name, other details changed),
// some of them in groups of three or more, so that duplicate finders and sync
// matching have something to find.
class ContactGenerator
{
public:
    explicit ContactGenerator(std::uint64_t seed = 20240501);

    // Share of the generated contacts that copy an earlier one; 0 turns them off.
    void SetDuplicateShare(double share) { m_duplicateShare = share; }
    // Gives every original a last name of its own (a second, made-up surname), so
    // that only the near duplicates share names: what a deduplication run on a
    // large book should find.
    void SetDistinctNames(bool distinct) { m_distinctNames = distinct; }

    // Appends count contacts to the collection and returns the first one added.
    // Generation continues where the previous call stopped, so several calls give
    // the same contacts as one call with the sum. Near duplicates are copied from
    // contacts generated earlier, so those must still exist.
    TContactData *AddContacts(TQorContacts &contacts, int count);

    // For every contact generated so far, in order: the index (among generated
    // contacts) of the one it is a near duplicate of, or -1 for an original.
    const std::vector<int> &DuplicateOf() const { return m_duplicateOf; }

private:
    void FillOriginal(TContactData &contact);
    void FillNearDuplicate(TContactData &contact, const TContactData &source);
    int PickDuplicateSource();

    void FillName(TContactData &contact);
    void FillAddress(TContactData &contact, int kind);
    QString Street();
    QString Phone(const QString &prefix);
    QString EmailFor(const TContactData &contact, const QString &domain);
    QStringList NoteLines();
    TDateTime RandomDate(int fromYear, int toYear);
    TDateTime RandomStamp(TDateTime notBefore);

    Random m_random;
    int m_region = 0; // where the current contact's name comes from
    double m_duplicateShare = 0.10;
    bool m_distinctNames = false;
    int m_originals = 0;
    std::vector<const TContactData *> m_generated; // owned by the collections
    std::vector<int> m_duplicateOf;
    std::vector<int> m_grouped; // originals that already have a duplicate
};

} // namespace bench
} // namespace cardolin
