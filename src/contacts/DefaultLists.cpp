#include "contacts/DefaultLists.h"

#include "contacts/QorContacts.h"
#include "contacts/SortedStringList.h"
#include "platform/Process.h"
#include "platform/SystemFolders.h"
#include "support/QorRegistryEnhanced.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace cardolin {

namespace {

// A word list is a few hundred bytes; anything far larger is not one.
constexpr qint64 kMaxListFileSize = 1 << 20;
constexpr qsizetype kMaxListEntries = 10000;

QStringList BuiltInList(TVocabulary vocabulary)
{
    const TQorContacts fresh;
    return vocabulary == TVocabulary::Categories ? fresh.Categories() : fresh.Keywords();
}

} // namespace

QString DefaultListFileName(TVocabulary vocabulary)
{
    return vocabulary == TVocabulary::Categories ? QStringLiteral("Categories.def") : QStringLiteral("Keywords.def");
}

QString CheckListKey(TVocabulary vocabulary)
{
    return vocabulary == TVocabulary::Categories ? QStringLiteral("Categories") : QStringLiteral("Keywords");
}

QStringList DefaultListFolders(const QString &defFilesPath)
{
    const QString ownFolder = QFileInfo(platform::ExecutableFilePath()).absolutePath();
    const QString ownData = QStringLiteral("/Velmora/Cardolin");
    // The folder of the settings, the program's own (a build folder holds the
    // lists beside the programs), the share folder beside its bin folder (an
    // installation moved or staged elsewhere), then every shared data folder,
    // as a package may install under any of them.
    QStringList candidates{defFilesPath, ownFolder, ownFolder + QStringLiteral("/../share") + ownData};
    for (const QString &folder : platform::DataFolders())
        candidates.append(folder + ownData);
    candidates.append(platform::InstalledDataFolder());
    QStringList folders;
    for (const QString &folder : candidates) {
        const QString clean = QDir::cleanPath(folder);
        if (!folder.isEmpty() && !folders.contains(clean))
            folders.append(clean);
    }
    return folders;
}

std::optional<QStringList> ReadListFile(const QString &fileName)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || file.size() > kMaxListFileSize || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString text = QString::fromUtf8(file.read(kMaxListFileSize));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    TSortedStringList entries;
    for (const QString &line : text.split(u'\n')) {
        const QString entry = line.trimmed();
        if (!entry.isEmpty() && entries.Count() < kMaxListEntries)
            entries.Add(entry);
    }
    return entries.Entries();
}

QStringList ReadDefaultList(TVocabulary vocabulary, const QString &defFilesPath, QString *source)
{
    for (const QString &folder : DefaultListFolders(defFilesPath)) {
        const QString file = QDir(folder).filePath(DefaultListFileName(vocabulary));
        if (std::optional<QStringList> entries = ReadListFile(file)) {
            if (source)
                *source = file;
            return *entries;
        }
    }
    if (source)
        source->clear();
    return BuiltInList(vocabulary);
}

TCheckListItems SortedCheckList(const TCheckListItems &items)
{
    TSortedStringList order;
    TCheckListItems sorted;
    for (const TCheckListItem &item : items) {
        if (item.Text.trimmed().isEmpty() || order.Contains(item.Text))
            continue;
        sorted.insert(order.Add(item.Text), item);
    }
    return sorted;
}

TCheckListItems StoredCheckList(const TQorRegistryEnhanced &registry, TVocabulary vocabulary,
                                const QString &defFilesPath)
{
    TCheckListItems defaults;
    if (!registry.KeyExists(CheckListKey(vocabulary)))
        for (const QString &entry : ReadDefaultList(vocabulary, defFilesPath))
            defaults.append({entry, false});
    return SortedCheckList(registry.GetCheckListBox(CheckListKey(vocabulary), defaults, true));
}

void AddCheckedEntries(TQorContacts &contacts, TVocabulary vocabulary, const TCheckListItems &items)
{
    const bool categories = vocabulary == TVocabulary::Categories;
    TSortedStringList entries;
    entries.Assign(categories ? contacts.Categories() : contacts.Keywords());
    const qsizetype before = entries.Count();
    for (const TCheckListItem &item : items)
        if (item.Checked && !item.Text.trimmed().isEmpty())
            entries.Add(item.Text);
    if (entries.Count() == before)
        return;
    if (categories)
        contacts.SetCategories(entries.Entries());
    else
        contacts.SetKeywords(entries.Entries());
}

void ApplyStoredVocabularies(const TQorRegistryEnhanced &registry, const QString &defFilesPath,
                             TQorContacts &contacts)
{
    for (const TVocabulary vocabulary : {TVocabulary::Categories, TVocabulary::Keywords})
        AddCheckedEntries(contacts, vocabulary, StoredCheckList(registry, vocabulary, defFilesPath));
}

} // namespace cardolin
