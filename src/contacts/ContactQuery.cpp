#include "contacts/AccentFolding.h"
#include "contacts/ContactFields.h"
#include "contacts/ContactSearchIndex.h"
#include "contacts/QorContacts.h"
#include "support/TwoHalves.h"

#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cstdint>

#include <vector>

namespace cardolin {

namespace {

bool IsBlank(QChar c)
{
    return c.isSpace();
}

// "Olaf Brown0": a run of blanks with a letter or digit on each side. Blanks
// at either end alone do not count, they take part in the term as typed.
bool HasSeveralWords(QStringView term)
{
    for (qsizetype i = 1; i + 1 < term.size(); ++i) {
        if (!IsBlank(term[i]) || !term[i - 1].isLetterOrNumber())
            continue;
        qsizetype next = i;
        while (next < term.size() && IsBlank(term[next]))
            ++next;
        if (next < term.size() && term[next].isLetterOrNumber())
            return true;
        i = next;
    }
    return false;
}

// How both sides of a comparison are brought to one form: accents folded, and the
// letters A to Z lower-cased (only those: É and é stay apart without folding).
// A table per combination of options keeps the per-character cost to one read,
// which is most of the time a search over a large book takes.
class Normalizer
{
public:
    Normalizer(bool fold, bool lower) : m_table(Table(fold, lower).data()) {}

    char16_t operator()(char16_t c) const { return m_table[c]; }
    QString operator()(QStringView text) const
    {
        QString result(text.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            result[i] = QChar(m_table[text[i].unicode()]);
        return result;
    }

private:
    using CharTable = std::array<char16_t, 0x10000>;

    static const CharTable &Table(bool fold, bool lower)
    {
        static const std::array<CharTable, 4> tables = [] {
            std::array<CharTable, 4> result{};
            for (int combination = 0; combination < 4; ++combination)
                for (char32_t c = 0; c < 0x10000; ++c)
                    result[size_t(combination)][c] = Normalize(char16_t(c), combination & 1, combination & 2);
            return result;
        }();
        return tables[size_t((fold ? 1 : 0) | (lower ? 2 : 0))];
    }

    static char16_t Normalize(char16_t c, bool fold, bool lower)
    {
        if (fold)
            c = FoldAccentedChar(c);
        if (lower && c >= u'A' && c <= u'Z')
            c = char16_t(c + (u'a' - u'A'));
        return c;
    }

    const char16_t *m_table;
};

// Formats without allocating: the whole-book search formats three dates and a
// count for every record.
using SmallText = QVarLengthArray<char16_t, 16>;

void AppendNumber(SmallText &out, qint64 value, int minDigits)
{
    if (value < 0) {
        out.append(u'-');
        value = -value;
    }
    char16_t digits[24];
    int n = 0;
    do {
        digits[n++] = char16_t(u'0' + value % 10);
        value /= 10;
    } while (value > 0 || n < minDigits);
    while (n > 0)
        out.append(digits[--n]);
}

// Every date takes part, an unset one as 1899-12-30.
SmallText DateText(TDateTime serial)
{
    SmallText text;
    const QDate date = SerialToDate(serial);
    if (!date.isValid())
        return text;
    AppendNumber(text, date.year(), 4);
    text.append(u'-');
    AppendNumber(text, date.month(), 2);
    text.append(u'-');
    AppendNumber(text, date.day(), 2);
    return text;
}

// "Seattle, WA, USA", "CA, USA" (a state), "Lyon, France" (a city) or "France".
struct Place
{
    QString city, state, country;
};

Place ParsePlace(const QString &term, const Normalizer &normalize)
{
    QStringList pieces = term.split(u',', Qt::SkipEmptyParts);
    for (QString &piece : pieces)
        piece = piece.trimmed();
    Place place;
    if (pieces.size() == 3) {
        place = {pieces[0], pieces[1], pieces[2]};
    } else if (pieces.size() == 2) {
        const bool isState = pieces[0].size() == 2 && pieces[0] == pieces[0].toUpper();
        place = isState ? Place{{}, pieces[0], pieces[1]} : Place{pieces[0], {}, pieces[1]};
    } else if (pieces.size() == 1) {
        place.country = pieces[0];
    }
    return {normalize(place.city), normalize(place.state), normalize(place.country)};
}

class TermMatcher
{
public:
    TermMatcher(const QString &term, TFindOptions options)
        : m_normalize(options.testFlag(foIgnoreAccentedChars), !options.testFlag(foCaseSensitive)),
          m_term(m_normalize(term)), m_place(ParsePlace(term, m_normalize)),
          m_numeric(std::all_of(m_term.cbegin(), m_term.cend(),
                                [](QChar c) { return (c >= u'0' && c <= u'9') || c == u'-'; })),
          m_severalWords(HasSeveralWords(term))
    {
    }

