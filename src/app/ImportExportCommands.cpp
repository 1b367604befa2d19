#include "app/ImportExportCommands.h"

#include "app/ColumnMappingDialog.h"
#include "app/ContactCommands.h"
#include "app/FileDialogs.h"
#include "app/MainWindow.h"
#include "contacts/ContactUndo.h"
#include "contacts/QorContacts.h"
#include "formats/CsvColumnMapping.h"
#include "platform/ShortcutLinks.h"
#include "support/QorRegistryEnhanced.h"
#include "support/SettingsTable.h"
#include "support/UserPrompts.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include <algorithm>

namespace cardolin::app {

using namespace Qt::Literals::StringLiterals;

namespace {

enum class Target { CsvFile, LdifFile, VCardFile, Folder };

const QString kClearQuestion = u"Do you want to clear the current contacts book before importing new contacts?"_s;

QStringList ImportFilters()
{
    return {u"CSV files (*.csv)"_s, u"LDIF files (*.ldif)"_s, u"vCard files (*.vcf)"_s, u"All files (*)"_s};
}

QStringList ExportFilters()
{
    return {u"CSV files (*.csv)"_s, u"LDIF files (*.ldif)"_s, u"vCard files (*.vcf)"_s, u"KML files (*.kml)"_s,
            u"All files (*)"_s};
}

// Stands in for the collection's prompts while one of its operations runs, to
// tell whether it reported an error: an import or export that failed returns
// 0, as one that had nothing to do.
class ErrorWatch final : public UserPrompts
{
public:
    explicit ErrorWatch(TQorContacts &contacts) : m_contacts(contacts), m_inner(contacts.Prompts())
    {
        contacts.SetPrompts(*this);
    }
    ~ErrorWatch() override { m_contacts.SetPrompts(m_inner); }
    ErrorWatch(const ErrorWatch &) = delete;
    ErrorWatch &operator=(const ErrorWatch &) = delete;

    bool ErrorShown() const { return m_errors > 0; }

