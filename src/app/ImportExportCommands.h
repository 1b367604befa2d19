#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QMenu;
class QWidget;

namespace cardolin {
struct CsvPreview;
class TQorContacts;
class TQorRegistryEnhanced;
class UserPrompts;
} // namespace cardolin

namespace cardolin::app {

class MainWindow;

// Which records an export takes.
enum TExportScope { esAll, esAuto, esNone, esSelected, esVisible };

// Where the file dialogs of the main window start, kept until the account changes.
struct TDialogMemory
{
    QString ImportFileName;
    QString ExportFileName;
    QString Folder;
};

// The Import and Export menus and the files dropped on the main window: each
// entry asks for a file or folder, hands it to the collection, and brings the
// list, Apply and the error report up to date.
class ImportExportCommands : public QObject
{
    Q_OBJECT
public:
    ImportExportCommands(MainWindow &window, TQorContacts &contacts, TQorRegistryEnhanced &registry,
                         UserPrompts &prompts, QWidget *menuParent);

    QMenu *ImportPopupMenu() const { return m_importMenu; }
    QMenu *ExportPopupMenu() const { return m_exportMenu; }

    // The dialogs; tests put their own. Empty answers mean the user cancelled.
    // filters are the entries of the type list, selected the one preselected.
    using FileQuestion =
        std::function<QString(const QString &folder, const QStringList &filters, int selected, const QString &suffix)>;
    FileQuestion AskOpenFileName;
    FileQuestion AskSaveFileName;
    std::function<QString(const QString &folder)> AskFolder;
    // The fields a CSV file of no known layout fills, one per column, starting
    // from a proposal; false when the user cancelled.
    std::function<bool(const CsvPreview &preview, QStringList &fields)> AskColumnMapping;

    int SetExportScope(TQorContacts &contacts, TExportScope scope);
    // Imports the dropped files, in order; others are skipped.
    void QorFileDrag1Drop(const QStringList &paths);

private:
    using Operation = int (TQorContacts::*)(const QString &);
    struct ImportEntry;
    struct ExportEntry;
    void BuildMenus();
    void ImportFile(const ImportEntry &entry);
    void ImportFolder(const ImportEntry &entry);
    void ExportFile(const ExportEntry &entry);
    void ExportFolder(const ExportEntry &entry);
    // Runs an import into the book: the clear question, the rows of the new
    // records, Apply; undoable as one step.
    void RunImport(bool askToClear, const std::function<void()> &import);
    void ImportContactFile(const QString &path);
    // A CSV file, through the user's choice of columns when no layout reads
    // it; false when the user cancelled that choice.
    bool ImportCSVWithMapping(const QString &path, bool askToClear);
    void ShowExported(const ExportEntry &entry, int count);
    QString FileFolder(const QString &rememberedFile) const;
    QString ChosenFolder();

    MainWindow &m_window;
    TQorContacts &m_contacts;
    TQorRegistryEnhanced &m_registry;
    UserPrompts &m_prompts;
    QMenu *m_importMenu;
    QMenu *m_exportMenu;
};

} // namespace cardolin::app