    // A whole name as typed ("Olaf Brown") is also looked for in the name the list shows.
    bool AlsoInDisplayName() const { return m_severalWords; }

    // Dates and counts are written with digits and "-" only, which no other
    // character normalizes to; a term with anything else is never in them.
    bool CanBeInNumbers() const { return m_numeric; }

    // The term occurs in the text; an empty term occurs nowhere.
    bool In(QStringView text) const
    {
        const qsizetype n = m_term.size();
        if (n == 0 || text.size() < n)
            return false;
        const char16_t first = m_term[0].unicode();
        for (qsizetype at = 0; at + n <= text.size(); ++at) {
            if (m_normalize(text[at].unicode()) != first)
                continue;
            qsizetype i = 1;
            while (i < n && m_normalize(text[at + i].unicode()) == m_term[i].unicode())
                ++i;
            if (i == n)
                return true;
        }
        return false;
    }

    template <typename List> bool InAny(const List &entries) const
    {
        for (const QString &entry : entries)
            if (In(entry))
                return true;
        return false;
    }

    bool SameAs(QStringView text, const QString &normalized) const
    {
        if (text.size() != normalized.size())
            return false;
        for (qsizetype i = 0; i < text.size(); ++i)
            if (m_normalize(text[i].unicode()) != normalized[i].unicode())
                return false;
        return true;
    }

