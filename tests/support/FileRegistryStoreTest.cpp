#include "fakes/Files.h"
#include "fakes/RecordingPrompts.h"
#include "support/FileRegistryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cardolin;
using cardolin::testing::RecordingPrompts;

using cardolin::testing::ReadAll;
using cardolin::testing::WriteAll;

namespace {

const RegistryPath kOptions{"Software", "Velmora", "Cardolin", "Options"};

struct FileStoreTest : ::testing::Test
{
    QTemporaryDir dir;
    QString file = dir.filePath("config/cardolin/registry.txt");
    RecordingPrompts prompts;
};

TEST_F(FileStoreTest, ChangesAreOnDiskAtOnceAndPrivate)
{
    {
        FileRegistryStore store(file, prompts);
        EXPECT_FALSE(QFile::exists(file)); // reading creates nothing
        ASSERT_TRUE(store.WriteValue(kOptions, "SortAlphabetically", RegistryValue::Integer(1)));
    }
    EXPECT_EQ(QFileInfo(file).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther), 0);
    EXPECT_EQ(QFileInfo(QFileInfo(file).path()).permissions() & (QFile::ReadOther | QFile::ExeOther), 0);
    FileRegistryStore again(file, prompts);
    EXPECT_EQ(again.ReadValue(kOptions, "SortAlphabetically"), RegistryValue::Integer(1));
    EXPECT_TRUE(prompts.warnings.isEmpty());
}

TEST_F(FileStoreTest, TwoProgramsSeeAndKeepEachOthersChanges)
{
    FileRegistryStore desktop(file, prompts), cli(file, prompts);
    ASSERT_TRUE(desktop.WriteValue(kOptions, "A", RegistryValue::Integer(1)));
    ASSERT_TRUE(cli.WriteValue(kOptions, "B", RegistryValue::Integer(2)));
    ASSERT_TRUE(desktop.WriteValue(kOptions, "C", RegistryValue::Integer(3)));

    EXPECT_EQ(cli.ValueNames(kOptions), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(FileRegistryStore(file, prompts).ValueNames(kOptions), (QStringList{"A", "B", "C"}));
}

TEST_F(FileStoreTest, ABatchIsWrittenOnceAndAFailedOneNotAtAll)
{
    FileRegistryStore store(file, prompts);
    ASSERT_TRUE(store.Batch([&] {
        return store.WriteValue(kOptions, "A", RegistryValue::Integer(1))
               && store.WriteValue(kOptions, "B", RegistryValue::Integer(2));
    }));
    const QByteArray before = ReadAll(file);
    EXPECT_FALSE(store.Batch([&] {
        store.DeleteKey(kOptions);
        return false;
    }));
    EXPECT_EQ(ReadAll(file), before);
    EXPECT_EQ(store.ValueNames(kOptions), (QStringList{"A", "B"}));
}

TEST_F(FileStoreTest, AnUnreadableFileIsKeptAsideAndNeverOverwritten)
{
    QDir().mkpath(QFileInfo(file).path());
    const QByteArray broken = "[Software\\Velmora]\n\"v\"=dword:zz\n";
    ASSERT_TRUE(WriteAll(file, broken));
    ASSERT_TRUE(WriteAll(file + ".bad", "an older casualty"));

    FileRegistryStore store(file, prompts);
    ASSERT_EQ(prompts.warnings.size(), 1);
    EXPECT_TRUE(prompts.warnings[0].contains(file + ".bad2")) << prompts.warnings[0].toStdString();
    EXPECT_EQ(ReadAll(file + ".bad2"), broken);
    EXPECT_EQ(ReadAll(file + ".bad"), "an older casualty");
    EXPECT_TRUE(store.SubKeyNames({}).isEmpty()); // starts from the defaults

    ASSERT_TRUE(store.WriteValue(kOptions, "A", RegistryValue::Integer(1)));
    EXPECT_EQ(FileRegistryStore(file, prompts).ReadValue(kOptions, "A"), RegistryValue::Integer(1));
}

TEST_F(FileStoreTest, DamageWhileRunningKeepsTheLastGoodSettings)
{
    FileRegistryStore store(file, prompts);
    ASSERT_TRUE(store.WriteValue(kOptions, "A", RegistryValue::Integer(1)));
    ASSERT_TRUE(WriteAll(file, "garbage"));

    EXPECT_EQ(store.ReadValue(kOptions, "A"), RegistryValue::Integer(1));
    EXPECT_EQ(prompts.warnings.size(), 1);
    EXPECT_EQ(ReadAll(file + ".bad"), "garbage");
}

TEST_F(FileStoreTest, AFileThatCannotBeMovedAsideIsLeftAloneAndNothingIsSaved)
{
    // A folder of the file's name cannot be read as a file, and every aside
    // name is taken by another folder.
    ASSERT_TRUE(QDir().mkpath(file));
    ASSERT_TRUE(QDir().mkpath(file + ".bad"));
    ASSERT_TRUE(QDir().mkpath(file + ".bad2"));
    for (int i = 3; i <= 100; ++i)
        ASSERT_TRUE(QDir().mkpath(file + QStringLiteral(".bad%1").arg(i)));

    FileRegistryStore store(file, prompts);
    EXPECT_FALSE(store.Persistent());
    ASSERT_EQ(prompts.warnings.size(), 1);
    EXPECT_TRUE(prompts.warnings[0].contains("will not be saved"));
    EXPECT_TRUE(store.WriteValue(kOptions, "A", RegistryValue::Integer(1)));
    EXPECT_EQ(store.ReadValue(kOptions, "A"), RegistryValue::Integer(1));
    EXPECT_TRUE(QFileInfo(file).isDir());
}

TEST_F(FileStoreTest, AChangeThatCannotBeWrittenIsUndone)
{
    // The folder of the file is a file: nothing can be saved there.
    ASSERT_TRUE(WriteAll(dir.filePath("config"), "in the way"));
    FileRegistryStore store(file, prompts);
    EXPECT_FALSE(store.WriteValue(kOptions, "A", RegistryValue::Integer(1)));
    EXPECT_FALSE(store.KeyExists(kOptions));
}

} // namespace
