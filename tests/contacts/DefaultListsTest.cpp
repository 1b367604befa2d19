#include "contacts/DefaultLists.h"
#include "contacts/QorContacts.h"
#include "fakes/Files.h"
#include "support/QorRegistryEnhanced.h"
#include "support/RegistryStore.h"
#include "support/SettingsTable.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cardolin;
using cardolin::testing::WriteAll;

namespace {

struct DefaultListsTest : ::testing::Test
{
    QTemporaryDir dir;
    MemoryRegistryStore store;
    TQorRegistryEnhanced registry{store};

    DefaultListsTest() { registry.SetKey(QString(kProgramSettingsKey)); }
    QString DefFiles() const { return dir.path() + "/"; }
};

TEST_F(DefaultListsTest, ListFilesAreReadLineByLineWithinLimits)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        std::optional<QStringList> entries;
    } cases[] = {
        {"sorted, blanks and repeats dropped", "Family\r\n\n  Friends \nfamily\nBusiness\n",
         QStringList{"Business", "Family", "Friends"}},
        {"byte-order mark and accents", "\xEF\xBB\xBF\xC3\x89quipe\nAmis", QStringList{"Amis", "\xC3\x89quipe"}},
        {"empty file", "", QStringList{}},
        {"far too large to be a word list", QByteArray(2 << 20, 'x'), std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath("list.def");
        ASSERT_TRUE(WriteAll(path, c.bytes));
        EXPECT_EQ(ReadListFile(path), c.entries);
    }
    EXPECT_EQ(ReadListFile(dir.filePath("missing.def")), std::nullopt);
}

TEST_F(DefaultListsTest, DefaultFileComesFromTheConfiguredFolderElseTheBuiltInList)
{
    EXPECT_EQ(DefaultListFolders(DefFiles()).first(), dir.path());
    // Where no folder holds the file, the collection's own list stands in.
    const QString nowhere = dir.filePath("nothing/");
    bool elsewhere = false;
    for (const QString &folder : DefaultListFolders(nowhere))
        elsewhere = elsewhere || QFileInfo::exists(folder + "/Keywords.def");
    if (!elsewhere) {
        EXPECT_EQ(ReadDefaultList(TVocabulary::Keywords, nowhere), TQorContacts().Keywords());
    }
    ASSERT_TRUE(WriteAll(dir.filePath("Keywords.def"), "Prospect\nNewsletter\n"));
    EXPECT_EQ(ReadDefaultList(TVocabulary::Keywords, DefFiles()), (QStringList{"Newsletter", "Prospect"}));
}

TEST_F(DefaultListsTest, EverySharedDataFolderIsSearchedNotOnlyTheFirst)
{
    // As on a desktop whose first data folder is its own, with the package's
    // files under the last one.
    const QByteArray saved = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_DIRS", (dir.filePath("desktop") + ":relative:" + dir.filePath("usr/share")).toUtf8());
    const QString file = dir.filePath("usr/share/Velmora/Cardolin/Keywords.def");
    ASSERT_TRUE(WriteAll(file, "Packaged\n"));
    QString source;
    const QStringList entries = ReadDefaultList(TVocabulary::Keywords, dir.filePath("nothing/"), &source);
    qputenv("XDG_DATA_DIRS", saved);
    EXPECT_EQ(entries, QStringList{"Packaged"});
    EXPECT_EQ(source, file);
}

TEST_F(DefaultListsTest, StoredCheckListWinsOverTheDefaultFile)
{
    ASSERT_TRUE(WriteAll(dir.filePath("Categories.def"), "Family\nClients\n"));
    EXPECT_EQ(StoredCheckList(registry, TVocabulary::Categories, DefFiles()),
              (TCheckListItems{{"Clients", true}, {"Family", true}}));

    ASSERT_TRUE(registry.SetCheckListBox("Categories", {{"Neighbours", false}, {"Band", true}}));
    EXPECT_EQ(StoredCheckList(registry, TVocabulary::Categories, DefFiles()),
              (TCheckListItems{{"Band", true}, {"Neighbours", false}}));
}

TEST_F(DefaultListsTest, TickedEntriesAreAddedAndNothingIsTakenAway)
{
    TQorContacts contacts;
    const QStringList builtIn = contacts.Categories();
    AddCheckedEntries(contacts, TVocabulary::Categories,
                      {{"Band", true}, {"Family", false}, {"FRIENDS", true}, {"", true}, {"Zoo", false}});
    QStringList expected = builtIn;
    expected.insert(0, "Band");
    EXPECT_EQ(contacts.Categories(), expected); // Family stays, Friends is there already, Zoo was not ticked
    EXPECT_EQ(contacts.Keywords(), TQorContacts().Keywords());
}

} // namespace
