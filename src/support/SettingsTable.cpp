#include "support/SettingsTable.h"

#include "platform/SystemFolders.h"
#include "platform/SystemProxy.h"
#include "support/QorRegistryEnhanced.h"

#include <QDir>

namespace cardolin {

namespace {

QString DefFilesPathDefault()
{
    return QDir(platform::CommonDataFolder()).filePath(QStringLiteral("Velmora/Cardolin/"));
}

QString UseProxyDefault()
{
    return platform::HttpProxyFromEnvironment().useProxy ? QStringLiteral("1") : QStringLiteral("0");
}

QString ProxyAddressDefault()
{
    return platform::HttpProxyFromEnvironment().address;
}

QString ProxyPortDefault()
{
    return platform::HttpProxyFromEnvironment().port;
}

using namespace Qt::Literals::StringLiterals;
using T = SettingType;
using I = SettingId;
constexpr const char *kNone = nullptr;

const SettingDefinition kSettings[] = {
    {I::Version, "Version"_L1, T::Text, "", nullptr},
    {I::ApplicationPath, "ApplicationPath"_L1, T::Text, kNone, nullptr},
    {I::DefFilesPath, "DefFilesPath"_L1, T::Text, kNone, DefFilesPathDefault},
    {I::DebugLogPath, "DebugLogPath"_L1, T::Text, "", nullptr},
    {I::DefaultGoogleAccount, "DefaultGoogleAccount"_L1, T::Text, kNone, nullptr},
    {I::GoogleAccounts, "Google Accounts"_L1, T::Key, kNone, nullptr},
    {I::FormInfoMainWindow, "FormInfo\\Main Window"_L1, T::Text, kNone, nullptr},
    {I::ListViewInfoMainWindow, "ListViewInfo\\Main Window"_L1, T::Text, kNone, nullptr},
    {I::Categories, "Categories"_L1, T::Key, kNone, nullptr},
    {I::Keywords, "Keywords"_L1, T::Key, kNone, nullptr},
    {I::HandleDoubleClicksAsPropertiesDisplay, "Options\\HandleDoubleClicksAsPropertiesDisplay"_L1, T::Boolean, "1",
        nullptr},
    {I::SortAlphabetically, "Options\\SortAlphabetically"_L1, T::Boolean, "1", nullptr},
    {I::DisplayFindResultsFiltered, "Options\\DisplayFindResultsFiltered"_L1, T::Boolean, "1", nullptr},
    {I::LinkGenderToTitle, "Options\\LinkGenderToTitle"_L1, T::Boolean, "1", nullptr},
    {I::ComputeInitialsAutomatically, "Options\\ComputeInitialsAutomatically"_L1, T::Boolean, "1", nullptr},
    {I::AssignContactsCategoryToContactsByDefault, "Options\\AssignContactsCategoryToContactsByDefault"_L1,
        T::Boolean, "0", nullptr},
    {I::RememberColumnsSize, "Options\\RememberColumnsSize"_L1, T::Boolean, "0", nullptr},
    {I::IconizeToTray, "Options\\IconizeToTray"_L1, T::Boolean, "0", nullptr},
    {I::EmailType, "Options\\EmailType"_L1, T::Integer, "0", nullptr},
    {I::Maps, "Options\\Maps"_L1, T::Integer, "0", nullptr},
    {I::StoreUserContactsBookInUserContactsFolder, "Options\\StoreUserContactsBookInUserContactsFolder"_L1,
        T::Boolean, "1", nullptr},
    {I::CommonContactsBookLibrary, "Options\\CommonContactsBookLibrary"_L1, T::Text, "", nullptr},
    {I::UseDisplayNameAsWindowsUserAccountForStorage, "Options\\UseDisplayNameAsWindowsUserAccountForStorage"_L1,
        T::Boolean, "0", nullptr},
    {I::DisplayType, "Options\\DisplayType"_L1, T::Integer, "1", nullptr},
    {I::DisplayReplaceAccentedChars, "Options\\DisplayReplaceAccentedChars"_L1, T::Boolean, "0", nullptr},
    {I::SyncAction, "Options\\SyncAction"_L1, T::Integer, "0", nullptr},
    {I::FindCaseSensitive, "Options\\FindCaseSensitive"_L1, T::Boolean, "0", nullptr},
    {I::FindIgnoreAccentedChars, "Options\\FindIgnoreAccentedChars"_L1, T::Boolean, "1", nullptr},
    {I::FormatContacts, "Options\\FormatContacts"_L1, T::Boolean, "0", nullptr},
    {I::FormatDialNumber, "Options\\FormatDialNumber"_L1, T::Boolean, "1", nullptr},
    // Kept like its three neighbours, so that turning e-mail formatting off lasts.
    {I::FormatEmail, "Options\\FormatEmail"_L1, T::Boolean, "1", nullptr},
    {I::FormatWebsite, "Options\\FormatWebsite"_L1, T::Boolean, "1", nullptr},
    {I::FormatLastNameUppercase, "Options\\FormatLastNameUppercase"_L1, T::Boolean, "0", nullptr},
    {I::BatchGeoLowPriorityMarkerGroup, "Options\\BatchGeoLowPriorityMarkerGroup"_L1, T::Text, "Default Group",
        nullptr},
    {I::BatchGeoNormalPriorityMarkerGroup, "Options\\BatchGeoNormalPriorityMarkerGroup"_L1, T::Text,
        "Default Group", nullptr},
    {I::BatchGeoHighPriorityMarkerGroup, "Options\\BatchGeoHighPriorityMarkerGroup"_L1, T::Text, "Default Group",
        nullptr},
    {I::GoogleEarthLowPriorityMarkerColor, "Options\\GoogleEarthLowPriorityMarkerColor"_L1, T::Text, "blue",
        nullptr},
    {I::GoogleEarthNormalPriorityMarkerColor, "Options\\GoogleEarthNormalPriorityMarkerColor"_L1, T::Text, "blue",
        nullptr},
    {I::GoogleEarthHighPriorityMarkerColor, "Options\\GoogleEarthHighPriorityMarkerColor"_L1, T::Text, "blue",
        nullptr},
    {I::ZeeMapsLowPriorityMarkerColor, "Options\\ZeeMapsLowPriorityMarkerColor"_L1, T::Text, "red", nullptr},
    {I::ZeeMapsNormalPriorityMarkerColor, "Options\\ZeeMapsNormalPriorityMarkerColor"_L1, T::Text, "red", nullptr},
    {I::ZeeMapsHighPriorityMarkerColor, "Options\\ZeeMapsHighPriorityMarkerColor"_L1, T::Text, "red", nullptr},
    {I::UseProxyServer, "Options\\UseProxyServer"_L1, T::Boolean, kNone, UseProxyDefault},
    {I::ProxyAddress, "Options\\ProxyAddress"_L1, T::Text, kNone, ProxyAddressDefault},
    {I::ProxyPort, "Options\\ProxyPort"_L1, T::Text, kNone, ProxyPortDefault},
    // The user's own OAuth client; none is built in.
    {I::GoogleClientID, "GoogleClientID"_L1, T::Text, "", nullptr},
    {I::GoogleClientSecret, "GoogleClientSecret"_L1, T::Text, "", nullptr},
    // Where the update check finds the update file; the maker's site is not built in.
    {I::UpdateFileURL, "UpdateFileURL"_L1, T::Text, "", nullptr},
};

static_assert(std::size(kSettings) == size_t(SettingId::UpdateFileURL) + 1, "one row per SettingId, in order");

QString Trimmed(const QString &path)
{
    QString trimmed = path;
    while (trimmed.startsWith(u'\\'))
        trimmed.remove(0, 1);
    while (trimmed.endsWith(u'\\'))
        trimmed.chop(1);
    return trimmed;
}

} // namespace

std::span<const SettingDefinition> SettingDefinitions()
{
    return kSettings;
}

const SettingDefinition &Setting(SettingId id)
{
    return kSettings[size_t(id)];
}

const SettingDefinition *FindSetting(const QString &path)
{
    const QString wanted = Trimmed(path);
    for (const SettingDefinition &setting : kSettings)
        if (wanted.compare(setting.path, Qt::CaseInsensitive) == 0)
            return &setting;
    return nullptr;
}

bool IsSecretValueName(const QString &name)
{
    // By name, so that values kept under other names later are covered too.
    static const char *const kParts[] = {"secret", "token", "password", "geocodingkey", "apikey"};
    for (const char *part : kParts)
        if (name.contains(QLatin1StringView(part), Qt::CaseInsensitive))
            return true;
    return false;
}

QVariant ParseSettingText(SettingType type, const QString &text)
{
    static const char *const kTrue[] = {"1", "true", "yes", "on"};
    static const char *const kFalse[] = {"0", "false", "no", "off"};
    const QString word = text.trimmed().toLower();
    bool ok = false;
    switch (type) {
    case SettingType::Boolean:
        for (const char *yes : kTrue)
            if (word == QLatin1StringView(yes))
                return true;
        for (const char *no : kFalse)
            if (word == QLatin1StringView(no))
                return false;
        return {};
    case SettingType::Integer: {
        const int number = word.toInt(&ok);
        return ok ? QVariant(number) : QVariant();
    }
    case SettingType::Text: return text;
    case SettingType::Key: break;
    }
    return {};
}

QVariant SettingDefault(const SettingDefinition &setting)
{
    if (setting.systemDefault)
        return ParseSettingText(setting.type, setting.systemDefault());
    if (setting.fixedDefault)
        return ParseSettingText(setting.type, QString::fromUtf8(setting.fixedDefault));
    return {};
}

QVariant ReadSetting(const TQorRegistryEnhanced &registry, SettingId id)
{
    const SettingDefinition &setting = Setting(id);
    const QVariant fallback = SettingDefault(setting);
    const QVariant stored = registry.GetValueDefault(setting.path, QVariant());
    if (!stored.isValid())
        return fallback;
    // A value stored by hand in another layout still counts when it reads as one
    // of this type (the text "1" for a Boolean).
    const QVariant typed = stored.typeId() == QMetaType::QString ? ParseSettingText(setting.type, stored.toString())
                                                                 : stored;
    switch (setting.type) {
    case SettingType::Boolean: return typed.isValid() ? QVariant(typed.toInt() != 0) : fallback;
    case SettingType::Integer: return typed.isValid() ? QVariant(typed.toInt()) : fallback;
    case SettingType::Text: return stored.toString();
    case SettingType::Key: break;
    }
    return {};
}

bool ReadBoolSetting(const TQorRegistryEnhanced &registry, SettingId id)
{
    return ReadSetting(registry, id).toBool();
}

int ReadIntegerSetting(const TQorRegistryEnhanced &registry, SettingId id)
{
    return ReadSetting(registry, id).toInt();
}

QString ReadTextSetting(const TQorRegistryEnhanced &registry, SettingId id)
{
    return ReadSetting(registry, id).toString();
}

bool WriteSetting(TQorRegistryEnhanced &registry, SettingId id, const QVariant &value)
{
    const SettingDefinition &setting = Setting(id);
    switch (setting.type) {
    case SettingType::Boolean: return registry.SetValue(setting.path, value.toBool());
    case SettingType::Integer: return registry.SetValue(setting.path, value.toInt());
    case SettingType::Text: return registry.SetValue(setting.path, value.toString());
    case SettingType::Key: break;
    }
    return false;
}

} // namespace cardolin
