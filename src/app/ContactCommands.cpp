#include "app/ContactCommands.h"

#include "app/FileDialogs.h"
#include "app/ImportExportCommands.h"
#include "app/MainWindow.h"
#include "contacts/ContactFields.h"
#include "contacts/QorContacts.h"
#include "platform/DesktopServices.h"
#include "support/Clock.h"
#include "support/QorRegistryEnhanced.h"
#include "support/SettingsTable.h"
#include "support/UserPrompts.h"

#include <QDir>
#include <QFileInfo>

namespace cardolin::app {

using namespace Qt::Literals::StringLiterals;

namespace {

// Whether a dialog left more than its reading time behind.
bool ChangedApartFromAccess(const TContactData &before, const TContactData &after)
{
    for (const ContactField &field : ContactFields()) {
        if (field.name == "Accessed"_L1)
            continue;
        if (!std::visit([&](auto member) { return before.*member == after.*member; }, field.member))
            return true;
    }
    return false;
}

// A display name may hold characters a file name cannot.
QString SafeFileName(QString name)
{
    name.replace(u'/', u'_');
    name.replace(QChar(0), u'_');
    if (name.isEmpty() || name == "."_L1 || name == ".."_L1)
        name = u"Contact"_s;
    return name;
}

// A record read from a book without entries holds one empty entry; a new
// entry takes its place instead of joining it.
void AddEntry(TSortedStringList &list, const QString &entry)
{
    if (list.Count() == 1 && list.Entries().first().isEmpty())
        list.Clear();
    list.Add(entry);
}

QString Extension(TContactFileKind kind)
{
    return kind == TContactFileKind::vCard ? u".vcf"_s : u".ldif"_s;
}

} // namespace

ContactCommands::ContactCommands(MainWindow &window, TQorContacts &contacts, TQorRegistryEnhanced &registry,
                                 UserPrompts &prompts, platform::DesktopServices &desktop)
    : m_window(window), m_contacts(contacts), m_registry(registry), m_prompts(prompts), m_desktop(&desktop)
{
    ShowContact = [this](TContactData *record, bool editable, const QString &caption) {
        return m_contacts.DisplayContactProperties(record, editable, caption);
    };
    AskSaveFileName = [this](const QString &folder, const QString &fileName, TContactFileKind kind) {
        const QStringList filters = {kind == TContactFileKind::vCard ? u"vCard files (*.vcf)"_s : u"LDIF files (*.ldif)"_s,
                                     u"All files (*)"_s};
        return AskSaveFile(&m_window, QDir(folder).filePath(fileName), filters, 0, Extension(kind).mid(1));
    };
    AskFolder = [this](const QString &folder) { return app::AskFolder(&m_window, folder); };
}

ContactCommands::~ContactCommands() = default;

// ---- selection and rows ----------------------------------------------------

ContactCommands::Selection ContactCommands::Selected() const
{
    return m_window.SelectedContacts();
}

TContactData *ContactCommands::SelectedOne() const
{
    const Selection selection = Selected();
    return selection.empty() ? nullptr : selection.front();
}

void ContactCommands::StampModified(TContactData &record) const
{
    record.Modified = DateTimeToSerial(m_contacts.GetClock().NowUtc());
}

void ContactCommands::ApplyInitials(TContactData &record) const
{
    if (ReadBoolSetting(m_registry, SettingId::ComputeInitialsAutomatically))
        record.Initials = m_contacts.ComputeInitialsFromContactData(&record);
}

void ContactCommands::Finish(TUndoRecording &recording, bool resort)
{
    const std::vector<TContactData *> touched = recording.Step().Records();
    recording.Commit();
    m_window.SyncRows(touched, resort);
    m_window.SetModified(true);
    m_window.UpdateStatus();
}

void ContactCommands::ChangeSelected(const QString &name, const std::function<void(TContactData &)> &body)
{
    const Selection selection = Selected();
    if (selection.empty())
        return;
    TUndoRecording recording(m_history, m_contacts, name);
    for (TContactData *record : selection)
        body(*record);
    Finish(recording, false);
}

// ---- viewing, adding, deleting ---------------------------------------------

void ContactCommands::Properties1Click()
{
    if (TContactData *record = SelectedOne())
        ShowContact(record, false, QString());
}

void ContactCommands::Add1Click()
{
    const Selection selection = Selected();
    if (selection.size() != 1) {
        AddThroughDialog(u"Add Contact"_s, nullptr);
        return;
    }
    TContactData *record = selection.front();
    const QString oldName = m_contacts.GetDisplayNameFromContactData(record, dtInherited);
    TUndoRecording recording(m_history, m_contacts, u"Modify"_s);
    m_contacts.NoteWillChange(record);
    const TContactData before = *record;
    const bool confirmed = ShowContact(record, true, u"Modify Contact"_s);
    const bool alive = m_contacts.IndexOfContactData(record) >= 0;
    // Refusing the merge keeps what was typed, so that too is a change to keep.
    if (!confirmed && !(alive && ChangedApartFromAccess(before, *record))) {
        m_window.UpdateStatus();
        return;
    }
    if (alive)
        ApplyInitials(*record);
    const bool renamed = !alive || m_contacts.GetDisplayNameFromContactData(record, dtInherited) != oldName;
    Finish(recording, renamed);
}

void ContactCommands::AddContactSpeedButtonClick()
{
    m_window.ClearSelection();
    Add1Click();
}

void ContactCommands::Derive1Click()
{
    if (TContactData *source = SelectedOne())
        AddThroughDialog(u"Derive Contact"_s, source);
}

void ContactCommands::AddThroughDialog(const QString &caption, const TContactData *source)
{
    TUndoRecording recording(m_history, m_contacts, source ? u"Derive"_s : u"Add"_s);
    TContactData *record = m_contacts.CreateContactData();
    recording.Step().Added(record);
    if (source) {
        m_contacts.CopyContactData(source, record, ctDefault);
        record->LastVisit = 0;
        record->VisitCount = 0;
        StampModified(*record);
        record->Created = record->Modified;
    }
    if (!ShowContact(record, true, caption)) {
        // The dialog drops a record it was refused; make sure of it.
        m_contacts.DeleteContactData(record);
        m_window.UpdateStatus();
        return;
    }
    if (m_contacts.IndexOfContactData(record) >= 0)
        ApplyInitials(*record);
    Finish(recording, true);
}

void ContactCommands::Delete1Click()
{
    const Selection selection = Selected();
    if (selection.empty())
        return;
    TUndoRecording recording(m_history, m_contacts, u"Delete"_s);
    m_contacts.DeleteContactDataList(selection);
    Finish(recording, false);
}

void ContactCommands::Clear1Click()
{
    if (!m_prompts.AskYesNo(u"Do you really want to clear all contacts stored in the current contacts book?"_s))
        return;
    TUndoRecording recording(m_history, m_contacts, u"Clear"_s);
    m_contacts.ClearContactDataList();
    recording.Commit();
    m_window.RebuildFromBook(false);
    m_window.SetModified(true);
    m_window.UpdateStatus();
}

void ContactCommands::CleanButtonClick()
{
    if (m_contacts.ContactDataList().empty() ||
        !m_prompts.AskYesNo(u"Do you really want to clean the current contacts book? This action will merge data and "
                            "remove duplicate contacts in order to keep only one instance of each contact."_s))
        return;
    int removed = 0;
    {
        BusyCursor busy(m_prompts);
        TUndoRecording recording(m_history, m_contacts, u"Clean"_s);
        removed = m_contacts.DeduplicateContactDataList(dmMerge);
        if (removed >= 1) {
            recording.Commit();
            m_window.RebuildFromBook(m_window.Options().SortAlphabetically);
            m_window.UpdateStatus();
            m_window.SetModified(true);
        }
    }
    if (removed < 1)
        m_prompts.ShowInformation(u"No duplicate contact found."_s);
    else
        m_prompts.ShowInformation(QString::number(removed) + u" duplicate contacts have been removed successfully."_s);
}

// ---- attributes, categories, keywords ----------------------------------------

void ContactCommands::SetAttributePopupMenuClick(int attribute, const QString &value)
{
    static constexpr QString TContactData::*fields[] = {&TContactData::Gender, &TContactData::Language,
                                                         &TContactData::Preferred, &TContactData::Priority,
                                                         &TContactData::Sensitivity};
    if (attribute < 0 || attribute >= int(std::size(fields)))
        return;
    ChangeSelected(u"Set Attribute"_s, [&](TContactData &record) {
        m_contacts.NoteWillChange(&record);
        record.*fields[attribute] = value;
        StampModified(record);
    });
}

// Categories and keywords work alike, each on its own list.
void ContactCommands::AssignEntry(const QString &name, TSortedStringList TContactData::*list, const QString &entry)
{
    ChangeSelected(name, [&](TContactData &record) {
        if ((record.*list).Contains(entry))
            return;
        m_contacts.NoteWillChange(&record);
        AddEntry(record.*list, entry);
        StampModified(record);
    });
}

void ContactCommands::ClearEntry(const QString &name, TSortedStringList TContactData::*list, const QString &entry)
{
    ChangeSelected(name, [&](TContactData &record) {
        if (!(record.*list).Contains(entry))
            return;
        m_contacts.NoteWillChange(&record);
        (record.*list).Remove(entry);
        StampModified(record);
    });
}

void ContactCommands::ClearAllEntries(const QString &name, TSortedStringList TContactData::*list)
{
    ChangeSelected(name, [&](TContactData &record) {
        m_contacts.NoteWillChange(&record);
        (record.*list).Clear();
        StampModified(record);
    });
}

void ContactCommands::AssignCategoryPopupMenuClick(const QString &category)
{
    AssignEntry(u"Assign Category"_s, &TContactData::Categories, category);
}

void ContactCommands::ClearCategoryPopupMenuClick(const QString &category)
{
    ClearEntry(u"Clear Category"_s, &TContactData::Categories, category);
}

void ContactCommands::ClearAllCategoriesPopupMenuClick()
{
    ClearAllEntries(u"Clear All Categories"_s, &TContactData::Categories);
}

void ContactCommands::AssignKeywordPopupMenuClick(const QString &keyword)
{
    AssignEntry(u"Assign Keyword"_s, &TContactData::Keywords, keyword);
}

void ContactCommands::ClearKeywordPopupMenuClick(const QString &keyword)
{
    ClearEntry(u"Clear Keyword"_s, &TContactData::Keywords, keyword);
}

void ContactCommands::ClearAllKeywordsPopupMenuClick()
{
    ClearAllEntries(u"Clear All Keywords"_s, &TContactData::Keywords);
}

void ContactCommands::ClearSyncedAttribute1Click()
{
    ChangeSelected(u"Clear Synced Attribute"_s, [&](TContactData &record) {
        m_contacts.NoteWillChange(&record);
        record.Synced = 0;
    });
}

void ContactCommands::UpdateModifiedAttribute1Click()
{
    ChangeSelected(u"Update Modified Attribute"_s, [&](TContactData &record) {
        m_contacts.NoteWillChange(&record);
        StampModified(record);
    });
}

// ---- clipboard, files, mail ------------------------------------------------

void ContactCommands::CopyContactsToClipboard(TLocationType location)
{
    const Selection selection = Selected();
    if (selection.empty())
        return;
    QStringList lines;
    for (size_t i = 0; i < selection.size(); ++i) {
        if (i > 0)
            lines.append(QString(36, u'-'));
        m_contacts.BuildContactDataSummary(selection[i], location, lines);
    }
    m_desktop->SetClipboardText(lines.join(u"\r\n"_s));
}

void ContactCommands::CopyLocationToClipboard(TLocationType location)
{
    if (const TContactData *record = SelectedOne())
        m_desktop->SetClipboardText(ShowMapGetURLSuffix(*record, location, mpNone));
}

QString ContactCommands::FileNameOf(const TContactData &record, TContactFileKind kind) const
{
    return SafeFileName(m_contacts.GetDisplayNameFromContactData(&record, dtInherited)) + Extension(kind);
}

bool ContactCommands::WriteContactFile(const TContactData &record, const QString &path, TContactFileKind kind)
{
    return kind == TContactFileKind::vCard ? m_contacts.WriteContactDataTovCardFile(&record, path)
                                           : m_contacts.WriteContactDataToLDIFFile(&record, path);
}

QString ContactCommands::StartFolder(const QString &remembered) const
{
    return remembered.isEmpty() ? m_window.SelectedAccountBookFolder() : remembered;
}

void ContactCommands::SaveContactsAs(TContactFileKind kind)
{
    const Selection selection = Selected();
    if (selection.size() == 1) {
        QString path = AskSaveFileName(StartFolder(m_lastSaveFolder), FileNameOf(*selection.front(), kind), kind);
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty())
            path += Extension(kind);
        m_lastSaveFolder = QFileInfo(path).absolutePath();
        WriteContactFile(*selection.front(), path, kind);
        return;
    }
    if (selection.empty())
        return;
    QString &remembered = m_window.DialogMemory().Folder;
    const QString folder = AskFolder(StartFolder(remembered));
    if (folder.isEmpty())
        return;
    remembered = folder;
    for (const TContactData *record : selection)
        WriteContactFile(*record, QDir(folder).filePath(FileNameOf(*record, kind)), kind);
}

