#include "contacts/CollectionOptions.h"

#include "contacts/QorContacts.h"
#include "support/SettingsTable.h"

namespace cardolin {

namespace {

TDisplayType DisplayTypeOfItem(int item)
{
    // The order of the display choices the user sees.
    constexpr TDisplayType kItems[] = {dtFirstLastName, dtFirstMiddleLastName, dtFullName, dtLastFirstName};
    return item >= 0 && item < 4 ? kItems[item] : dtFirstMiddleLastName;
}

void ApplyMarkers(const TQorRegistryEnhanced &registry, TQorContacts &contacts)
{
    const auto text = [&](SettingId id) { return ReadTextSetting(registry, id); };
    // A colour the map service does not know is no colour at all.
    const auto earth = [&](SettingId id) {
        const QString stored = text(id);
        return GoogleEarthMarkerColors().contains(stored) ? stored : QString();
    };
    const auto zee = [&](SettingId id) {
        const QString stored = text(id);
        return ZeeMapsMarkerColors().contains(stored) ? stored : QString();
    };
    contacts.SetBatchGeoLowPriorityMarkerGroup(text(SettingId::BatchGeoLowPriorityMarkerGroup));
    contacts.SetBatchGeoNormalPriorityMarkerGroup(text(SettingId::BatchGeoNormalPriorityMarkerGroup));
    contacts.SetBatchGeoHighPriorityMarkerGroup(text(SettingId::BatchGeoHighPriorityMarkerGroup));
    contacts.SetGoogleEarthLowPriorityMarkerColor(earth(SettingId::GoogleEarthLowPriorityMarkerColor));
    contacts.SetGoogleEarthNormalPriorityMarkerColor(earth(SettingId::GoogleEarthNormalPriorityMarkerColor));
    contacts.SetGoogleEarthHighPriorityMarkerColor(earth(SettingId::GoogleEarthHighPriorityMarkerColor));
    contacts.SetZeeMapsLowPriorityMarkerColor(zee(SettingId::ZeeMapsLowPriorityMarkerColor));
    contacts.SetZeeMapsNormalPriorityMarkerColor(zee(SettingId::ZeeMapsNormalPriorityMarkerColor));
    contacts.SetZeeMapsHighPriorityMarkerColor(zee(SettingId::ZeeMapsHighPriorityMarkerColor));
}

} // namespace

const QStringList &GoogleEarthMarkerColors()
{
    static const QStringList colors = {QStringLiteral("blue"),   QStringLiteral("green"), QStringLiteral("orange"),
                                       QStringLiteral("purple"), QStringLiteral("red"),   QStringLiteral("yellow")};
    return colors;
}

const QStringList &ZeeMapsMarkerColors()
{
    static const QStringList colors = [] {
        QStringList list;
        for (const char *color : {"black",       "blue",        "brown",        "burgundy",     "candle", "cloud",
                                  "forest",      "fuscia",      "green",        "grey",         "lavender",
                                  "light blue",  "light green", "light purple", "light yellow", "lilac",  "maize",
                                  "mold",        "olive",       "orange",       "purple",       "red",    "red dust",
                                  "sky",         "spring",      "sunflower",    "sunset",       "teal",   "tree",
                                  "white",       "yellow"})
            list.append(QString::fromLatin1(color));
        return list;
    }();
    return colors;
}

void ApplyStoredOptions(const TQorRegistryEnhanced &registry, TQorContacts &contacts)
{
    const auto on = [&](SettingId id) { return ReadBoolSetting(registry, id); };
    contacts.SetDefaultCategory(on(SettingId::AssignContactsCategoryToContactsByDefault) ? QStringLiteral("Contacts")
                                                                                           : QString());
    contacts.SetMapsProvider(ReadIntegerSetting(registry, SettingId::Maps) == 1 ? mpBing : mpGoogle);
    contacts.SetDisplayType(DisplayTypeOfItem(ReadIntegerSetting(registry, SettingId::DisplayType)));
    contacts.SetDisplayTypeOptions(on(SettingId::DisplayReplaceAccentedChars) ? dtoReplaceAccentedChars
                                                                              : TDisplayTypeOptions());
    TFindOptions find;
    find.setFlag(foCaseSensitive, on(SettingId::FindCaseSensitive));
    find.setFlag(foIgnoreAccentedChars, on(SettingId::FindIgnoreAccentedChars));
    contacts.SetFindOptions(find);

    contacts.SetFormatContacts(on(SettingId::FormatContacts));
    TFormatContactsOptions format;
    format.setFlag(fcoDialNumber, on(SettingId::FormatDialNumber));
    format.setFlag(fcoEmail, on(SettingId::FormatEmail));
    format.setFlag(fcoWebsite, on(SettingId::FormatWebsite));
    format.setFlag(fcoLastNameUppercase, on(SettingId::FormatLastNameUppercase));
    contacts.SetFormatContactsOptions(format);

    ApplyMarkers(registry, contacts);
    const bool proxy = on(SettingId::UseProxyServer);
    contacts.SetProxyAddress(proxy ? ReadTextSetting(registry, SettingId::ProxyAddress) : QString());
    contacts.SetProxyPort(proxy ? ReadTextSetting(registry, SettingId::ProxyPort) : QStringLiteral("80"));
    contacts.SetGoogleClientID(ReadTextSetting(registry, SettingId::GoogleClientID));
    contacts.SetGoogleClientSecret(ReadTextSetting(registry, SettingId::GoogleClientSecret));
}

} // namespace cardolin
