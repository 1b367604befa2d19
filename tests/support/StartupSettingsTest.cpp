#include "support/QorRegistryEnhanced.h"
#include "support/RegistryStore.h"
#include "support/SettingsTable.h"
#include "support/StartupSettings.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

struct StartupTest : ::testing::Test
{
    MemoryRegistryStore store;
    TQorRegistryEnhanced registry{store};
    StartupTest() { registry.SetKey(QString(kProgramSettingsKey)); }
};

TEST(VersionTextTest, PadsMinorAndReleaseAndKeepsTheBuildApart)
{
    EXPECT_EQ(VersionText(1, 2, 8, 0), "1.02.08b0");
    EXPECT_EQ(VersionText(2, 10, 11, 345), "2.10.11b345");
    EXPECT_EQ(VersionWithoutBuild("1.02.08b0"), "1.02.08");
    EXPECT_TRUE(ProgramVersionText().contains('b'));
}

TEST_F(StartupTest, TheFirstStartOfAVersionRecordsItAndLaterStartsChangeNothing)
{
    registry.SetValue("Accounts\\ann@example.com\\GoogleRefreshToken", QString("token"));

    const TVersionMigration first = MigrateVersionSettings(registry, "1.02.08b0", "/opt/cardolin");
    EXPECT_TRUE(first.Migrated);
    EXPECT_TRUE(first.OlderThanAccountsLayout); // nothing stored sorts first
    EXPECT_FALSE(first.GoogleAccountsHoldValues);
    EXPECT_EQ(ReadTextSetting(registry, SettingId::Version), "1.02.08b0");
    EXPECT_EQ(ReadTextSetting(registry, SettingId::ApplicationPath), "/opt/cardolin/");
    EXPECT_FALSE(registry.KeyExists("Accounts"));
    EXPECT_EQ(registry.GetValue("Google Accounts\\ann@example.com\\GoogleRefreshToken").toString(), "token");

    WriteSetting(registry, SettingId::ApplicationPath, QString("/moved/"));
    const TVersionMigration again = MigrateVersionSettings(registry, "1.02.08b0", "/opt/cardolin");
    EXPECT_FALSE(again.Migrated);
    EXPECT_EQ(ReadTextSetting(registry, SettingId::ApplicationPath), "/moved/");
}

TEST_F(StartupTest, AnUpgradeFromTheAccountsLayoutIsRecognised)
{
    WriteSetting(registry, SettingId::Version, QString("1.00.09b2"));
    registry.SetValue("Google Accounts\\DefaultAccount", QString("x"));
    const TVersionMigration m = MigrateVersionSettings(registry, "1.02.08b0", "/opt");
    EXPECT_TRUE(m.OlderThanAccountsLayout);
    EXPECT_TRUE(m.GoogleAccountsHoldValues);

    WriteSetting(registry, SettingId::Version, QString("1.01.00B0"));
    EXPECT_FALSE(MigrateVersionSettings(registry, "1.02.08b0", "/opt").OlderThanAccountsLayout);
}

TEST_F(StartupTest, FoldersEndWithASlashAndTheLogNeedsAnExistingFolder)
{
    WriteSetting(registry, SettingId::DefFilesPath, QString("/usr/share/cardolin"));
    EXPECT_EQ(ReadDefFilesPath(registry), "/usr/share/cardolin/");

    EXPECT_EQ(DebugLogFileName(registry, "Quillet"), "");
    QTemporaryDir logs;
    WriteSetting(registry, SettingId::DebugLogPath, logs.path());
    EXPECT_EQ(DebugLogFileName(registry, "Quillet"), logs.filePath("Quillet.log"));
    EXPECT_EQ(DebugLogFileName(registry, "Quillet.exe"), logs.filePath("Quillet.log"));
    WriteSetting(registry, SettingId::DebugLogPath, logs.filePath("missing"));
    EXPECT_EQ(DebugLogFileName(registry, "Quillet"), "");
}

} // namespace