void ContactCommands::EmailContactAs(TContactFileKind kind)
{
    const TContactData *record = SelectedOne();
    if (!record)
        return;
    // A private folder, kept until the program ends: the mail program reads
    // the attachment after the hand-over, maybe much later.
    if (!m_mailFolder || !m_mailFolder->isValid())
        m_mailFolder = std::make_unique<QTemporaryDir>(QDir::temp().filePath(u"cardolin-mail-XXXXXX"_s));
    if (!m_mailFolder->isValid())
        return;
    const QString name = FileNameOf(*record, kind);
    const QString path = m_mailFolder->filePath(name);
    if (!WriteContactFile(*record, path, kind))
        return;
    m_desktop->ComposeMail(QString(), name, QString(), path);
}

// ---- web links -------------------------------------------------------------

TMapsProvider ContactCommands::MapsOption() const
{
    switch (ReadIntegerSetting(m_registry, SettingId::Maps)) {
    case 0: return mpGoogle;
    case 1: return mpBing;
    default: return mpNone;
    }
}

int ContactCommands::EmailTypeOption() const
{
    return ReadIntegerSetting(m_registry, SettingId::EmailType);
}

void ContactCommands::ShowMap(const TContactData *contact, TLocationType location)
{
    const TMapsProvider provider = MapsOption();
    if (contact && provider != mpNone)
        if (const QString address = ShowMapGetURLSuffix(*contact, location, provider); !address.isEmpty())
            m_desktop->OpenAddress(address);
}

