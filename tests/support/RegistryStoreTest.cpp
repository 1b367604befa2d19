#include "support/RegistryStore.h"
#include "support/RegistryText.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace cardolin;

namespace {

const RegistryPath kOptions{"Software", "Velmora", "Cardolin", "Options"};

TEST(RegistryStore, NamesIgnoreLetterCaseButKeepTheirFirstSpelling)
{
    MemoryRegistryStore store;
    ASSERT_TRUE(store.WriteValue(kOptions, "SortAlphabetically", RegistryValue::Integer(1)));
    ASSERT_TRUE(store.WriteValue({"software", "VELMORA", "cardolin", "options"}, "sortalphabetically",
                                 RegistryValue::Integer(0)));

    EXPECT_EQ(store.SubKeyNames({"Software"}), QStringList{"Velmora"});
    EXPECT_EQ(store.ValueNames(kOptions), QStringList{"SortAlphabetically"});
    EXPECT_EQ(store.ReadValue(kOptions, "SORTALPHABETICALLY"), RegistryValue::Integer(0));
}

TEST(RegistryStore, ValuesKeepTheirOrderAndSubKeysAreSorted)
{
    MemoryRegistryStore store;
    for (const char *name : {"Zeta", "alpha", "Mid"}) {
        store.WriteValue({"K"}, name, RegistryValue::String(name));
        store.CreateKey({"K", name});
    }
    EXPECT_EQ(store.ValueNames({"K"}), (QStringList{"Zeta", "alpha", "Mid"}));
    EXPECT_EQ(store.SubKeyNames({"K"}), (QStringList{"alpha", "Mid", "Zeta"}));

    // Removing one in the middle keeps the lookup of the others right.
    ASSERT_TRUE(store.DeleteValue({"K"}, "zeta"));
    EXPECT_EQ(store.ReadValue({"K"}, "Mid"), RegistryValue::String("Mid"));
    EXPECT_EQ(store.ValueNames({"K"}), (QStringList{"alpha", "Mid"}));
}

TEST(RegistryStore, RenameValueRefusesATakenNameButAllowsACaseChange)
{
    MemoryRegistryStore store;
    store.WriteValue({"K"}, "a", RegistryValue::Integer(1));
    store.WriteValue({"K"}, "b", RegistryValue::Integer(2));

    EXPECT_FALSE(store.RenameValue({"K"}, "a", "B"));
    EXPECT_FALSE(store.RenameValue({"K"}, "missing", "c"));
    EXPECT_TRUE(store.RenameValue({"K"}, "a", "A"));
    EXPECT_TRUE(store.RenameValue({"K"}, "A", "c"));
    EXPECT_EQ(store.ValueNames({"K"}), (QStringList{"c", "b"}));
    EXPECT_EQ(store.ReadValue({"K"}, "c"), RegistryValue::Integer(1));
}

TEST(RegistryStore, CopyingAKeyIntoItsOwnSubTreeCopiesWhatWasThere)
{
    MemoryRegistryStore store;
    store.WriteValue({"A"}, "v", RegistryValue::Integer(1));
    store.WriteValue({"A", "B"}, "w", RegistryValue::Integer(2));

    ASSERT_TRUE(store.CopyKey({"A"}, {"A", "B", "Copy"}));
    EXPECT_EQ(store.ReadValue({"A", "B", "Copy"}, "v"), RegistryValue::Integer(1));
    EXPECT_EQ(store.ReadValue({"A", "B", "Copy", "B"}, "w"), RegistryValue::Integer(2));
    EXPECT_FALSE(store.KeyExists({"A", "B", "Copy", "B", "Copy"}));
    EXPECT_FALSE(store.CopyKey({"Missing"}, {"X"}));
    EXPECT_FALSE(store.DeleteKey({}));
}

TEST(RegistryStore, KeyNamesAndDepthAreBounded)
{
    MemoryRegistryStore store;
    RegistryPath deep;
    for (int i = 0; i < kRegistryMaxDepth; ++i)
        deep.append("k");
    EXPECT_TRUE(store.CreateKey(deep));
    EXPECT_FALSE(store.CreateKey(deep + RegistryPath{"one too many"}));
    // A copy that would pass the limit is refused as a whole.
    EXPECT_FALSE(store.CopyKey({"k"}, {"other", "k"}));
    EXPECT_FALSE(store.KeyExists({"other"}));

    for (const QString &bad : {QString(), QString("a\\b"), QString("line\nbreak"), QString(256, 'x'),
                               QString(QChar(0xD800))})
        EXPECT_FALSE(store.CreateKey({bad})) << bad.toStdString();
}

TEST(RegistryStore, AFailedBatchLeavesNothingBehind)
{
    MemoryRegistryStore store;
    store.WriteValue({"K"}, "kept", RegistryValue::Integer(1));
    EXPECT_FALSE(store.Batch([&] {
        store.WriteValue({"K"}, "added", RegistryValue::Integer(2));
        store.DeleteValue({"K"}, "kept");
        return false;
    }));
    EXPECT_EQ(store.ValueNames({"K"}), QStringList{"kept"});

    EXPECT_THROW(store.Batch([&]() -> bool {
        store.DeleteKey({"K"});
        throw std::runtime_error("boom");
    }),
                 std::runtime_error);
    EXPECT_TRUE(store.KeyExists({"K"}));
}

// ---- text form ----------------------------------------------------------------

TEST(RegistryText, EveryTypeAndAwkwardNameSurvivesARoundTrip)
{
    const struct
    {
        RegistryPath key;
        QString name;
        RegistryValue value;
    } values[] = {
        {{}, "root value", RegistryValue::String("at the root")},
        {kOptions, "", RegistryValue::String("unnamed")},
        {kOptions, "quote \" and \\ backslash", RegistryValue::String("C:\\path \"quoted\"")},
        {kOptions, "lines", RegistryValue::String("one\ntwo\r\nthree\ttab\x01\x7f")},
        {kOptions, "accents", RegistryValue::String("Zoë Élan ✓ 😀")},
        {kOptions, "lone surrogate", RegistryValue::String(QString(QChar(0xDC00)) + "x" + QChar(0xD800))},
        {kOptions, "=", RegistryValue::String("; not a comment")},
        {kOptions, "expand", RegistryValue::Expand("$HOME/books")},
        {kOptions, "max", RegistryValue::Integer(0xFFFFFFFF)},
        {kOptions, "zero", RegistryValue::Integer(0)},
        {kOptions, "bytes", RegistryValue::Binary(QByteArray("\x00\xFF\x10", 3))},
        {kOptions, "no bytes", RegistryValue::Binary({})},
        {{"Key with ] and [", " spaced "}, "x", RegistryValue::Integer(7)},
    };
    RegistryKey root;
    for (const auto &v : values)
        CreateRegistryKey(root, v.key)->SetValue(v.name, v.value);
    CreateRegistryKey(root, {"Empty", "Leaf"});

    QString error;
    std::unique_ptr<RegistryKey> back = registrytext::Read(registrytext::Write(root), error);
    ASSERT_TRUE(back) << error.toStdString();
    const MemoryRegistryStore store(std::move(back));
    for (const auto &v : values) {
        EXPECT_EQ(store.ReadValue(v.key, v.name), v.value) << v.name.toStdString();
        EXPECT_EQ(store.ValueNames(v.key).size(), v.key == kOptions ? 11 : 1);
    }
    EXPECT_TRUE(store.KeyExists({"Empty", "Leaf"}));
    EXPECT_EQ(store.ValueNames(kOptions).first(3), (QStringList{"", "quote \" and \\ backslash", "lines"}));
}

TEST(RegistryText, ReadsWhatAPersonWouldWrite)
{
    QString error;
    std::unique_ptr<RegistryKey> root = registrytext::Read("\xEF\xBB\xBF; settings\r\n"
                                                           "  [Software\\Velmora]  \r\n"
                                                           "\"On\"=dword:1\r\n"
                                                           "# another comment\r\n"
                                                           "@=\"default\"\r\n"
                                                           "\"Tab\"=\"a\\tb\\u00e9\"",
                                                           error);
    ASSERT_TRUE(root) << error.toStdString();
    const MemoryRegistryStore store(std::move(root));
    EXPECT_EQ(store.ReadValue({"Software", "Velmora"}, "On"), RegistryValue::Integer(1));
    EXPECT_EQ(store.ReadValue({"Software", "Velmora"}, ""), RegistryValue::String("default"));
    EXPECT_EQ(store.ReadValue({"Software", "Velmora"}, "Tab"), RegistryValue::String("a\tbé"));
}

TEST(RegistryText, RefusesWhatItCannotReadWhole)
{
    QByteArray deep = "[";
    for (int i = 0; i <= kRegistryMaxDepth; ++i)
        deep += "k\\";
    deep += "k]";
    const struct
    {
        const char *name;
        QByteArray text;
    } cases[] = {
        {"unknown type", "[K]\n\"v\"=qword:1\n"},
        {"unterminated text", "[K]\n\"v\"=\"open\n"},
        {"text after the quote", "[K]\n\"v\"=\"a\" b\n"},
        {"unknown escape", "[K]\n\"v\"=\"\\q\"\n"},
        {"short unicode escape", "[K]\n\"v\"=\"\\u12\"\n"},
        {"dword too long", "[K]\n\"v\"=dword:123456789\n"},
        {"dword not hex", "[K]\n\"v\"=dword:12g4\n"},
        {"odd hex byte", "[K]\n\"v\"=hex:0,1\n"},
        {"bare word", "[K]\nSortAlphabetically=1\n"},
        {"no equals sign", "[K]\n\"v\"\n"},
        {"empty key name", "[A\\\\B]\n"},
        {"control character in key", "[A\x01]\n"},
        {"too deep", deep},
        {"not UTF-8", "[K]\n\"v\"=\"\xFF\"\n"},
        {"too large", QByteArray(registrytext::kMaxFileBytes + 1, ';')},
    };
    for (const auto &c : cases) {
        QString error;
        EXPECT_FALSE(registrytext::Read(c.text, error)) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
    }
}

} // namespace
