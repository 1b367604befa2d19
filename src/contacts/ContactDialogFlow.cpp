#include "contacts/QorContacts.h"
#include "support/Clock.h"
#include "support/UserPrompts.h"

namespace cardolin {

namespace {

void AddMissing(QStringList &vocabulary, const QStringList &entries)
{
    for (const QString &entry : entries)
        if (!entry.isEmpty() && !vocabulary.contains(entry, Qt::CaseInsensitive))
            vocabulary.append(entry);
}

// Marks the dialog open for as long as it is, so that formatting warns about
// numbers that contradict their country only then.
class DialogOpenGuard
{
public:
    DialogOpenGuard() { TQorContacts::SetPropertiesDialogOpen(true); }
    ~DialogOpenGuard() { TQorContacts::SetPropertiesDialogOpen(false); }
    DialogOpenGuard(const DialogOpenGuard &) = delete;
    DialogOpenGuard &operator=(const DialogOpenGuard &) = delete;
};

// One millisecond as a serial day fraction.
constexpr TDateTime kOneMillisecond = 1.0 / (24.0 * 60 * 60 * 1000);

} // namespace

void TQorContacts::AddCategories(const QStringList &entries)
{
    AddMissing(m_categories, entries);
}

void TQorContacts::AddKeywords(const QStringList &entries)
{
    AddMissing(m_keywords, entries);
}

void TQorContacts::ApplyDialogVocabularies(const TContactDialogResult &result)
{
    if (result.CategoryAddedFlag)
        AddCategories(result.CategoryEntries);
    if (result.CategoryDeletedFlag)
        RemoveUnassignedCategories();
    if (result.KeywordAddedFlag)
        AddKeywords(result.KeywordEntries);
    if (result.KeywordDeletedFlag)
        RemoveUnassignedKeywords();
}

// The record just edited must survive the merge, with its typed values taking
// precedence: the caller still holds it. A duplicate stamped in the future would
// otherwise take its place. The merge stamps the survivor with now anyway.
void TQorContacts::MakeNewestOfItsName(TContactData &contact) const
{
    const QString name = GetDisplayNameFromContactData(&contact, dtInherited);
    for (const auto &other : m_contactDataList)
        if (other.get() != &contact && other->Modified >= contact.Modified && HasDisplayName(*other, dtInherited, name))
            contact.Modified = other->Modified + kOneMillisecond;
}

bool TQorContacts::DisplayContactProperties(TContactData *AContactData, bool Editable, const QString &Caption)
{
    if (!m_contactDialog)
        return false;
    if (AContactData && IndexOfContactData(AContactData) < 0)
        return false; // a record of another collection
    const bool created = !AContactData;
    TContactData *contact = created ? CreateContactData() : AContactData;
    const auto discard = [&] {
        if (created)
            DeleteContactData(contact);
        return false;
    };
    contact->Accessed = DateTimeToSerial(m_clock->NowUtc());

    const DialogOpenGuard open;
    const TContactDialogResult result = m_contactDialog(*this, *contact, Editable, Caption);
    if (!result.Confirmed || !Editable)
        return discard();
    ApplyDialogVocabularies(result);
    const TDateTime now = DateTimeToSerial(m_clock->NowUtc());
    contact->Accessed = now;
    contact->Modified = now;
    if (m_formatContacts)
        FormatContactData(contact);

    // Contacts without any name are never merged, so they are never asked about.
    if (GetDisplayNameFromContactData(contact, dtInherited).isEmpty() || IsContactDataUnique(contact))
        return true;
    if (m_prompts->AskYesNo(QStringLiteral("A contact keyed with the same full name already exists. "
                                           "Do you want to merge both contacts?"))) {
        MakeNewestOfItsName(*contact);
        DeduplicateContactData(contact, dmMerge);
        return true;
    }
    return discard();
}

} // namespace cardolin