void ContactCommands::ShowWebsite(const TContactData *contact, TLocationType location)
{
    if (contact)
        if (const QString address = ShowWebsiteGetURL(*contact, location); !address.isEmpty())
            m_desktop->OpenAddress(address);
}

void ContactCommands::SearchPeopleBySocialNetwork(const TContactData *contact, TSocialNetwork network)
{
    if (contact)
        if (const QString address = SearchPeopleGetURL(*contact, network); !address.isEmpty())
            m_desktop->OpenAddress(address);
}

void ContactCommands::SendEmailByLocationType(const TContactData *contact, TLocationType location)
{
    if (!contact)
        return;
    const QString to = SendEmailGetEmailByLocationType(m_contacts, *contact, location);
    const int mode = EmailTypeOption();
    if (!to.isEmpty() && (mode == emDefaultMail || mode == emGmail))
        ComposeEmail(*m_desktop, m_prompts, to, QString(), QString(), mode, QString(), QString());
}

void ContactCommands::GoogleContactsSpeedButtonClick()
{
    m_desktop->OpenAddress(GoogleContactsURL());
}

// ---- undo ------------------------------------------------------------------

void ContactCommands::Undo()
{
    if (TContactUndoStep *step = m_history.Undo()) {
        m_window.SyncRows(step->Records(), true);
        m_window.SetModified(true);
        m_window.UpdateStatus();
    }
}

void ContactCommands::Redo()
{
    if (TContactUndoStep *step = m_history.Redo()) {
        m_window.SyncRows(step->Records(), true);
        m_window.SetModified(true);
        m_window.UpdateStatus();
    }
}

void ContactCommands::BookChanged()
{
    m_history.Clear();
}

void ContactCommands::AccountSwitched()
{
    m_lastSaveFolder.clear();
}

} // namespace cardolin::app
