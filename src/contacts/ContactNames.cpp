#include "contacts/ContactNames.h"

#include "contacts/AccentFolding.h"
#include "contacts/QorContacts.h"
#include "support/Clock.h"

namespace cardolin {

DisplayNameParts::DisplayNameParts(const TContactData &contact, TDisplayType type, bool fold) : m_fold(fold)
{
    const auto add = [this](const QString &part) {
        if (!part.isEmpty())
            m_parts[size_t(m_count++)] = part;
    };
    switch (type) {
    case dtFirstLastName:
        add(contact.FirstName), add(contact.LastName);
        break;
    case dtFirstMiddleLastName:
        add(contact.FirstName), add(contact.MiddleName), add(contact.LastName);
        break;
    case dtFullName:
        add(contact.Title), add(contact.FirstName), add(contact.MiddleName), add(contact.LastName);
        m_suffix = contact.Suffix;
        break;
    case dtLastFirstName:
        add(contact.LastName), add(contact.FirstName);
        break;
    case dtInherited:
        break; // nothing to inherit from: no name
    }
}

// Calls visit for each piece in order: parts with single blanks between them,
// then ", " and the suffix (or the suffix alone).
template <typename Visit> void DisplayNameParts::ForEachPiece(Visit visit) const
{
    for (qsizetype i = 0; i < m_count; ++i) {
        if (i > 0)
            visit(QStringView(u" "));
        visit(m_parts[size_t(i)]);
    }
    if (!m_suffix.isEmpty()) {
        if (m_count > 0)
            visit(QStringView(u", "));
        visit(m_suffix);
    }
}

qsizetype DisplayNameParts::Length() const
{
    qsizetype length = 0;
    ForEachPiece([&](QStringView piece) { length += piece.size(); });
    return length;
}

QString DisplayNameParts::ToString() const
{
    QString name;
    name.reserve(Length());
    ForEachPiece([&](QStringView piece) { name += piece; });
    return m_fold ? FoldAccentedChars(name) : name;
}

bool DisplayNameParts::Equals(QStringView text) const
{
    if (Length() != text.size())
        return false;
    qsizetype at = 0;
    bool same = true;
    ForEachPiece([&](QStringView piece) {
        for (qsizetype i = 0; same && i < piece.size(); ++i, ++at) {
            const char16_t c = piece[i].unicode();
            same = (m_fold ? FoldAccentedChar(c) : c) == text[at].unicode();
        }
    });
    return same;
}

QString ComputeInitials(const TContactData &contact)
{
    QString name = DisplayNameParts(contact, dtFirstMiddleLastName, false).ToString();
    const qsizetype parenthesis = name.indexOf(u'(');
    if (parenthesis >= 0)
        name.truncate(parenthesis); // "Anna van Dijk (Amsterdam)": the remark has no initial
    QString initials;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar prev = i > 0 ? name[i - 1] : QChar();
        const bool afterBlank = i > 1 && name[i - 2] == u' ';
        const bool startsWord = i == 0 || prev == u' ' || prev == u'-'
                                || ((prev == u'(' || prev == u'"') && afterBlank);
        // An opening quote starts a word but is no initial itself: the letter after it is.
        const bool opener = name[i] == u'"' || name[i] == u'(';
        if (startsWord && name[i] != u' ' && !opener)
            initials += name[i].toUpper() + QLatin1Char('.');
    }
    return initials;
}

// ---- the collection's name operations ----------------------------------------

namespace {

TDisplayType Resolve(TDisplayType requested, TDisplayType own)
{
    return requested == dtInherited ? own : requested;
}

QString ReplaceUnderscores(const QString &text)
{
    return QString(text).replace(u'_', u' ');
}

// Every row of the contact list joins two of these, so a single entry is
// shared rather than copied and a longer text is allocated once.
QString JoinNonEmpty(const TSortedStringList &list)
{
    const QString *only = nullptr;
    qsizetype length = -1;
    for (const QString &entry : list)
        if (!entry.isEmpty()) {
            only = length < 0 ? &entry : nullptr;
            length += entry.size() + 1;
        }
    if (length < 0)
        return {};
    if (only)
        return *only;
    QString joined;
    joined.reserve(length);
    for (const QString &entry : list)
        if (!entry.isEmpty()) {
            if (!joined.isEmpty())
                joined += u';';
            joined += entry;
        }
    return joined;
}

} // namespace

QString TQorContacts::GetDisplayNameFromContactData(const TContactData *AContactData, TDisplayType ADisplayType) const
{
    if (!AContactData)
        return {};
    return DisplayNameParts(*AContactData, Resolve(ADisplayType, m_displayType),
                            m_displayTypeOptions.testFlag(dtoReplaceAccentedChars))
        .ToString();
}

bool TQorContacts::HasDisplayName(const TContactData &contact, TDisplayType type, QStringView name) const
{
    return DisplayNameParts(contact, Resolve(type, m_displayType),
                            m_displayTypeOptions.testFlag(dtoReplaceAccentedChars))
        .Equals(name);
}

