#include "cli/CliFormats.h"

#include "cli/CliPrompts.h"
#include "contacts/QorContacts.h"

#include <QFileInfo>

#include <array>

namespace cardolin::cli {

namespace {

bool ImportBook(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    if (QFileInfo(path).isDir()) {
        prompts.ShowError(QStringLiteral("\"%1\" is a folder, not a contacts book.").arg(path));
        return false;
    }
    contacts.LoadFromXMLFile(path);
    if (!contacts.LastError().isEmpty()) {
        prompts.ShowError(contacts.LastError());
        return false;
    }
    return true;
}

bool ExportBook(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    // An empty book also saves as 0 records, so only a shown error tells failure.
    const int errorsBefore = prompts.ErrorCount();
    contacts.SaveToXMLFile(path);
    return prompts.ErrorCount() == errorsBefore;
}

using CsvOperation = int (TQorContacts::*)(const QString &);

// Rejected records reach the session through OnError and set the exit status;
// only another error (an unknown header, say) makes the file itself a failure.
template <CsvOperation Import> bool ImportCsv(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    const int errorsBefore = prompts.ErrorCount();
    int rejected = 0;
    const TErrorEvent session = contacts.OnError;
    contacts.OnError = [&](TQorContacts *sender, const QString &context, const QString &type, const QString &text,
                           int count) {
        ++rejected;
        if (session)
            session(sender, context, type, text, count);
    };
    (contacts.*Import)(path);
    contacts.OnError = session;
    return prompts.ErrorCount() - errorsBefore <= (rejected > 0 ? 1 : 0);
}

bool RequireFile(const QString &path, CliPrompts &prompts)
{
    if (QFileInfo(path).isFile())
        return true;
    prompts.ShowError(QStringLiteral("Cannot open \"%1\".").arg(path));
    return false;
}

bool RequireFolder(const QString &path, CliPrompts &prompts)
{
    if (QFileInfo(path).isDir())
        return true;
    prompts.ShowError(QStringLiteral("\"%1\" is not a folder.").arg(path));
    return false;
}

int ExportableCount(const TQorContacts &contacts)
{
    int count = 0;
    for (const auto &contact : contacts.ContactDataList())
        count += contact->Exportable ? 1 : 0;
    return count;
}

// These exports fail only when the file cannot be saved, and the vCard and LDIF
// imports only when the file is past the readers' bounds; both show an error.
template <CsvOperation Export> bool ExportFile(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    const int errorsBefore = prompts.ErrorCount();
    (contacts.*Export)(path);
    return prompts.ErrorCount() == errorsBefore;
}

bool ImportVCard(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    return RequireFile(path, prompts) && ExportFile<&TQorContacts::ImportFromvCardFile>(contacts, path, prompts);
}


bool ImportVCardFolder(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    return RequireFolder(path, prompts) && (contacts.ImportFromvCardFolder(path), true);
}

bool ExportVCardFolder(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    return RequireFolder(path, prompts) && contacts.ExportTovCardFolder(path) == ExportableCount(contacts);
}

bool ExportVCard3Folder(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    return RequireFolder(path, prompts) && contacts.ExportTovCard3Folder(path) == ExportableCount(contacts);
}

bool ImportLdif(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    return RequireFile(path, prompts) && ExportFile<&TQorContacts::ImportFromLDIFFile>(contacts, path, prompts);
}


bool ImportLdifFolder(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    return RequireFolder(path, prompts) && (contacts.ImportFromLDIFFolder(path), true);
}

bool ExportLdifFolder(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    return RequireFolder(path, prompts) && contacts.ExportToLDIFFolder(path) == ExportableCount(contacts);
}

bool ImportWindowsContactsFolder(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    return RequireFolder(path, prompts)
           && (contacts.ImportFromWindowsContactsFolder(path), true);
}

using C = TQorContacts;

constexpr QLatin1StringView W(const char *text)
{
    return QLatin1StringView(text);
}

// clang-format off
const std::array kFormats{
    //     word                         import export extension  importer / exporter
    Format{W("qcb"),                    true,  true,  W("qcb"),  ImportBook, ExportBook},
    Format{W("csv"),                    true,  false, W("csv"),  ImportCsv<&C::ImportFromCSVFile>, nullptr},
    Format{W("windows-contacts-csv"),   true,  true,  {},
           ImportCsv<&C::ImportFromWindowsContactsCSVFile>, ExportFile<&C::ExportToWindowsContactsCSVFile>},
    Format{W("outlook-csv"),            true,  true,  {},
           ImportCsv<&C::ImportFromOutlookCSVFile>, ExportFile<&C::ExportToOutlookCSVFile>},
    Format{W("outlook-french-csv"),     true,  true,  {},
           ImportCsv<&C::ImportFromOutlookFrenchCSVFile>, ExportFile<&C::ExportToOutlookFrenchCSVFile>},
    Format{W("google-csv"),             true,  true,  {},
           ImportCsv<&C::ImportFromGoogleCSVFile>, ExportFile<&C::ExportToGoogleCSVFile>},
    Format{W("google-deprecated-csv"),  true,  true,  {},
           ImportCsv<&C::ImportFromGoogleDeprecatedCSVFile>, ExportFile<&C::ExportToGoogleDeprecatedCSVFile>},
    Format{W("nokia-csv"),              true,  true,  {},
           ImportCsv<&C::ImportFromNokiaCSVFile>, ExportFile<&C::ExportToNokiaCSVFile>},
    Format{W("yahoo-csv"),              true,  true,  {},
           ImportCsv<&C::ImportFromYahooCSVFile>, ExportFile<&C::ExportToYahooCSVFile>},
    Format{W("blackberry-csv"),         true,  true,  {},
           ImportCsv<&C::ImportFromBlackBerryCSVFile>, ExportFile<&C::ExportToBlackBerryCSVFile>},
    Format{W("google-contacts-csv"),    true,  true,  {},
           ImportCsv<&C::ImportFromGoogleContactsCSVFile>, ExportFile<&C::ExportToGoogleContactsCSVFile>},
    Format{W("thunderbird-csv"),        true,  true,  {},
           ImportCsv<&C::ImportFromThunderbirdCSVFile>, ExportFile<&C::ExportToThunderbirdCSVFile>},
    Format{W("vcard"),                       true,  true,  W("vcf"),  ImportVCard, ExportFile<&C::ExportTovCardFile>},
    Format{W("vcard-folder"),                true,  true,  {},        ImportVCardFolder, ExportVCardFolder},
    Format{W("vcard3"),                      true,  true,  {},        ImportVCard, ExportFile<&C::ExportTovCard3File>},
    Format{W("vcard3-folder"),               true,  true,  {},        ImportVCardFolder, ExportVCard3Folder},
    Format{W("ldif"),                        true,  true,  W("ldif"), ImportLdif, ExportFile<&C::ExportToLDIFFile>},
    Format{W("ldif-folder"),                 true,  true,  {},        ImportLdifFolder, ExportLdifFolder},
    Format{W("windows-contacts-folder"),     true,  false, {},        ImportWindowsContactsFolder, nullptr},
    Format{W("kml"),                         false, true,  W("kml"),  nullptr,    ExportFile<&C::ExportToGoogleEarthKMLFile>},
    Format{W("batchgeo-csv"),                false, true,  {},        nullptr,    ExportFile<&C::ExportToBatchGeoCSVFile>},
    Format{W("zeemaps-csv"),                 false, true,  {},        nullptr,    ExportFile<&C::ExportToZeeMapsCSVFile>},
};
// clang-format on

} // namespace

std::span<const Format> Formats()
{
    return kFormats;
}

const Format *FindFormat(QStringView word)
{
    for (const Format &format : kFormats)
        if (format.word == word)
            return &format;
    return nullptr;
}

const Format *FormatOfPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty())
        return nullptr;
    for (const Format &format : kFormats)
        if (!format.extension.isEmpty() && suffix.compare(format.extension, Qt::CaseInsensitive) == 0)
            return &format;
    return nullptr;
}

const Format &BookFormat()
{
    return kFormats[0];
}

} // namespace cardolin::cli
