#include "app/options/OptionsValues.h"

#include "contacts/QorContacts.h"
#include "contacts/SortedStringList.h"
#include "platform/SystemProxy.h"
#include "support/QorRegistryEnhanced.h"

#include <QCoreApplication>

namespace cardolin::app {

namespace {

using I = SettingId;

constexpr SettingId kPreferences[] = {
    I::HandleDoubleClicksAsPropertiesDisplay, I::SortAlphabetically,          I::DisplayFindResultsFiltered,
    I::LinkGenderToTitle,                     I::ComputeInitialsAutomatically, I::AssignContactsCategoryToContactsByDefault,
    I::RememberColumnsSize,                   I::IconizeToTray,
};
constexpr SettingId kAdvanced[] = {I::EmailType, I::Maps, I::StoreUserContactsBookInUserContactsFolder,
                                   I::CommonContactsBookLibrary, I::UseDisplayNameAsWindowsUserAccountForStorage};
constexpr SettingId kDisplay[] = {I::DisplayType, I::DisplayReplaceAccentedChars};
constexpr SettingId kSync[] = {I::SyncAction, I::GoogleClientID, I::GoogleClientSecret};
constexpr SettingId kFind[] = {I::FindCaseSensitive, I::FindIgnoreAccentedChars};
constexpr SettingId kFormat[] = {I::FormatContacts, I::FormatDialNumber, I::FormatEmail, I::FormatWebsite,
                                 I::FormatLastNameUppercase};
constexpr SettingId kBatchGeo[] = {I::BatchGeoLowPriorityMarkerGroup, I::BatchGeoNormalPriorityMarkerGroup,
                                   I::BatchGeoHighPriorityMarkerGroup};
constexpr SettingId kGoogleEarth[] = {I::GoogleEarthLowPriorityMarkerColor, I::GoogleEarthNormalPriorityMarkerColor,
                                      I::GoogleEarthHighPriorityMarkerColor};
constexpr SettingId kZeeMaps[] = {I::ZeeMapsLowPriorityMarkerColor, I::ZeeMapsNormalPriorityMarkerColor,
                                  I::ZeeMapsHighPriorityMarkerColor};
constexpr SettingId kUpdate[] = {I::UseProxyServer, I::ProxyAddress, I::ProxyPort};

const QChar kTick(0x221A);

} // namespace

bool TOptionsValues::Bool(SettingId id) const
{
    const auto found = Settings.find(id);
    return found != Settings.end() && found->second.toBool();
}

int TOptionsValues::Integer(SettingId id) const
{
    const auto found = Settings.find(id);
    return found != Settings.end() ? found->second.toInt() : 0;
}

QString TOptionsValues::Text(SettingId id) const
{
    const auto found = Settings.find(id);
    return found != Settings.end() ? found->second.toString() : QString();
}

TCheckListItems &TOptionsValues::List(TVocabulary vocabulary)
{
    return vocabulary == TVocabulary::Categories ? Categories : Keywords;
}

const TCheckListItems &TOptionsValues::List(TVocabulary vocabulary) const
{
    return vocabulary == TVocabulary::Categories ? Categories : Keywords;
}

TStorageSettings TOptionsValues::Storage() const
{
    return {Bool(I::StoreUserContactsBookInUserContactsFolder), Text(I::CommonContactsBookLibrary),
            Bool(I::UseDisplayNameAsWindowsUserAccountForStorage)};
}

std::span<const SettingId> PageSettings(TOptionsPage page)
{
    switch (page) {
    case TOptionsPage::Preferences: return kPreferences;
    case TOptionsPage::Advanced: return kAdvanced;
    case TOptionsPage::Display: return kDisplay;
    case TOptionsPage::Sync: return kSync;
    case TOptionsPage::Find: return kFind;
    case TOptionsPage::Format: return kFormat;
    case TOptionsPage::BatchGeo: return kBatchGeo;
    case TOptionsPage::GoogleEarth: return kGoogleEarth;
    case TOptionsPage::ZeeMaps: return kZeeMaps;
    case TOptionsPage::Update: return kUpdate;
    case TOptionsPage::Categories:
    case TOptionsPage::Keywords: break;
    }
    return {};
}

TOptionsValues LoadOptionsValues(const TQorRegistryEnhanced &registry, const QString &defFilesPath)
{
    TOptionsValues values;
    for (int page = 0; page < kOptionsPageCount; ++page)
        for (const SettingId id : PageSettings(TOptionsPage(page)))
            values.Settings[id] = ReadSetting(registry, id);
    values.Categories = StoredCheckList(registry, TVocabulary::Categories, defFilesPath);
    values.Keywords = StoredCheckList(registry, TVocabulary::Keywords, defFilesPath);
    return values;
}

bool SaveOptionsValues(TQorRegistryEnhanced &registry, const TOptionsValues &values)
{
    bool written = true;
    for (const auto &[id, value] : values.Settings)
        written = WriteSetting(registry, id, value) && written;
    for (const TVocabulary vocabulary : {TVocabulary::Categories, TVocabulary::Keywords})
        written = registry.SetCheckListBox(CheckListKey(vocabulary), SortedCheckList(values.List(vocabulary)))
                  && written;
    return written;
}

TSettingValues PageDefaults(TOptionsPage page)
{
    TSettingValues values;
    switch (page) {
    case TOptionsPage::BatchGeo:
    case TOptionsPage::GoogleEarth:
    case TOptionsPage::ZeeMaps:
        for (const SettingId id : PageSettings(page))
            values[id] = SettingDefault(Setting(id));
        break;
    case TOptionsPage::Update:
        // No proxy, whatever the system says; "System" fills in the system's.
        values = {{I::UseProxyServer, false}, {I::ProxyAddress, QString()}, {I::ProxyPort, QStringLiteral("80")}};
        break;
    default: break;
    }
    return values;
}

TSettingValues SystemProxyValues()
{
    const platform::ProxySettings proxy = platform::HttpProxyFromEnvironment();
    return {{I::UseProxyServer, proxy.useProxy}, {I::ProxyAddress, proxy.address}, {I::ProxyPort, proxy.port}};
}

QString SyncActionDescription(int item)
{
    switch (item) {
    case 0:
        return QCoreApplication::translate(
            "TForm2", "New and updated contacts are copied from local side to cloud side. Renames on the local side "
                      "are repeated on the cloud side. No deletions.");
    case 1:
        return QCoreApplication::translate(
            "TForm2", "New and updated contacts are copied from local side to cloud side. Renames and deletes on the "
                      "local side are repeated on the cloud side.");
    case 2:
        return QCoreApplication::translate(
            "TForm2", "New and updated contacts are copied both ways. Renames and deletes on either side are "
                      "repeated on the other.");
    default: return {};
    }
}

TCheckListItems LearnedCheckList(const TQorContacts &contacts, TVocabulary vocabulary)
{
    const auto member = vocabulary == TVocabulary::Categories ? &TContactData::Categories : &TContactData::Keywords;
    TSortedStringList learned;
    for (const auto &contact : contacts.ContactDataList())
        for (const QString &entry : (*contact).*member)
            if (!entry.trimmed().isEmpty())
                learned.Add(entry);
    TCheckListItems items;
    for (const QString &entry : learned)
        items.append({entry, true});
    return items;
}

TCheckListItems DefaultCheckList(TVocabulary vocabulary, const QString &defFilesPath)
{
    TCheckListItems items;
    for (const QString &entry : ReadDefaultList(vocabulary, defFilesPath))
        items.append({entry, true});
    return items;
}

QString CheckListEditorText(const TCheckListItems &items)
{
    QStringList lines;
    for (const TCheckListItem &item : items)
        lines.append(item.Checked ? kTick + item.Text : item.Text);
    return lines.join(u'\n');
}

TCheckListItems CheckListFromEditorLines(const QStringList &lines)
{
    TCheckListItems items;
    for (const QString &line : lines) {
        const bool ticked = line.startsWith(kTick);
        items.append({(ticked ? line.mid(1) : line).trimmed(), ticked});
    }
    return SortedCheckList(items);
}

} // namespace cardolin::app
