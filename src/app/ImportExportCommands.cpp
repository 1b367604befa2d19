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

#include <QFileInfo>
#include <QMenu>

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

void ImportExportCommands::RunImport(bool askToClear, const std::function<void()> &import)
{
    TUndoRecording recording(m_window.Commands().History(), m_contacts, tr("Import"));
    if (askToClear && !m_contacts.ContactDataList().empty() && m_prompts.AskYesNo(kClearQuestion))
        m_contacts.ClearContactDataList();
    const size_t first = m_contacts.ContactDataList().size();
    {
        BusyCursor busy(m_prompts);
        import();
    }
    // Initials that came with the records are worked out again from the names;
    // records that came without keep none.
    const bool computeInitials = ReadBoolSetting(m_registry, SettingId::ComputeInitialsAutomatically);
    const TContactDataList &records = m_contacts.ContactDataList();
    for (size_t i = first; i < records.size(); ++i) {
        TContactData *record = records[i].get();
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
    if (entry.target == Target::CsvFile && !ImportCSVWithMapping(path, true))
        return;
    if (entry.target != Target::CsvFile)
        RunImport(true, [&contacts = m_contacts, &entry, &path] { (contacts.*entry.operation)(path); });
    m_window.ShowErrorReport();
}

bool ImportExportCommands::ImportCSVWithMapping(const QString &path, bool askToClear)
{
    const CsvPreview preview = IsCSVLayoutRecognised(path) ? CsvPreview{} : PreviewCSVFile(path);
    // A known layout, or nothing to map (the import then says what is wrong).
    if (preview.columns.isEmpty()) {
        RunImport(askToClear, [&contacts = m_contacts, &path] { contacts.ImportFromCSVFile(path); });
        return true;
    }
    CsvColumnMapping mapping{preview.separator, preview.columns, {}};
    if (const auto remembered = RememberedCSVColumnMapping(m_registry, preview.separator, preview.columns))
        mapping.fields = remembered->fields;
    else
        mapping.fields = ColumnMappingDialog::GuessFields(preview.columns);
    if (!AskColumnMapping(preview, mapping.fields))
        return false;
    RememberCSVColumnMapping(m_registry, mapping);
    RunImport(askToClear, [&contacts = m_contacts, &path, &mapping] {
        ImportCSVFileWithMapping(contacts, path, mapping);
    });
    return true;
}

void ImportExportCommands::ImportFolder(const ImportEntry &entry)
{
    const QString folder = ChosenFolder();
    if (folder.isEmpty())
        return;
    RunImport(true, [&contacts = m_contacts, &entry, &folder] { (contacts.*entry.operation)(folder); });
}

// ---- exports ---------------------------------------------------------------

void ImportExportCommands::ExportFile(const ExportEntry &entry)
{
    QString &remembered = m_window.DialogMemory().ExportFileName;
    const QString path =
        AskSaveFileName(FileFolder(remembered), ExportFilters(), entry.filter - 1, QLatin1StringView(entry.extension));
    if (path.isEmpty())
        return;
    remembered = path;
    SetExportScope(m_contacts, esAuto);
    const bool geocodes = entry.operation == &C::ExportToGoogleEarthKMLFile;
    const int previousTag = m_contacts.Tag();
    int count = 0;
    {
        BusyCursor busy(m_prompts);
        count = (m_contacts.*entry.operation)(path);
    }
    ShowExported(entry, count);
    if (geocodes) {
        // New coordinates changed records, which only Apply keeps.
        if (m_contacts.Tag() > 0)
            m_window.SetModified(true);
        m_contacts.SetTag(previousTag);
    }
}

void ImportExportCommands::ExportFolder(const ExportEntry &entry)
{
    const QString folder = ChosenFolder();
    if (folder.isEmpty())
        return;
    SetExportScope(m_contacts, esAuto);
    int count = 0;
    {
        BusyCursor busy(m_prompts);
        count = (m_contacts.*entry.operation)(folder);
    }
    ShowExported(entry, count);
}

void ImportExportCommands::ShowExported(const ExportEntry &entry, int count)
{
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
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString path = platform::ResolveShortcut(paths.at(i));
        if (path.isEmpty() || !QFileInfo(path).isFile())
            continue; // folders and links to nothing
        const QString extension = QFileInfo(path).suffix().toLower();
        if (extension == "contact"_L1) {
            ImportContactFile(path);
            continue;
        }
        Operation operation = nullptr;
        if (extension == "csv"_L1)
            operation = &C::ImportFromCSVFile;
        else if (extension == "ldif"_L1)
            operation = &C::ImportFromLDIFFile;
        else if (extension == "vcf"_L1)
            operation = &C::ImportFromvCardFile;
        if (!operation)
            continue;
        m_window.DialogMemory().ImportFileName = path;
        m_window.ErrorList().clear();
        // One question for a drop of several files, before the first; a single
        // file never asks.
        const bool askToClear = i == 0 && paths.size() > 1;
        if (operation == &C::ImportFromCSVFile)
            ImportCSVWithMapping(path, askToClear);
        else
            RunImport(askToClear, [&contacts = m_contacts, operation, &path] { (contacts.*operation)(path); });
        m_window.ShowErrorReport();
    }
}

void ImportExportCommands::ImportContactFile(const QString &path)
{
    RunImport(false, [this, &path] {
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