    // The term read as a place, for location queries.
    const Place &AsPlace() const { return m_place; }

private:
    Normalizer m_normalize;
    QString m_term;
    Place m_place;
    bool m_numeric;
    bool m_severalWords;
};

// The fields a search over everything looks at, in the order it tries them:
// all but the coordinates, the time stamps, the photo and the account links.
const std::vector<const ContactField *> &SearchedFields()
{
    static const std::vector<const ContactField *> fields = [] {
        std::vector<const ContactField *> result;
        for (const ContactField &field : ContactFields()) {
            const bool excluded = field.kind == FieldKind::DateTime || field.kind == FieldKind::Boolean
                                  || field.kind == FieldKind::Photo || IsCoordinateOrAccountField(field);
            if (!excluded)
                result.push_back(&field);
        }
        return result;
    }();
    return fields;
}

bool InField(const TermMatcher &term, const ContactField &field, const TContactData &contact)
{
    switch (field.kind) {
    case FieldKind::Text:
        return term.In(FieldRef<QString>(contact, field));
    case FieldKind::Date: {
        if (!term.CanBeInNumbers())
            return false;
        const SmallText text = DateText(FieldRef<TDateTime>(contact, field));
        return term.In(QStringView(text.constData(), text.size()));
    }
    case FieldKind::Integer: {
        if (!term.CanBeInNumbers())
            return false;
        SmallText text;
        AppendNumber(text, FieldRef<int>(contact, field), 1);
        return term.In(QStringView(text.constData(), text.size()));
    }
    case FieldKind::Lines:
        return term.InAny(FieldRef<QStringList>(contact, field));
    case FieldKind::SortedList:
        return term.InAny(FieldRef<TSortedStringList>(contact, field));
    default:
        return false;
    }
}

bool AtPlace(const TermMatcher &term, const TContactData &c)
{
    const Place &place = term.AsPlace();
    const auto at = [&](const QString &city, const QString &state, const QString &country) {
        return term.SameAs(city, place.city) && term.SameAs(state, place.state)
               && term.SameAs(country, place.country);
    };
    return at(c.WorkCity, c.WorkStateProvince, c.WorkCountryRegion)
           || at(c.HomeCity, c.HomeStateProvince, c.HomeCountryRegion)
           || at(c.OtherCity, c.OtherStateProvince, c.OtherCountryRegion);
}

bool Matches(const TermMatcher &term, const TContactData &contact, TQueryType type)
{
    switch (type) {
    case qtAll:
        for (const ContactField *field : SearchedFields())
            if (InField(term, *field, contact))
                return true;
        return false;
    case qtCategory:
        return term.InAny(contact.Categories);
    case qtCompany:
        return term.In(contact.Company);
    case qtKeyword:
        return term.InAny(contact.Keywords);
    case qtLocation:
        return AtPlace(term, contact);
    case qtDisplayName:
        return false; // names are matched whole, by the query itself
    }
    return false;
}

// The texts of one record as the index keeps them: those InField looks at,
// normalized, each followed by a zero.
void AppendNormalized(QStringView text, const Normalizer &normalize, std::u16string &out)
{
    const std::size_t n = std::size_t(text.size());
    if (n == 0)
        return;
    const std::size_t at = out.size();
    out.resize(at + n + 1);
    char16_t *to = out.data() + at;
    const char16_t *from = text.utf16();
    for (std::size_t i = 0; i < n; ++i)
        to[i] = normalize(from[i]);
    to[n] = u'\0';
}

void AppendSearchedTexts(const TContactData &contact, const Normalizer &normalize, std::u16string &out)
{
    const auto append = [&](QStringView text) { AppendNormalized(text, normalize, out); };
    for (const ContactField *field : SearchedFields()) {
        switch (field->kind) {
        case FieldKind::Text:
            append(FieldRef<QString>(contact, *field));
            break;
        case FieldKind::Date: {
            const SmallText text = DateText(FieldRef<TDateTime>(contact, *field));
            append(QStringView(text.constData(), text.size()));
            break;
        }
        case FieldKind::Integer: {
            SmallText text;
            AppendNumber(text, FieldRef<int>(contact, *field), 1);
            append(QStringView(text.constData(), text.size()));
            break;
        }
        case FieldKind::Lines:
            for (const QString &entry : FieldRef<QStringList>(contact, *field))
                append(entry);
            break;
        case FieldKind::SortedList:
            for (const QString &entry : FieldRef<TSortedStringList>(contact, *field))
                append(entry);
            break;
        default:
            break;
        }
    }
}

} // namespace

QStringList WordsOfTerm(const QString &term)
{
    QStringList words;
    if (!HasSeveralWords(term))
        return words;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= term.size(); ++i) {
        const bool blank = i == term.size() || IsBlank(term[i]);
        if (!blank && start < 0)
            start = i;
        if (blank && start >= 0) {
            words.append(term.mid(start, i - start));
            start = -1;
        }
    }
    return words;
}

QString FindTextWordsApart(const QString &FindText)
{
    QStringList terms = FindText.split(u'&', Qt::SkipEmptyParts);
    bool split = false;
    for (QString &term : terms) {
        const QStringList words = WordsOfTerm(term);
        if (!words.isEmpty()) {
            term = words.join(u'&');
            split = true;
        }
    }
    return split ? terms.join(u'&') : QString();
}

QStringList WordsToFindApart(const TQorContacts &book, const QString &term)
{
    const QStringList words = WordsOfTerm(term);
    if (words.isEmpty())
        return {};
    for (const auto &contact : book.ContactDataList())
        if (book.FindTextInContactData(contact.get(), term, qtAll))
            return {};
    return words;
}

void TContactSearchIndex::Build(const std::vector<TContactData *> &records, const TQorContacts &book)
{
    Clear();
    m_records = records;
    m_options = book.FindOptions();
    m_names = NameSettings(book);
    const Normalizer normalize(m_options.testFlag(foIgnoreAccentedChars), !m_options.testFlag(foCaseSensitive));
    constexpr std::size_t kMinimumForThread = 4000;
    ForTwoHalves(records.size(), kMinimumForThread, [&](std::size_t begin, std::size_t end) {
        Part &part = m_parts[begin == 0 ? 0 : 1];
        part.Fields.Ends.reserve(end - begin);
        part.Names.Ends.reserve(end - begin);
        constexpr std::size_t kTypicalLength = 320; // characters a record's texts take, about
        part.Fields.Texts.reserve((end - begin) * kTypicalLength);
        for (std::size_t i = begin; i < end; ++i) {
            AppendSearchedTexts(*records[i], normalize, part.Fields.Texts);
            part.Fields.Ends.push_back(part.Fields.Texts.size());
            AppendNormalized(book.GetDisplayNameFromContactData(records[i], dtInherited), normalize,
                             part.Names.Texts);
            part.Names.Ends.push_back(part.Names.Texts.size());
        }
    });
    m_built = true;
}

TContactSearchIndex::NameSettings::NameSettings(const TQorContacts &book)
    : Type(book.DisplayType()), Options(book.DisplayTypeOptions())
{
}

bool TContactSearchIndex::IsBuiltFor(const TQorContacts &book) const
{
    return m_built && m_options == book.FindOptions() && m_names == NameSettings(book);
}

void TContactSearchIndex::Clear()
{
    m_records = {};
    m_parts[0] = {};
    m_parts[1] = {};
    m_built = false;
}

std::optional<std::vector<TContactData *>> TContactSearchIndex::Query(const QString &FindText) const
{
    std::optional<std::vector<TContactData *>> found = QueryTerms(FindText);
    if (found && found->empty()) {
        const QString words = FindTextWordsApart(FindText);
        if (!words.isEmpty())
            return QueryTerms(words);
    }
    return found;
}

std::optional<std::vector<TContactData *>> TContactSearchIndex::QueryTerms(const QString &FindText) const
{
    const Normalizer normalize(m_options.testFlag(foIgnoreAccentedChars), !m_options.testFlag(foCaseSensitive));
    std::vector<Term> terms;
    for (const QString &term : FindText.split(u'&', Qt::SkipEmptyParts)) {
        if (term.contains(QChar(u'\0')))
            return std::nullopt;
        const QString normalized = normalize(term);
        terms.push_back({std::u16string(reinterpret_cast<const char16_t *>(normalized.constData()),
                                        std::size_t(normalized.size())),
                         HasSeveralWords(term)});
    }
    std::vector<bool> found(m_records.size(), true);
    if (!terms.empty()) {
        std::vector<bool> halves[2];
        halves[0].assign(m_parts[0].Fields.Ends.size(), false);
        halves[1].assign(m_parts[1].Fields.Ends.size(), false);
        Search(m_parts[0], terms, halves[0]);
        Search(m_parts[1], terms, halves[1]);
        found = halves[0];
        found.insert(found.end(), halves[1].begin(), halves[1].end());
    }
    std::vector<TContactData *> result;
    for (std::size_t i = 0; i < m_records.size(); ++i)
        if (found[i])
            result.push_back(m_records[i]);
    return result;
}

// A record matches when every term occurs in it; a term holds no zero, so
// each place it occurs lies inside one field (or the name) of one record.
void TContactSearchIndex::Search(const Part &part, const std::vector<Term> &terms, std::vector<bool> &found) const
{
    std::vector<std::uint32_t> termsFound(part.Fields.Ends.size(), 0);
    const auto mark = [&](const Texts &in, std::size_t t) {
        const std::u16string_view texts(in.Texts);
        std::size_t at = texts.find(terms[t].Text);
        while (at != std::u16string_view::npos) {
            const std::size_t record =
                std::size_t(std::upper_bound(in.Ends.begin(), in.Ends.end(), at) - in.Ends.begin());
            if (termsFound[record] == t)
                termsFound[record] = std::uint32_t(t + 1);
            at = texts.find(terms[t].Text, in.Ends[record]);
        }
    };
    for (std::size_t t = 0; t < terms.size(); ++t) {
        mark(part.Fields, t);
        if (terms[t].AlsoInNames)
            mark(part.Names, t);
    }
    for (std::size_t i = 0; i < found.size(); ++i)
        found[i] = termsFound[i] == terms.size();
}

namespace {

bool MatchesTerm(const TQorContacts &book, const TermMatcher &term, const TContactData &contact, TQueryType type,
                 TDisplayType display)
{
    if (Matches(term, contact, type))
        return true;
    return type == qtAll && term.AlsoInDisplayName()
           && term.In(book.GetDisplayNameFromContactData(&contact, display));
}

std::vector<TContactData *> QueryTerms(const TQorContacts &book, const QString &FindText, TQueryType AQueryType,
                                       TDisplayType ADisplayType)
{
    std::vector<TermMatcher> terms;
    for (const QString &term : FindText.split(u'&', Qt::SkipEmptyParts))
        terms.emplace_back(term, book.FindOptions());
    const auto matches = [&](const TContactData &contact) {
        return std::all_of(terms.begin(), terms.end(), [&](const TermMatcher &term) {
            return MatchesTerm(book, term, contact, AQueryType, ADisplayType);
        });
    };
    // Both halves of a large book at once, each into its own list, joined in order.
    std::vector<TContactData *> halves[2];
    constexpr std::size_t kMinimumForThread = 4000;
    ForTwoHalves(book.ContactDataList().size(), kMinimumForThread, [&](std::size_t begin, std::size_t end) {
        std::vector<TContactData *> &found = halves[begin == 0 ? 0 : 1];
        for (std::size_t i = begin; i < end; ++i)
            if (matches(*book.ContactDataList()[i]))
                found.push_back(book.ContactDataList()[i].get());
    });
    std::vector<TContactData *> result = std::move(halves[0]);
    result.insert(result.end(), halves[1].begin(), halves[1].end());
    return result;
}

} // namespace

bool TQorContacts::FindTextInContactData(const TContactData *AContactData, const QString &FindText,
                                         TQueryType AQueryType) const
{
    return AContactData
           && MatchesTerm(*this, TermMatcher(FindText, m_findOptions), *AContactData, AQueryType, dtInherited);
}

int TQorContacts::QueryContactDataList(const QString &FindText, TQueryType AQueryType, TDisplayType ADisplayType)
{
    m_queryResults.clear();
    if (AQueryType == qtDisplayName) {
        for (const auto &contact : m_contactDataList)
            if (HasDisplayName(*contact, ADisplayType, FindText))
                m_queryResults.push_back(contact.get());
        return int(m_queryResults.size());
    }
    m_queryResults = QueryTerms(*this, FindText, AQueryType, ADisplayType);
    // Words of a name typed in another order, or with a part left out.
    if (m_queryResults.empty() && AQueryType == qtAll) {
        const QString words = FindTextWordsApart(FindText);
        if (!words.isEmpty())
            m_queryResults = QueryTerms(*this, words, AQueryType, ADisplayType);
    }
    return int(m_queryResults.size());
}

} // namespace cardolin
