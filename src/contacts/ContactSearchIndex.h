#pragma once

#include "contacts/ContactData.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace cardolin {

class TQorContacts;

// The words of a search term of two or more words ("Olaf Brown0"), or nothing
// for a term of one word.
QStringList WordsOfTerm(const QString &term);
// FindText with each term of several words split into one term per word, or
// nothing when no term has several words: what a search over every field
// falls back to when the text as typed finds nothing.
QString FindTextWordsApart(const QString &FindText);
// The same for a find that tries one contact at a time with one term: the
// words to look for one by one when the term has several and no contact of
// the book holds it as typed, else nothing.
QStringList WordsToFindApart(const TQorContacts &book, const QString &term);

// The texts that a search over every field (qtAll) looks at, normalized once
// for a set of find options and laid end to end, so that searching an
// unchanged book again only compares. Whoever changes, adds or deletes one of
// its records must build it again (or clear it).
class TContactSearchIndex
{
public:
    // records in list order; built on both cores for a large book, with the
    // book's find options and the display names its list shows.
    void Build(const std::vector<TContactData *> &records, const TQorContacts &book);
    void Clear();
    bool IsBuiltFor(const TQorContacts &book) const;
    // The records that QueryContactDataList(FindText, qtAll, dtInherited)
    // finds, in list order; nothing when the text holds a character the index
    // cannot tell apart from the end of a field.
    std::optional<std::vector<TContactData *>> Query(const QString &FindText) const;

private:
    // Texts laid end to end, each ended by a zero, and where each record's end.
    struct Texts
    {
        std::u16string Texts;
        std::vector<std::size_t> Ends;
    };
    // A run of records: the texts of their fields, and their display names.
    struct Part
    {
        Texts Fields;
        Texts Names;
    };
    struct Term
    {
        std::u16string Text;
        bool AlsoInNames = false;
    };
    struct NameSettings
    {
        NameSettings() = default;
        explicit NameSettings(const TQorContacts &book);
        bool operator==(const NameSettings &) const = default;
        TDisplayType Type = dtFirstMiddleLastName;
        TDisplayTypeOptions Options;
    };
    std::optional<std::vector<TContactData *>> QueryTerms(const QString &FindText) const;
    void Search(const Part &part, const std::vector<Term> &terms, std::vector<bool> &found) const;

    std::vector<TContactData *> m_records;
    Part m_parts[2];
    TFindOptions m_options;
    NameSettings m_names;
    bool m_built = false;
};

} // namespace cardolin
