#pragma once

#include <QString>
#include <QVariant>

#include <span>

namespace cardolin {

class TQorRegistryEnhanced;

// The branch of the settings store that holds every setting of the program.
inline constexpr QLatin1StringView kProgramSettingsKey("Software\\Velmora\\Cardolin");

// Booleans and integers are stored as 32-bit integers, texts as strings; a Key
// row names a key whose content other code lays out.
enum class SettingType { Boolean, Integer, Text, Key };

enum class SettingId {
    Version,
    ApplicationPath,
    DefFilesPath,
    DebugLogPath,
    DefaultGoogleAccount,
    GoogleAccounts,
    FormInfoMainWindow,
    ListViewInfoMainWindow,
    Categories,
    Keywords,
    HandleDoubleClicksAsPropertiesDisplay,
    SortAlphabetically,
    DisplayFindResultsFiltered,
    LinkGenderToTitle,
    ComputeInitialsAutomatically,
    AssignContactsCategoryToContactsByDefault,
    RememberColumnsSize,
    IconizeToTray,
    EmailType,
    Maps,
    StoreUserContactsBookInUserContactsFolder,
    CommonContactsBookLibrary,
    UseDisplayNameAsWindowsUserAccountForStorage,
    DisplayType,
    DisplayReplaceAccentedChars,
    SyncAction,
    FindCaseSensitive,
    FindIgnoreAccentedChars,
    FormatContacts,
    FormatDialNumber,
    FormatEmail,
    FormatWebsite,
    FormatLastNameUppercase,
    BatchGeoLowPriorityMarkerGroup,
    BatchGeoNormalPriorityMarkerGroup,
    BatchGeoHighPriorityMarkerGroup,
    GoogleEarthLowPriorityMarkerColor,
    GoogleEarthNormalPriorityMarkerColor,
    GoogleEarthHighPriorityMarkerColor,
    ZeeMapsLowPriorityMarkerColor,
    ZeeMapsNormalPriorityMarkerColor,
    ZeeMapsHighPriorityMarkerColor,
    UseProxyServer,
    ProxyAddress,
    ProxyPort,
    GoogleClientID,
    GoogleClientSecret,
    UpdateFileURL,
};

struct SettingDefinition
{
    SettingId id;
    QLatin1StringView path; // relative to kProgramSettingsKey
    SettingType type;
    // What is assumed while nothing is stored: a fixed text ("1", "0", "Default
    // Group"), or one that follows the system; neither means there is none.
    const char *fixedDefault;
    QString (*systemDefault)();
};

// Every setting, in the order of SettingId.
std::span<const SettingDefinition> SettingDefinitions();
const SettingDefinition &Setting(SettingId id);
// The row of a path, compared without regard to letter case; null when none.
const SettingDefinition *FindSetting(const QString &path);

// True for the names of values that hold secrets: the OAuth client secret,
// refresh and access tokens, geocoding and other keys of web services, and
// passwords ("GoogleRefreshToken", "GoogleClientSecret", "GoogleGeocodingKey").
bool IsSecretValueName(const QString &name);

// Turns text into a value of the type: bool, int or QString; an invalid
// variant when the text is not one ("yes", "on", "true" and "1" are true).
QVariant ParseSettingText(SettingType type, const QString &text);

// The default as a value of the setting's type; invalid when there is none.
QVariant SettingDefault(const SettingDefinition &setting);

// What the program reads: the stored value converted to the setting's type, or
// the default when nothing usable is stored.
QVariant ReadSetting(const TQorRegistryEnhanced &registry, SettingId id);
bool ReadBoolSetting(const TQorRegistryEnhanced &registry, SettingId id);
int ReadIntegerSetting(const TQorRegistryEnhanced &registry, SettingId id);
QString ReadTextSetting(const TQorRegistryEnhanced &registry, SettingId id);

// Stores value, converted to the setting's type; false when it cannot be written.
bool WriteSetting(TQorRegistryEnhanced &registry, SettingId id, const QVariant &value);

} // namespace cardolin
