#pragma once

#include "contacts/ContactData.h"
#include "contacts/ContactUndo.h"
#include "online/WebLinks.h"

#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

namespace cardolin {
class TQorContacts;
class TQorRegistryEnhanced;
class UserPrompts;
namespace platform {
class DesktopServices;
}
} // namespace cardolin

namespace cardolin::app {

class MainWindow;

// The single-contact file kinds a contact can be saved or e-mailed as.
enum class TContactFileKind { vCard, LDIF };

// The commands on the selected contacts of the main list: each walks the
// selected rows in list order, changes their records, and tells the window
// which rows to rebuild. Every change is recorded for undo.
class ContactCommands
{
public:
    ContactCommands(MainWindow &window, TQorContacts &contacts, TQorRegistryEnhanced &registry,
                    UserPrompts &prompts, platform::DesktopServices &desktop);
    ~ContactCommands();

    // The contact dialog: true when the user confirmed. Tests put their own.
    std::function<bool(TContactData *record, bool editable, const QString &caption)> ShowContact;
    // A file name to save to, or a folder; empty when the user cancelled.
    std::function<QString(const QString &folder, const QString &fileName, TContactFileKind kind)> AskSaveFileName;
    std::function<QString(const QString &folder)> AskFolder;

    void Properties1Click();
    void Add1Click();
    void AddContactSpeedButtonClick();
    void Derive1Click();
    void Delete1Click();
    void Clear1Click();
    void CleanButtonClick();
    // attribute: 0 gender, 1 language, 2 preferred, 3 priority, 4 sensitivity.
    void SetAttributePopupMenuClick(int attribute, const QString &value);
    void AssignCategoryPopupMenuClick(const QString &category);
    void ClearCategoryPopupMenuClick(const QString &category);
    void ClearAllCategoriesPopupMenuClick();
    void AssignKeywordPopupMenuClick(const QString &keyword);
    void ClearKeywordPopupMenuClick(const QString &keyword);
    void ClearAllKeywordsPopupMenuClick();
    void ClearSyncedAttribute1Click();
    void UpdateModifiedAttribute1Click();
    void CopyContactsToClipboard(TLocationType location);
    void CopyLocationToClipboard(TLocationType location);
    void SaveContactsAs(TContactFileKind kind);
    void EmailContactAs(TContactFileKind kind);

    // The web links of the selected contact.
    void ShowMap(const TContactData *contact, TLocationType location);
    void ShowWebsite(const TContactData *contact, TLocationType location);
    void SearchPeopleBySocialNetwork(const TContactData *contact, TSocialNetwork network);
    void SendEmailByLocationType(const TContactData *contact, TLocationType location);
    void GoogleContactsSpeedButtonClick();
    TMapsProvider MapsOption() const;
    int EmailTypeOption() const;

    void Undo();
    void Redo();
    TContactUndoHistory &History() { return m_history; }
    // A new book leaves nothing to undo; another account's, no folder to start in.
    void BookChanged();
    void AccountSwitched();
    void SetDesktop(platform::DesktopServices &desktop) { m_desktop = &desktop; }

private:
    using Selection = std::vector<TContactData *>;
    Selection Selected() const;
    TContactData *SelectedOne() const;
    // Runs body over the selection as one undoable step, then updates the rows.
    void ChangeSelected(const QString &name, const std::function<void(TContactData &)> &body);
    void Finish(TUndoRecording &recording, bool resort);
    void AssignEntry(const QString &name, TSortedStringList TContactData::*list, const QString &entry);
    void ClearEntry(const QString &name, TSortedStringList TContactData::*list, const QString &entry);
    void ClearAllEntries(const QString &name, TSortedStringList TContactData::*list);
    void AddThroughDialog(const QString &caption, const TContactData *source);
    void StampModified(TContactData &record) const;
    void ApplyInitials(TContactData &record) const;
    QString FileNameOf(const TContactData &record, TContactFileKind kind) const;
    bool WriteContactFile(const TContactData &record, const QString &path, TContactFileKind kind);
    QString StartFolder(const QString &remembered) const;

    MainWindow &m_window;
    TQorContacts &m_contacts;
    TQorRegistryEnhanced &m_registry;
    UserPrompts &m_prompts;
    platform::DesktopServices *m_desktop;
    TContactUndoHistory m_history;
    QString m_lastSaveFolder;
    std::unique_ptr<QTemporaryDir> m_mailFolder;
};

} // namespace cardolin::app
