#pragma once

#include "contacts/ContactData.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace cardolin {

// The texts that a search over every field (qtAll) looks at, normalized once
// for a set of find options and laid end to end, so that searching an
// unchanged book again only compares. Whoever changes, adds or deletes one of
// its records must build it again (or clear it).
class TContactSearchIndex
{
public:
    // records in list order; built on both cores for a large book.
    void Build(const std::vector<TContactData *> &records, TFindOptions options);
    void Clear();
    bool IsBuiltFor(TFindOptions options) const { return m_built && m_options == options; }
    // The records that QueryContactDataList(FindText, qtAll, ...) finds, in
    // list order; nothing when the text holds a character the index cannot
    // tell apart from the end of a field.
    std::optional<std::vector<TContactData *>> Query(const QString &FindText) const;

private:
    // A run of records: their texts, each field's text ended by a zero, and
    // where each record's texts end.
    struct Part
    {
        std::u16string Texts;
        std::vector<std::size_t> Ends;
    };
    void Search(const Part &part, const std::vector<std::u16string> &terms, std::vector<bool> &found) const;

    std::vector<TContactData *> m_records;
    Part m_parts[2];
    TFindOptions m_options;
    bool m_built = false;
};

} // namespace cardolin
