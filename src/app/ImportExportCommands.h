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
    // start is a folder, or the file proposed in it; filters are the entries
    // of the type list, selected the one preselected.
    using FileQuestion =
        std::function<QString(const QString &start, const QStringList &filters, int selected, const QString &suffix)>;
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
    // What an import reads, for the message when it gives nothing.
    struct ImportSource
    {
        QString path;
        QString format; // as the menu names it
    };
    void BuildMenus();
    void ImportFile(const ImportEntry &entry);
    void ImportFolder(const ImportEntry &entry);
    void ExportFile(const ExportEntry &entry);
    void ExportFolder(const ExportEntry &entry);
    // Runs an import into the book, undoable as one step. The clear question
    // comes first; the book is cleared, and changed at all, only when the
    // import gave contacts, else the user is told. False when the user
    // cancelled at the question.
    bool RunImport(const ImportSource &source, bool askToClear, const std::function<void()> &import);
    void ImportContactFile(const QString &path);
    // A CSV file, through the user's choice of columns when no layout reads
    // it; false when the user cancelled that choice or the clear question.
    bool ImportCSVWithMapping(const ImportSource &source, bool askToClear);
    // Runs an export into a file or folder and says what was written, unless
    // it failed and said why.
    void RunExport(const ExportEntry &entry, const QString &target);
    // count of chosen contacts were written.
    void ShowExported(const ExportEntry &entry, int count, int chosen);
    // The file a save dialog proposes: the book's name with the extension.
    QString SuggestedFile(const QString &folder, const char *extension) const;
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
