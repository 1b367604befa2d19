#include "support/QorRegistryEnhanced.h"
#include "support/SettingsTable.h"

#include <QSet>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace cardolin;

namespace {

TEST(SettingsTable, OneRowPerSettingWithAUniquePath)
{
    QSet<QString> paths;
    for (size_t i = 0; i < SettingDefinitions().size(); ++i) {
        const SettingDefinition &row = SettingDefinitions()[i];
        EXPECT_EQ(size_t(row.id), i) << row.path.data();
        EXPECT_FALSE(paths.contains(QString(row.path).toLower())) << row.path.data();
        paths.insert(QString(row.path).toLower());
        // A default must read as a value of the row's type.
        if (row.fixedDefault) {
            EXPECT_TRUE(SettingDefault(row).isValid()) << row.path.data();
        }
    }
    EXPECT_EQ(FindSetting("\\options\\sortalphabetically\\"), &Setting(SettingId::SortAlphabetically));
    EXPECT_EQ(FindSetting("Options\\NoSuchThing"), nullptr);
}

TEST(SettingsTable, DefaultsAreTyped)
{
    const struct
    {
        SettingId id;
        QVariant value;
    } cases[] = {
        {SettingId::SortAlphabetically, true},
        {SettingId::IconizeToTray, false},
        {SettingId::DisplayType, 1},
        {SettingId::BatchGeoHighPriorityMarkerGroup, QString("Default Group")},
        {SettingId::ZeeMapsLowPriorityMarkerColor, QString("red")},
        {SettingId::FormatEmail, true},
        {SettingId::CommonContactsBookLibrary, QString("")},
    };
    for (const auto &c : cases) {
        const QVariant value = SettingDefault(Setting(c.id));
        EXPECT_EQ(value, c.value) << Setting(c.id).path.data();
        EXPECT_EQ(value.typeId(), c.value.typeId()) << Setting(c.id).path.data();
    }
    EXPECT_FALSE(SettingDefault(Setting(SettingId::FormInfoMainWindow)).isValid());
}

TEST(SettingsTable, ProxyDefaultsFollowTheEnvironment)
{
    ::setenv("http_proxy", "http://proxy.example:3128/", 1);
    EXPECT_EQ(SettingDefault(Setting(SettingId::UseProxyServer)), QVariant(true));
    EXPECT_EQ(SettingDefault(Setting(SettingId::ProxyAddress)), QVariant("proxy.example"));
    EXPECT_EQ(SettingDefault(Setting(SettingId::ProxyPort)), QVariant("3128"));
    ::unsetenv("http_proxy");
    ::unsetenv("HTTP_PROXY");
    EXPECT_EQ(SettingDefault(Setting(SettingId::UseProxyServer)), QVariant(false));
    EXPECT_EQ(SettingDefault(Setting(SettingId::ProxyPort)), QVariant("80"));
}

TEST(SettingsTable, ReadingPrefersWhatIsStoredWhenItReadsAsTheType)
{
    MemoryRegistryStore store;
    TQorRegistryEnhanced registry(store);
    registry.SetKey(kProgramSettingsKey);
    EXPECT_TRUE(ReadBoolSetting(registry, SettingId::SortAlphabetically));
    EXPECT_EQ(ReadIntegerSetting(registry, SettingId::DisplayType), 1);

    ASSERT_TRUE(WriteSetting(registry, SettingId::SortAlphabetically, false));
    EXPECT_EQ(registry.GetValue("Options\\SortAlphabetically"), QVariant(0));
    EXPECT_FALSE(ReadBoolSetting(registry, SettingId::SortAlphabetically));

    const struct
    {
        const char *stored;
        bool expected;
    } texts[] = {{"1", true}, {"off", false}, {"nonsense", true}};
    for (const auto &t : texts) {
        registry.SetValue("Options\\LinkGenderToTitle", QString(t.stored));
        EXPECT_EQ(ReadBoolSetting(registry, SettingId::LinkGenderToTitle), t.expected) << t.stored;
    }
    registry.SetValue("Options\\DisplayType", QString("three"));
    EXPECT_EQ(ReadIntegerSetting(registry, SettingId::DisplayType), 1);
    registry.SetValue("Options\\BatchGeoLowPriorityMarkerGroup", 5);
    EXPECT_EQ(ReadTextSetting(registry, SettingId::BatchGeoLowPriorityMarkerGroup), "5");
}

} // namespace
