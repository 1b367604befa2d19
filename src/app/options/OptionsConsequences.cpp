#include "app/options/OptionsConsequences.h"

#include "contacts/BookRelocation.h"
#include "contacts/ContactUndo.h"
#include "contacts/QorContacts.h"
#include "contacts/SerialDate.h"
#include "support/Clock.h"
#include "support/UserPrompts.h"

#include <QCoreApplication>

#include <optional>

namespace cardolin::app {

namespace {

using I = SettingId;

const QString kContactsCategory = QStringLiteral("Contacts");

QString Text(const char *text)
{
    return QCoreApplication::translate("TForm2", text);
}

} // namespace

void TOptionsConsequences::Confirmed(const TOptionsValues &before, const TOptionsValues &after)
{
    const bool hasContacts = !m_host.Contacts.ContactDataList().empty();
    const auto changed = [&](SettingId id) { return before.Settings.at(id) != after.Settings.at(id); };
    const bool formatSwitchedOn = !before.Bool(I::FormatContacts) && after.Bool(I::FormatContacts);
    const bool accentsChanged = changed(I::DisplayReplaceAccentedChars);
    const bool sort = after.Bool(I::SortAlphabetically);

    if (formatSwitchedOn)
        FormatAll();
    if (changed(I::AssignContactsCategoryToContactsByDefault) && hasContacts)
        AssignContactsCategory(after.Bool(I::AssignContactsCategoryToContactsByDefault), sort);
    const bool stamped = accentsChanged && hasContacts
                         && m_host.Prompts.AskYesNo(Text("Do you want to update all contacts?"))
                         && StampRenamedContacts();
    const bool namesChanged = changed(I::DisplayType) || accentsChanged
                              || (formatSwitchedOn && after.Bool(I::FormatLastNameUppercase));
    if (namesChanged && hasContacts) {
        m_host.SyncRows(RowRecords(), sort);
        // New captions are no change to the book; stamped contacts are.
        if (stamped)
            m_host.SetModified(true);
    }
    if (RelocationNeeded(before.Storage(), after.Storage()))
        RelocateBooks(before, after);
}

void TOptionsConsequences::FormatAll()
{
    BusyCursor busy(m_host.Prompts);
    std::vector<TContactData *> records;
    for (const auto &contact : m_host.Contacts.ContactDataList())
        records.push_back(contact.get());
    ChangeContacts(Text("Format"), records, [this](TContactData &record) {
        m_host.Contacts.FormatContactData(&record);
    });
    // The rows show telephone numbers, addresses and sites: they must show the
    // formatted ones.
    m_host.SyncRows(RowRecords(), false);
    m_host.SetModified(true);
}

void TOptionsConsequences::AssignContactsCategory(bool assign, bool sort)
{
    const QString question = assign ? Text("Do you want to asign \"Contacts\" category to all contacts?")
                                    : Text("Do you want to clear \"Contacts\" category from all contacts?");
    if (!m_host.Prompts.AskYesNo(question))
        return;
    std::vector<TContactData *> records;
    for (const auto &contact : m_host.Contacts.ContactDataList())
        if (contact->Categories.Contains(kContactsCategory) != assign)
            records.push_back(contact.get());
    const TDateTime now = DateTimeToSerial(m_host.Contacts.GetClock().NowUtc());
    ChangeContacts(assign ? Text("Assign Category") : Text("Clear Category"), records, [&](TContactData &record) {
        if (assign)
            record.Categories.Add(kContactsCategory);
        else
            record.Categories.Remove(kContactsCategory);
        record.Modified = now;
    });
    m_host.RebuildFromBook(sort);
    m_host.UpdateStatus();
    m_host.SetModified(true);
}

bool TOptionsConsequences::StampRenamedContacts()
{
    std::vector<TContactData *> renamed;
    for (const auto &[record, caption] : m_host.Rows())
        if (m_host.Contacts.GetDisplayNameFromContactData(record, dtInherited) != caption)
            renamed.push_back(record);
    const TDateTime now = DateTimeToSerial(m_host.Contacts.GetClock().NowUtc());
    ChangeContacts(Text("Update"), renamed, [now](TContactData &record) { record.Modified = now; });
    return !renamed.empty();
}

void TOptionsConsequences::RelocateBooks(const TOptionsValues &before, const TOptionsValues &after)
{
    const TContactsBookLocator from(m_host.Accounts, before.Storage());
    const TContactsBookLocator to(m_host.Accounts, after.Storage());
    RelocateContactsBooks(m_host.Accounts.Accounts(), from, to, m_host.Prompts, m_host.HeldBook);
}

std::vector<TContactData *> TOptionsConsequences::RowRecords() const
{
    std::vector<TContactData *> records;
    for (const auto &row : m_host.Rows())
        records.push_back(row.first);
    return records;
}

void TOptionsConsequences::ChangeContacts(const QString &name, const std::vector<TContactData *> &records,
                                          const std::function<void(TContactData &)> &change)
{
    if (records.empty())
        return;
    std::optional<TUndoRecording> recording;
    if (m_host.History)
        recording.emplace(*m_host.History, m_host.Contacts, name);
    const int last = int(records.size()) - 1;
    for (int i = 0; i <= last; ++i) {
        m_host.Contacts.NoteWillChange(records[size_t(i)]);
        change(*records[size_t(i)]);
        // A whole book takes a while; the window shows how far it got.
        m_host.Contacts.ReportProgress(0, last, i);
    }
    if (recording) {
        recording->Commit();
        if (m_host.UndoChanged)
            m_host.UndoChanged();
    }
}

} // namespace cardolin::app