TContactData *TQorContacts::GetContactDataFromDisplayName(const QString &DisplayName)
{
    if (DisplayName.isEmpty())
        return nullptr;
    for (const auto &contact : m_contactDataList)
        if (HasDisplayName(*contact, dtInherited, DisplayName)) {
            contact->Accessed = DateTimeToSerial(m_clock->NowUtc());
            return contact.get();
        }
    return nullptr;
}

bool TQorContacts::IsContactDataUnique(const TContactData *AContactData) const
{
    if (!AContactData)
        return false;
    const QString name = GetDisplayNameFromContactData(AContactData, dtInherited);
    for (const auto &contact : m_contactDataList)
        if (contact.get() != AContactData && HasDisplayName(*contact, dtInherited, name))
            return false;
    return true;
}

void SetNamesFromFullName(TContactData &contact, const QString &name)
{
    const qsizetype blank = name.indexOf(u' ');
    if (blank < 0) {
        contact.LastName = name;
        return;
    }
    contact.FirstName = name.left(blank);
    contact.LastName = name.mid(blank + 1);
}

QString TQorContacts::ComputeInitialsFromContactData(const TContactData *AContactData) const
{
    return AContactData ? ComputeInitials(*AContactData) : QString();
}

void TQorContacts::BreakFullNameString(const QString &FullNameString, QString &Title, QString &FirstName,
                                       QString &MiddleName, QString &LastName, QString &Suffix) const
{
    bool hasSuffix = false;
    for (const QString &suffix : m_suffixes)
        hasSuffix = hasSuffix || FullNameString.contains(QStringLiteral(", ") + suffix);
    const QStringList w = FullNameString.split(u' ', Qt::SkipEmptyParts);
    const auto isTitle = [this](const QString &word) { return m_titles.contains(word, Qt::CaseInsensitive); };

    switch (w.size()) {
    case 5:
        Title = w[0], FirstName = w[1], MiddleName = w[2], LastName = w[3];
        if (hasSuffix)
            Suffix = w[4];
        else
            LastName += u' ' + w[4];
        break;
    case 4:
        if (isTitle(w[0]))
            Title = w[0];
        if (!Title.isEmpty()) {
            Title = w[0], FirstName = w[1], MiddleName = w[2], LastName = w[3];
        } else {
            FirstName = w[0], MiddleName = w[1], LastName = w[2];
            if (hasSuffix)
                Suffix = w[3];
            else
                LastName += u' ' + w[3];
        }
        break;
    case 3:
        if (isTitle(w[0]))
            Title = w[0];
        if (!Title.isEmpty()) {
            Title = w[0], FirstName = w[1], LastName = w[2];
        } else if (FirstName = w[0]; m_suffixes.contains(w[2], Qt::CaseInsensitive)) {
            LastName = w[1], Suffix = w[2];
        } else {
            FirstName = ReplaceUnderscores(w[0]);
            MiddleName = ReplaceUnderscores(w[1]);
            LastName = ReplaceUnderscores(w[2]);
        }
        break;
    case 2:
        FirstName = ReplaceUnderscores(w[0]), LastName = ReplaceUnderscores(w[1]);
        break;
    case 1:
        LastName = ReplaceUnderscores(w[0]);
        break;
    default:
        break; // nothing sensible to assign
    }
}

QString TQorContacts::GetCategoriesAsStringFromContactData(const TContactData *AContactData) const
{
    return AContactData ? JoinNonEmpty(AContactData->Categories) : QString();
}

QString TQorContacts::GetKeywordsAsStringFromContactData(const TContactData *AContactData) const
{
    return AContactData ? JoinNonEmpty(AContactData->Keywords) : QString();
}

namespace {
// The field of the preferred location, or the first non-empty one when none is
// preferred. A preferred location with an empty field gives nothing.
QString Preferred(const TContactData &c, const QString &work, const QString &personal, const QString &other)
{
    if (c.Preferred == u"Work")
        return work;
    if (c.Preferred == u"Personal")
        return personal;
    if (c.Preferred == u"Other")
        return other;
    return !work.isEmpty() ? work : !personal.isEmpty() ? personal : other;
}
} // namespace

QString TQorContacts::GetPreferredEmailFromContactData(const TContactData *AContactData) const
{
    if (!AContactData)
        return {};
    const TContactData &c = *AContactData;
    return Preferred(c, c.WorkEmail, c.PersonalEmail, c.OtherEmail);
}

QString TQorContacts::GetPreferredMobilePhoneFromContactData(const TContactData *AContactData) const
{
    if (!AContactData)
        return {};
    const TContactData &c = *AContactData;
    return Preferred(c, c.WorkMobilePhone, c.PersonalMobilePhone, c.OtherMobilePhone);
}

} // namespace cardolin
