#pragma once

#include "contacts/BookLocation.h"
#include "contacts/CollectionOptions.h"
#include "contacts/DefaultLists.h"
#include "support/InterfaceState.h"
#include "support/SettingsTable.h"

#include <QVariant>

#include <map>
#include <span>

namespace cardolin {
class TQorContacts;
class TQorRegistryEnhanced;
} // namespace cardolin

namespace cardolin::app {

// The pages of the Options dialog, in the order they are shown.
enum class TOptionsPage {
    Preferences,
    Advanced,
    Display,
    Sync,
    Find,
    Format,
    Categories,
    Keywords,
    BatchGeo,
    GoogleEarth,
    ZeeMaps,
    Update,
};
inline constexpr int kOptionsPageCount = int(TOptionsPage::Update) + 1;

using TSettingValues = std::map<SettingId, QVariant>;

// Everything the Options dialog edits, without its widgets: one value per
// setting it shows (bool, int or QString, as the settings table types it) and
// the two check lists.
struct TOptionsValues
{
    TSettingValues Settings;
    TCheckListItems Categories;
    TCheckListItems Keywords;

    bool Bool(SettingId id) const;
    int Integer(SettingId id) const;
    QString Text(SettingId id) const;
    TCheckListItems &List(TVocabulary vocabulary);
    const TCheckListItems &List(TVocabulary vocabulary) const;
    // Where books live under these values.
    TStorageSettings Storage() const;
    friend bool operator==(const TOptionsValues &, const TOptionsValues &) = default;
};

// The settings a page shows, in the order of its controls.
std::span<const SettingId> PageSettings(TOptionsPage page);

// Every shown setting from the store, the table's default where nothing usable
// is stored; the check lists as StoredCheckList gives them.
TOptionsValues LoadOptionsValues(const TQorRegistryEnhanced &registry, const QString &defFilesPath);
// Writes every shown setting and both check lists; false when any write failed.
bool SaveOptionsValues(TQorRegistryEnhanced &registry, const TOptionsValues &values);

// What a page's Default button puts back; empty for pages without one.
TSettingValues PageDefaults(TOptionsPage page);
// The proxy values the system's settings give.
TSettingValues SystemProxyValues();

// The word-wrapped text under the sync actions; empty for an unknown item.
QString SyncActionDescription(int item);

// "Learn From Data File": every entry of every contact, each once, all ticked.
TCheckListItems LearnedCheckList(const TQorContacts &contacts, TVocabulary vocabulary);
// "Default": the default file's entries, all ticked.
TCheckListItems DefaultCheckList(TVocabulary vocabulary, const QString &defFilesPath);

// The String List Editor's text: one line per entry in list order, ticked
// entries marked with a leading "√".
QString CheckListEditorText(const TCheckListItems &items);
// Back from the editor's lines: a leading "√" ticks the entry. Blank lines and
// repeats are dropped, the list sorted.
TCheckListItems CheckListFromEditorLines(const QStringList &lines);

} // namespace cardolin::app
