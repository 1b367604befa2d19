#include "support/QorRegistryEnhanced.h"
#include "support/StringEncryption.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include "fakes/Files.h"

#include <gtest/gtest.h>

#include <limits>

using namespace cardolin;

using cardolin::testing::ReadAll;
using cardolin::testing::WriteAll;

namespace {

const RegistryPath kProgram{"Software", "Velmora", "Cardolin"};

struct RegistryTest : ::testing::Test
{
    MemoryRegistryStore store;
    TQorRegistryEnhanced registry{store};
    RegistryTest() { registry.SetKey("Software\\Velmora\\Cardolin\\"); }

    std::optional<RegistryValue> Stored(const RegistryPath &key, const QString &name) const
    {
        return store.ReadValue(kProgram + key, name);
    }
};

TEST(RegistryPaths, AreNormalised)
{
    const struct
    {
        const char *given, *normal;
    } cases[] = {
        {"", ""}, {"\\", ""}, {"Software\\A\\", "\\Software\\A"}, {"\\Software\\A", "\\Software\\A"}, {"A", "\\A"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TQorRegistryEnhanced::NormalizedPath(c.given), c.normal) << c.given;
}

TEST_F(RegistryTest, WithoutAKeyNothingIsReadOrWritten)
{
    registry.SetKey("\\");
    EXPECT_FALSE(registry.SetValue("Options\\SortAlphabetically", true));
    EXPECT_FALSE(registry.GetValueDefault("Options\\SortAlphabetically", true).isValid());
    EXPECT_FALSE(registry.KeyExists(""));
    EXPECT_TRUE(store.SubKeyNames({}).isEmpty());
}

TEST_F(RegistryTest, ABooleanIsStoredAsOneInANewKey)
{
    ASSERT_TRUE(registry.SetValue("Options\\SortAlphabetically", true));
    EXPECT_TRUE(registry.KeyExists("Options"));
    EXPECT_EQ(Stored({"Options"}, "SortAlphabetically"), RegistryValue::Integer(1));
    EXPECT_EQ(registry.GetValueDefault("Options\\SortAlphabetically", false), QVariant(1));
    // Empty components of a value path are ignored.
    EXPECT_EQ(registry.GetValue("\\Options\\\\SortAlphabetically"), QVariant(1));
}

TEST_F(RegistryTest, AMissingValueGivesTheDefaultUntouched)
{
    for (const QVariant &fallback : {QVariant(true), QVariant(QString("text")), QVariant(2.5), QVariant()}) {
        const QVariant got = registry.GetValueDefault("Options\\Missing", fallback);
        EXPECT_EQ(got, fallback);
        EXPECT_EQ(got.typeId(), fallback.typeId());
    }
    EXPECT_FALSE(registry.GetValue("Options\\Missing").isValid());
}

TEST_F(RegistryTest, EachVariantTypeHasItsLayout)
{
    const double serial = 45366.5; // 2024-03-15 12:00
    const auto doubleBytes = [](double d) {
        return QByteArray(reinterpret_cast<const char *>(&d), sizeof d);
    };
    const struct
    {
        const char *name;
        QVariant data;
        RegistryValue stored;
    } cases[] = {
        {"int", QVariant(-5), RegistryValue::Integer(0xFFFFFFFB)},
        {"uint max", QVariant(std::numeric_limits<quint32>::max()), RegistryValue::Integer(0xFFFFFFFF)},
        {"64-bit that fits", QVariant(qint64(7)), RegistryValue::Integer(7)},
        {"false", QVariant(false), RegistryValue::Integer(0)},
        {"byte", QVariant::fromValue(uchar(200)), RegistryValue::Integer(200)},
        {"double", QVariant(2.5), RegistryValue::Binary(doubleBytes(2.5))},
        {"date-time", QVariant(QDateTime(QDate(2024, 3, 15), QTime(12, 0))), RegistryValue::Binary(doubleBytes(serial))},
        {"before 1899-12-30", QVariant(QDateTime(QDate(1899, 12, 29), QTime(6, 0))),
         RegistryValue::Binary(doubleBytes(-1.25))},
        {"string", QVariant(QString("Zoë")), RegistryValue::String("Zoë")},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(registry.SetValue(c.name, c.data)) << c.name;
        EXPECT_EQ(Stored({}, c.name), c.stored) << c.name;
    }
    // Binary data reads back as its size only.
    EXPECT_EQ(registry.GetValueDefault("double", 0), QVariant(8));
    EXPECT_FALSE(registry.GetValue("double").isValid());
    EXPECT_EQ(registry.GetValue("int"), QVariant(-5));
}

TEST_F(RegistryTest, WhatCannotBeStoredFaithfullyIsNotStored)
{
    EXPECT_FALSE(registry.SetValue("wide", QVariant(qint64(1) << 40)));
    EXPECT_FALSE(registry.SetValue("list", QVariant(QStringList{"a"})));
    EXPECT_FALSE(registry.ValueExists("wide"));
    EXPECT_FALSE(registry.ValueExists("list"));

    registry.SetRaiseExceptions(true);
    registry.SetLangType(ltFrench);
    try {
        registry.SetValue("list", QVariant(QStringList{"a"}));
        FAIL() << "no exception";
    } catch (const ERegistryEnhanced &e) {
        EXPECT_EQ(e.Message(), "Type de donnée inconnu.");
    }
}

TEST_F(RegistryTest, BinaryTypesChooseTheLayout)
{
    ASSERT_TRUE(registry.SetTypedValue("expand", QString("$HOME/x"), btExpandString));
    EXPECT_EQ(Stored({}, "expand"), RegistryValue::Expand("$HOME/x"));
    EXPECT_EQ(registry.GetValue("expand"), QVariant("$HOME/x"));
    EXPECT_EQ(registry.BinaryType(), btNone);

    ASSERT_TRUE(registry.SetTypedValue("max", QByteArray("\x01\x02\x03\x04\x05", 5), btBinary32BitMax));
    EXPECT_EQ(Stored({}, "max"), RegistryValue::Binary(QByteArray("\x01\x02\x03\x04", 4)));
    EXPECT_EQ(registry.GetTypedValue("max", btBinary32BitMax), QVariant(0x04030201));
    ASSERT_TRUE(registry.SetTypedValue("min", QByteArray("\xFE", 1), btBinary32BitMin));
    EXPECT_EQ(Stored({}, "min")->bytes.size(), 16);
    EXPECT_EQ(registry.GetTypedValue("min", btBinary32BitMin), QVariant(0xFE));
}

TEST_F(RegistryTest, EncryptedStringsNeedAKeyBothWays)
{
    EXPECT_FALSE(registry.SetTypedValue("token", QString("secret"), btEncryptString));
    EXPECT_FALSE(registry.ValueExists("token"));

    registry.SetEncryptionParameters("Key", 0x2A);
    ASSERT_TRUE(registry.SetTypedValue("token", QString("secret"), btEncryptString));
    EXPECT_NE(Stored({}, "token")->text, "secret");
    EXPECT_EQ(registry.GetTypedValue("token", btEncryptString), QVariant("secret"));
    EXPECT_EQ(registry.GetTypedValueDefault("token", "none", btEncryptString), QVariant("secret"));

    // Damaged cipher text reads as missing.
    store.WriteValue(kProgram, "token", RegistryValue::String("ABC"));
    EXPECT_EQ(registry.GetTypedValueDefault("token", "none", btEncryptString), QVariant("none"));
}

TEST(StringEncryption, FollowsTheChainOfXors)
{
    // Start 0x2A; 'A' (65): (42 + 65) % 255 = 107, XOR 'k' (107) = 0.
    EXPECT_EQ(EncryptString("A", "k", 0x2A), "2A00");
    const QString text = QString::fromUtf8("Zoë B. Élan, 1 rue de l'Église");
    EXPECT_EQ(DecryptString(EncryptString(text, "base key", 200), "base key"), text);
    for (const char *bad : {"", "A", "2A0", "ZZ00", "2AZZ"})
        EXPECT_FALSE(DecryptString(bad, "k")) << bad;
}

TEST_F(RegistryTest, ReadOnlyAccessReadsButDoesNotWrite)
{
    registry.SetValue("v", 1);
    registry.SetAccess(kRead);
    EXPECT_FALSE(registry.SetValue("v", 2));
    EXPECT_FALSE(registry.DeleteValue("v"));
    EXPECT_EQ(registry.GetValue("v"), QVariant(1));
    registry.SetAccess(kAllAccess);
    registry.SetRootKey(hkLocalMachine);
    EXPECT_FALSE(registry.ValueExists("v"));
}

TEST_F(RegistryTest, KeysAreListedCountedCopiedAndRenamed)
{
    registry.SetValue("A\\x", 1);
    registry.SetValue("A\\B\\y", QString("why"));
    registry.SetValue("Other\\z", 3);

    QStringList list{"left alone"};
    registry.GetSubKeys("Missing", list);
    EXPECT_EQ(list, QStringList{"left alone"});
    registry.GetSubKeys("", list);
    EXPECT_EQ(list, (QStringList{"A", "Other"}));
    EXPECT_EQ(registry.CountValueNames("A"), 1);
    EXPECT_EQ(registry.CountSubKeys("A"), 1);

    // Onto an existing key: refused, nothing changes.
    EXPECT_FALSE(registry.RenameKey("A", "Other"));
    EXPECT_FALSE(registry.CopyKey("A", "other"));
    EXPECT_EQ(registry.GetValue("Other\\z"), QVariant(3));
    EXPECT_FALSE(registry.ValueExists("Other\\x"));
    // Into its own sub-tree a rename would lose everything: refused too.
    EXPECT_FALSE(registry.RenameKey("A", "A\\B\\C"));
    EXPECT_TRUE(registry.ValueExists("A\\B\\y"));

    ASSERT_TRUE(registry.RenameKey("A", "Renamed"));
    EXPECT_FALSE(registry.KeyExists("A"));
    EXPECT_EQ(registry.GetValue("Renamed\\B\\y"), QVariant("why"));
    ASSERT_TRUE(registry.CopyKey("Renamed", "Copy"));
    EXPECT_TRUE(registry.KeyExists("Renamed"));
    EXPECT_TRUE(registry.DeleteKey("Copy"));
    EXPECT_FALSE(registry.KeyExists("Copy\\B"));
}

TEST_F(RegistryTest, ValuesAreCopiedAndRenamedWithinAndAcrossKeys)
{
    registry.SetValue("K\\a", QString("text"));
    registry.SetTypedValue("K\\e", QString("%x%"), btExpandString);
    registry.SetValue("K\\b", 2.0);
    registry.SetValue("K\\taken", 1);

    EXPECT_TRUE(registry.CopyValue("K\\e", "L\\e"));
    EXPECT_EQ(Stored({"L"}, "e"), RegistryValue::Expand("%x%"));
    EXPECT_FALSE(registry.CopyValue("K\\b", "L\\b")); // binary is not copied

    EXPECT_FALSE(registry.RenameValue("K\\a", "K\\taken"));
    EXPECT_TRUE(registry.RenameValue("K\\a", "K\\renamed"));
    EXPECT_EQ(store.ValueNames(kProgram + RegistryPath{"K"}), (QStringList{"renamed", "e", "b", "taken"}));
    EXPECT_TRUE(registry.RenameValue("K\\renamed", "M\\moved"));
    EXPECT_FALSE(registry.ValueExists("K\\renamed"));
    EXPECT_EQ(registry.GetValue("M\\moved"), QVariant("text"));
    // A failed copy leaves the original where it was.
    EXPECT_FALSE(registry.RenameValue("K\\b", "M\\b"));
    EXPECT_TRUE(registry.ValueExists("K\\b"));
}

TEST_F(RegistryTest, SearchMatchesNamesDataOrKeys)
{
    registry.SetValue("Options\\SortAlphabetically", true);
    registry.SetValue("Options\\ProxyAddress", QString("proxy.example"));
    registry.SetValue("Options\\Deep\\Sorted", 12);
    registry.SetValue("Version", QString("v12.0"));
    const QString options = "\\Software\\Velmora\\Cardolin\\Options";
    const struct
    {
        const char *name;
        const char *subKey;
        const char *text;
        TSearchOption option;
        bool recursive;
        QStringList found;
    } cases[] = {
        {"names, not deeper", "Options", "SORT", opValue, false, {options + "\\SortAlphabetically"}},
        {"names, deeper", "Options", "sort", opValue, true, {options + "\\SortAlphabetically", options + "\\Deep\\Sorted"}},
        {"data as text", "", "12", opData, true, {"\\Software\\Velmora\\Cardolin\\Version", options + "\\Deep\\Sorted"}},
        {"name or data", "Options", "proxy", opValueData, false, {options + "\\ProxyAddress"}},
        {"keys", "", "", opKey, true, {"\\Software\\Velmora\\Cardolin\\Options", options + "\\Deep"}},
        {"missing key", "Nowhere", "", opValue, true, {}},
    };
    for (const auto &c : cases) {
        registry.Search(c.subKey, c.text, c.option, c.recursive);
        EXPECT_EQ(registry.EntriesFound(), c.found) << c.name;
    }
}

TEST_F(RegistryTest, KeyContentRoundTripsThroughAFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("content.txt");
    registry.SetValue("Src\\Name", QString("Zoë"));
    registry.SetValue("Src\\Count", 3);
    registry.SetValue("Src\\Binary", 1.5);
    ASSERT_TRUE(registry.SaveKeyContentToFile("Src", file, "="));
    // Windows-1252 while every character fits.
    EXPECT_EQ(ReadAll(file), "Name=Zo\xEB\nCount=3\nBinary=\n");

    registry.SetValue("Src\\Wide", QString("✓ 漢字"));
    ASSERT_TRUE(registry.SaveKeyContentToFile("Src", file, "="));
    ASSERT_TRUE(registry.LoadKeyContentFromFile("Dst", file, "="));
    EXPECT_EQ(registry.GetValue("Dst\\Name"), QVariant("Zoë"));
    EXPECT_EQ(registry.GetValue("Dst\\Count"), QVariant("3")); // everything comes back as text
    EXPECT_EQ(registry.GetValue("Dst\\Wide"), QVariant("✓ 漢字"));
    EXPECT_EQ(registry.GetValue("Dst\\Binary"), QVariant(""));

    QFile lines(file);
    ASSERT_TRUE(lines.open(QIODevice::WriteOnly));
    lines.write("Path\\Last=kept\r\nno break here\r\na=b=c\r\n=empty name\r\n");
    lines.close();
    ASSERT_TRUE(registry.LoadKeyContentFromFile("Lines", file, "="));
    QStringList names;
    registry.GetValueNames("Lines", names);
    EXPECT_EQ(names, (QStringList{"Last", ""}));
    EXPECT_EQ(registry.GetValue("Lines\\Last"), QVariant("kept"));

    registry.SetRaiseExceptions(true);
    EXPECT_THROW(registry.LoadKeyContentFromFile("X", dir.filePath("missing.txt"), "="), ERegistryEnhanced);
    EXPECT_THROW(registry.SaveKeyContentToFile("Src", dir.filePath("no/such/folder/x.txt"), "="),
                 ERegistryEnhanced);
}

TEST_F(RegistryTest, ExportWritesARegistryFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("export.reg");
    QByteArray bytes;
    for (int i = 0; i < 30; ++i)
        bytes.append(char(i));
    store.WriteValue(kProgram + RegistryPath{"Export"}, "", RegistryValue::String("C:\\Books \"mine\""));
    store.WriteValue(kProgram + RegistryPath{"Export"}, "back\\slash", RegistryValue::Integer(0x2A));
    store.WriteValue(kProgram + RegistryPath{"Export"}, "Blob", RegistryValue::Binary(bytes));
    store.WriteValue(kProgram + RegistryPath{"Export", "Sub"}, "Accent", RegistryValue::Expand("Zoë ✓"));

    ASSERT_TRUE(registry.ExportKeyToRegFile("Export", file));
    EXPECT_EQ(ReadAll(file), "REGEDIT4\r\n"
                             "\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Velmora\\Cardolin\\Export]\r\n"
                             "@=\"C:\\\\Books \"mine\"\"\r\n"
                             "\"back\\\\slash\"=dword:0000002A\r\n"
                             "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11,12,13,14,15,16,"
                             "17,18,19,\\\r\n"
                             "1A,1B,1C,1D\r\n"
                             "\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Velmora\\Cardolin\\Export\\Sub]\r\n"
                             "\"Accent\"=\"Zo\xEB ?\"\r\n");
    EXPECT_FALSE(registry.ExportKeyToRegFile("Missing", dir.filePath("missing.reg")));
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.reg")));
}

} // namespace