    void ShowError(const QString &message) override
    {
        ++m_errors;
        m_inner.ShowError(message);
    }
    void ShowWarning(const QString &message) override { m_inner.ShowWarning(message); }
    void ShowInformation(const QString &message) override { m_inner.ShowInformation(message); }
    bool AskYesNo(const QString &message) override { return m_inner.AskYesNo(message); }
    Answer AskYesNoToAll(const QString &message) override { return m_inner.AskYesNoToAll(message); }
    Choice AskYesNoCancel(const QString &message, const QString &detail, Choice preselected) override
    {
        return m_inner.AskYesNoCancel(message, detail, preselected);
    }
    bool InputText(const QString &caption, const QString &prompt, QString &value) override
    {
        return m_inner.InputText(caption, prompt, value);
    }
    void OfferInputText(const QString &value) override { m_inner.OfferInputText(value); }
    bool InputSignInCode(const QString &caption, const SignInPage &page, QString &code) override
    {
        return m_inner.InputSignInCode(caption, page, code);
    }
    void BeginBusy() override { m_inner.BeginBusy(); }
    void EndBusy() override { m_inner.EndBusy(); }

private:
    TQorContacts &m_contacts;
    UserPrompts &m_inner;
    int m_errors = 0;
};

} // namespace

struct ImportExportCommands::ImportEntry
{
    const char *name;
    const char *caption;
    Target target;
    Operation operation;
};

struct ImportExportCommands::ExportEntry
{
    const char *name;
    const char *caption;
    int filter; // 1-based entry of the type list; 0 for a folder
    const char *extension;
    Operation operation;
    bool successfully; // whether the message says so
};

namespace {
using C = TQorContacts;
} // namespace

ImportExportCommands::ImportExportCommands(MainWindow &window, TQorContacts &contacts, TQorRegistryEnhanced &registry,
                                           UserPrompts &prompts, QWidget *menuParent)
    : QObject(menuParent), m_window(window), m_contacts(contacts), m_registry(registry), m_prompts(prompts),
      m_importMenu(new QMenu(menuParent)), m_exportMenu(new QMenu(menuParent))
{
    m_importMenu->setObjectName(u"ImportPopupMenu"_s);
    m_exportMenu->setObjectName(u"ExportPopupMenu"_s);
    AskOpenFileName = [menuParent](const QString &folder, const QStringList &filters, int selected,
                                   const QString &suffix) {
        return AskOpenFile(menuParent, folder, filters, selected, suffix);
    };
    AskSaveFileName = [menuParent](const QString &folder, const QStringList &filters, int selected,
                                   const QString &suffix) {
        return AskSaveFile(menuParent, folder, filters, selected, suffix);
    };
    AskFolder = [menuParent](const QString &folder) { return app::AskFolder(menuParent, folder); };
    AskColumnMapping = [menuParent](const CsvPreview &preview, QStringList &fields) {
        ColumnMappingDialog dialog(preview, fields, menuParent);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        fields = dialog.Fields();
        return true;
    };
    BuildMenus();
}

void ImportExportCommands::BuildMenus()
{
    // The CSV entries all read through the same recognition of the layout.
    static const ImportEntry imports[] = {
        {"ImportBlackBerryCSVFile", "BlackBerry (CSV File)", Target::CsvFile, &C::ImportFromCSVFile},
        {"ImportGoogleCSVFile", "Google (CSV File)", Target::CsvFile, &C::ImportFromCSVFile},
        {"ImportGoogleContactsCSVFile", "Google Contacts (CSV File)", Target::CsvFile, &C::ImportFromCSVFile},
        {"ImportLDIFFile", "LDIF (LDIF File)", Target::LdifFile, &C::ImportFromLDIFFile},
        {"ImportLDIFFolder", "LDIF (Folder)", Target::Folder, &C::ImportFromLDIFFolder},
        {"ImportNokiaCSVFile", "Nokia (CSV File)", Target::CsvFile, &C::ImportFromCSVFile},
        {"ImportOutlookCSVFile", "Outlook (CSV File)", Target::CsvFile, &C::ImportFromCSVFile},
        {"ImportOutlookFrenchCSVFile", "Outlook French (CSV File)", Target::CsvFile, &C::ImportFromCSVFile},
        {"ImportThunderbirdCSVFile", "Thunderbird (CSV File)", Target::CsvFile, &C::ImportFromCSVFile},
        {"ImportvCardFile", "vCard (VCF File)", Target::VCardFile, &C::ImportFromvCardFile},
        {"ImportvCardFolder", "vCard (Folder)", Target::Folder, &C::ImportFromvCardFolder},
        {"ImportWindowsContactsCSVFile", "Windows Contacts (CSV File)", Target::CsvFile, &C::ImportFromCSVFile},
        {"ImportWindowsContactsFolder", "Windows Contacts (Folder)", Target::Folder,
         &C::ImportFromWindowsContactsFolder},
        {"ImportYahooCSVFile", "Yahoo! (CSV File)", Target::CsvFile, &C::ImportFromCSVFile},
    };
    static const ExportEntry exports[] = {
        {"ExportToBatchGeoCSVFile", "BatchGeo (CSV File)", 1, "csv", &C::ExportToBatchGeoCSVFile, false},
        {"ExportToBlackBerryCSVFile", "BlackBerry (CSV File)", 1, "csv", &C::ExportToBlackBerryCSVFile, true},
        {"ExportToGoogleCSVFile", "Google (CSV File)", 1, "csv", &C::ExportToGoogleCSVFile, true},
        {"ExportToGoogleContactsCSVFile", "Google Contacts (CSV File)", 1, "csv", &C::ExportToGoogleContactsCSVFile,
         true},
        {"ExportToGoogleEarthKMLFile", "Google Earth (KML File)", 4, "kml", &C::ExportToGoogleEarthKMLFile, true},
        {"ExportToLDIFFile", "LDIF (LDIF File)", 2, "ldif", &C::ExportToLDIFFile, true},
        {"ExportLDIFFolder", "LDIF (Folder)", 0, "", &C::ExportToLDIFFolder, true},
        {"ExportToNokiaCSVFile", "Nokia (CSV File)", 1, "csv", &C::ExportToNokiaCSVFile, true},
        {"ExportToOutlookCSVFile", "Outlook (CSV File)", 1, "csv", &C::ExportToOutlookCSVFile, true},
        {"ExportToOutlookFrenchCSVFile", "Outlook French (CSV File)", 1, "csv", &C::ExportToOutlookFrenchCSVFile, true},
        {"ExportToThunderbirdCSVFile", "Thunderbird (CSV File)", 1, "csv", &C::ExportToThunderbirdCSVFile, true},
        {"ExportTovCardFile", "vCard (VCF File)", 3, "vcf", &C::ExportTovCardFile, true},
        {"ExportTovCardFolder", "vCard (Folder)", 0, "", &C::ExportTovCardFolder, true},
        {"ExportTovCard3File", "vCard 3.0 file (other address books)", 3, "vcf", &C::ExportTovCard3File, true},
        {"ExportToWindowsContactsCSVFile", "Windows Contacts (CSV File)", 1, "csv",
         &C::ExportToWindowsContactsCSVFile, true},
        {"ExportToYahooCSVFile", "Yahoo! (CSV File)", 1, "csv", &C::ExportToYahooCSVFile, true},
        {"ExportToZeeMapsCSVFile", "ZeeMaps (CSV File)", 1, "csv", &C::ExportToZeeMapsCSVFile, true},
    };
    for (const ImportEntry &entry : imports) {
        QAction *action = m_importMenu->addAction(tr(entry.caption));
        action->setObjectName(QLatin1StringView(entry.name));
        connect(action, &QAction::triggered, this, [this, &entry] {
            entry.target == Target::Folder ? ImportFolder(entry) : ImportFile(entry);
        });
    }
    for (const ExportEntry &entry : exports) {
        QAction *action = m_exportMenu->addAction(tr(entry.caption));
        action->setObjectName(QLatin1StringView(entry.name));
        connect(action, &QAction::triggered, this,
                [this, &entry] { entry.filter == 0 ? ExportFolder(entry) : ExportFile(entry); });
    }
}

// ---- dialogs ---------------------------------------------------------------

QString ImportExportCommands::FileFolder(const QString &rememberedFile) const
{
    return rememberedFile.isEmpty() ? m_window.SelectedAccountBookFolder() : QFileInfo(rememberedFile).absolutePath();
}

QString ImportExportCommands::ChosenFolder()
{
    QString &remembered = m_window.DialogMemory().Folder;
    const QString folder = AskFolder(remembered.isEmpty() ? m_window.SelectedAccountBookFolder() : remembered);
    if (!folder.isEmpty())
        remembered = folder;
    return folder;
}

// ---- imports ---------------------------------------------------------------

bool ImportExportCommands::RunImport(const ImportSource &source, bool askToClear, const std::function<void()> &import)
{
    bool clear = false;
    if (askToClear && !m_contacts.ContactDataList().empty()) {
        // No keeps the book, the safer answer for Enter; Cancel imports nothing.
        const auto choice = m_prompts.AskYesNoCancel(kClearQuestion, QString(), UserPrompts::Choice::No);
        if (choice == UserPrompts::Choice::Cancel)
            return false;
        clear = choice == UserPrompts::Choice::Yes;
    }
    TUndoRecording recording(m_window.Commands().History(), m_contacts, tr("Import"));
    const size_t first = m_contacts.ContactDataList().size();
    bool errorShown = false;
    {
        BusyCursor busy(m_prompts);
        const ErrorWatch watch(m_contacts);
        import();
        errorShown = watch.ErrorShown();
    }
    const TContactDataList &records = m_contacts.ContactDataList();
    if (records.size() == first) {
        // The book stays as it was; an import that failed on its own has said why.
        if (!errorShown)
            m_prompts.ShowError(u"No contact could be read from \"%1\" as %2."_s.arg(source.path, source.format));
        return true;
    }
    std::vector<TContactData *> added, earlier;
    for (size_t i = 0; i < records.size(); ++i)
        (i < first ? earlier : added).push_back(records[i].get());
    if (clear)
        m_contacts.DeleteContactDataList(earlier);
    // Initials that came with the records are worked out again from the names;
    // records that came without keep none.
    const bool computeInitials = ReadBoolSetting(m_registry, SettingId::ComputeInitialsAutomatically);
    for (TContactData *record : added) {
        if (computeInitials && !record->Initials.isEmpty())
            record->Initials = m_contacts.ComputeInitialsFromContactData(record);
        recording.Step().Added(record);
    }
    const std::vector<TContactData *> touched = recording.Step().Records();
    recording.Commit();
    m_window.SyncRows(touched, true);
    m_window.SetModified(true);
    m_window.UpdateStatus();
    m_window.UpdateUndoActions();
    return true;
}

void ImportExportCommands::ImportFile(const ImportEntry &entry)
{
    const int selected = entry.target == Target::CsvFile ? 0 : entry.target == Target::LdifFile ? 1 : 2;
    QString &remembered = m_window.DialogMemory().ImportFileName;
    const QString path = AskOpenFileName(FileFolder(remembered), ImportFilters(), selected,
                                         QStringList{u"csv"_s, u"ldif"_s, u"vcf"_s}.at(selected));
    if (path.isEmpty())
        return;
    remembered = path;
    m_window.ErrorList().clear();
    const ImportSource source{path, tr(entry.caption)};
    if (entry.target == Target::CsvFile && !ImportCSVWithMapping(source, true))
        return;
    if (entry.target != Target::CsvFile)
        RunImport(source, true, [&contacts = m_contacts, &entry, &path] { (contacts.*entry.operation)(path); });
    m_window.ShowErrorReport();
}

bool ImportExportCommands::ImportCSVWithMapping(const ImportSource &source, bool askToClear)
{
    const QString &path = source.path;
    const CsvPreview preview = IsCSVLayoutRecognised(path) ? CsvPreview{} : PreviewCSVFile(path);
    // A known layout, or nothing to map (the import then says what is wrong).
    if (preview.columns.isEmpty())
        return RunImport(source, askToClear, [&contacts = m_contacts, &path] { contacts.ImportFromCSVFile(path); });
    CsvColumnMapping mapping{preview.separator, preview.columns, {}};
    if (const auto remembered = RememberedCSVColumnMapping(m_registry, preview.separator, preview.columns))
        mapping.fields = remembered->fields;
    else
        mapping.fields = ColumnMappingDialog::GuessFields(preview.columns);
    if (!AskColumnMapping(preview, mapping.fields))
        return false;
    RememberCSVColumnMapping(m_registry, mapping);
    return RunImport(source, askToClear, [&contacts = m_contacts, &path, &mapping] {
        ImportCSVFileWithMapping(contacts, path, mapping);
    });
}

void ImportExportCommands::ImportFolder(const ImportEntry &entry)
{
    const QString folder = ChosenFolder();
    if (folder.isEmpty())
        return;
    m_window.ErrorList().clear();
    // The files that gave no contact go to the report by name.
    const TErrorEvent windowEvent = m_contacts.OnError;
    m_contacts.OnError = [this](TQorContacts *, const QString &file, const QString &, const QString &text, int) {
        m_window.ErrorList().append(u"\"%1\": %2"_s.arg(file, text));
    };
    RunImport({folder, tr(entry.caption)}, true,
              [&contacts = m_contacts, &entry, &folder] { (contacts.*entry.operation)(folder); });
    m_contacts.OnError = windowEvent;
    m_window.ShowErrorReport();
}

// ---- exports ---------------------------------------------------------------

QString ImportExportCommands::SuggestedFile(const QString &folder, const char *extension) const
{
    // The book's name, as its file is named after the account.
    QString name = m_window.Session().LoadedWindowsUserAccount();
    if (name.isEmpty())
        name = u"Contacts"_s;
    const QString file = name + u'.' + QLatin1StringView(extension);
    return folder.isEmpty() ? file : QDir(folder).filePath(file);
}

void ImportExportCommands::ExportFile(const ExportEntry &entry)
{
    QString &remembered = m_window.DialogMemory().ExportFileName;
    const QString path = AskSaveFileName(SuggestedFile(FileFolder(remembered), entry.extension), ExportFilters(),
                                         entry.filter - 1, QLatin1StringView(entry.extension));
    if (path.isEmpty())
        return;
    remembered = path;
    RunExport(entry, path);
}

void ImportExportCommands::ExportFolder(const ExportEntry &entry)
{
    const QString folder = ChosenFolder();
    if (folder.isEmpty())
        return;
    RunExport(entry, folder);
}

void ImportExportCommands::RunExport(const ExportEntry &entry, const QString &target)
{
    const int chosen = SetExportScope(m_contacts, esAuto);
    const bool geocodes = entry.operation == &C::ExportToGoogleEarthKMLFile;
    const int previousTag = m_contacts.Tag();
    int count = 0;
    bool errorShown = false;
    {
        BusyCursor busy(m_prompts);
        const ErrorWatch watch(m_contacts);
        count = (m_contacts.*entry.operation)(target);
        errorShown = watch.ErrorShown();
    }
    // A file that could not be saved, or files of a folder, have been named
    // with the reason; a count after that would read as success.
    if (!errorShown || (count > 0 && entry.filter != 0))
        ShowExported(entry, count, geocodes ? chosen : count);
    if (geocodes) {
        // New coordinates changed records, which only Apply keeps.
        if (m_contacts.Tag() > 0)
            m_window.SetModified(true);
        m_contacts.SetTag(previousTag);
    }
}

void ImportExportCommands::ShowExported(const ExportEntry &entry, int count, int chosen)
{
    // Only a map export leaves contacts out: those without coordinates.
    if (count < chosen) {
        m_prompts.ShowInformation(
            u"%1 of %2 contacts were exported; the others have no coordinates."_s.arg(count).arg(chosen));
        return;
    }
    m_prompts.ShowInformation(QString::number(count) + (entry.successfully
                                                            ? u" contacts have been exported successfully."_s
                                                            : u" contacts have been exported."_s));
}

int ImportExportCommands::SetExportScope(TQorContacts &contacts, TExportScope scope)
{
    if (scope == esAuto)
        scope = m_window.SelectedContacts().size() < 2 ? esVisible : esSelected;
    const bool all = scope == esAll;
    for (const auto &record : contacts.ContactDataList())
        record->Exportable = all;
    if (all)
        return int(contacts.ContactDataList().size());
    if (scope == esNone)
        return 0;
    const std::vector<TContactData *> chosen =
        scope == esSelected ? m_window.SelectedContacts() : m_window.ListedContacts();
    for (TContactData *record : chosen)
        record->Exportable = true;
    return int(chosen.size());
}

// ---- dropped files ---------------------------------------------------------

void ImportExportCommands::QorFileDrag1Drop(const QStringList &paths)
{
    struct Dropped
    {
        QLatin1StringView extension;
        Operation operation;
        const char *format;
    };
    static const Dropped kinds[] = {
        {"csv"_L1, &C::ImportFromCSVFile, "CSV File"},
        {"ldif"_L1, &C::ImportFromLDIFFile, "LDIF (LDIF File)"},
        {"vcf"_L1, &C::ImportFromvCardFile, "vCard (VCF File)"},
    };
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString path = platform::ResolveShortcut(paths.at(i));
        if (path.isEmpty() || !QFileInfo(path).isFile())
            continue; // folders and links to nothing
        const QString extension = QFileInfo(path).suffix().toLower();
        if (extension == "contact"_L1) {
            ImportContactFile(path);
            continue;
        }
        const auto kind = std::find_if(std::begin(kinds), std::end(kinds),
                                       [&extension](const Dropped &d) { return d.extension == extension; });
        if (kind == std::end(kinds))
            continue;
        m_window.DialogMemory().ImportFileName = path;
        m_window.ErrorList().clear();
        // One question for a drop of several files, before the first; a single
        // file never asks. Cancel there drops them all.
        const bool askToClear = i == 0 && paths.size() > 1;
        const ImportSource source{path, tr(kind->format)};
        const Operation operation = kind->operation;
        const bool went = operation == &C::ImportFromCSVFile
                              ? ImportCSVWithMapping(source, askToClear)
                              : RunImport(source, askToClear,
                                          [&contacts = m_contacts, operation, &path] { (contacts.*operation)(path); });
        if (!went && askToClear)
            return;
        m_window.ShowErrorReport();
    }
}

void ImportExportCommands::ImportContactFile(const QString &path)
{
    RunImport({path, tr("Windows Contacts (Contact File)")}, false, [this, &path] {
        // Read into a record of its own, so a file that is not one leaves nothing.
        TContactData *record = m_contacts.CreateContactData();
        if (!m_contacts.ReadContactDataFromWindowsContactsFile(record, path)) {
            m_contacts.TakeContactDataList({record});
            return;
        }
        if (ReadBoolSetting(m_registry, SettingId::ComputeInitialsAutomatically))
            record->Initials = m_contacts.ComputeInitialsFromContactData(record);
    });
}

} // namespace cardolin::app
