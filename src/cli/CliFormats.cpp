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

bool ImportVCard(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    return RequireFile(path, prompts) && (contacts.ImportFromvCardFile(path), true);
}

bool ExportVCard(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    const int errorsBefore = prompts.ErrorCount();
    contacts.ExportTovCardFile(path);
    return prompts.ErrorCount() == errorsBefore;
}

bool ImportVCardFolder(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    return RequireFolder(path, prompts) && (contacts.ImportFromvCardFolder(path), true);
}

bool ExportVCardFolder(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    return RequireFolder(path, prompts) && contacts.ExportTovCardFolder(path) == ExportableCount(contacts);
}

bool ImportLdif(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    return RequireFile(path, prompts) && (contacts.ImportFromLDIFFile(path), true);
}

bool ExportLdif(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    const int errorsBefore = prompts.ErrorCount();
    contacts.ExportToLDIFFile(path);
    return prompts.ErrorCount() == errorsBefore;
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

// Map exports fail only when the file cannot be saved, which shows an error.
template<int (TQorContacts::*Export)(const QString &)>
bool ExportMap(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    const int errorsBefore = prompts.ErrorCount();
    (contacts.*Export)(path);
    return prompts.ErrorCount() == errorsBefore;
}

constexpr QLatin1StringView W(const char *text)
{
    return QLatin1StringView(text);
}

// clang-format off
const std::array kFormats{
    //     word                              import export extension  importer    exporter
    Format{W("qcb"),                         true,  true,  W("qcb"),  ImportBook, ExportBook},
    Format{W("csv"),                         true,  false, W("csv"),  nullptr,    nullptr},
    Format{W("windows-contacts-csv"),        true,  true,  {},        nullptr,    nullptr},
    Format{W("outlook-csv"),                 true,  true,  {},        nullptr,    nullptr},
    Format{W("outlook-french-csv"),          true,  true,  {},        nullptr,    nullptr},
    Format{W("google-csv"),                  true,  true,  {},        nullptr,    nullptr},
    Format{W("google-deprecated-csv"),       true,  true,  {},        nullptr,    nullptr},
    Format{W("nokia-csv"),                   true,  true,  {},        nullptr,    nullptr},
    Format{W("yahoo-csv"),                   true,  true,  {},        nullptr,    nullptr},
    Format{W("blackberry-csv"),              true,  true,  {},        nullptr,    nullptr},
    Format{W("vcard"),                       true,  true,  W("vcf"),  ImportVCard, ExportVCard},
    Format{W("vcard-folder"),                true,  true,  {},        ImportVCardFolder, ExportVCardFolder},
    Format{W("ldif"),                        true,  true,  W("ldif"), ImportLdif, ExportLdif},
    Format{W("ldif-folder"),                 true,  true,  {},        ImportLdifFolder, ExportLdifFolder},
    Format{W("windows-contacts-folder"),     true,  false, {},        ImportWindowsContactsFolder, nullptr},
    Format{W("kml"),                         false, true,  W("kml"),  nullptr,    ExportMap<&TQorContacts::ExportToGoogleEarthKMLFile>},
    Format{W("batchgeo-csv"),                false, true,  {},        nullptr,    ExportMap<&TQorContacts::ExportToBatchGeoCSVFile>},
    Format{W("zeemaps-csv"),                 false, true,  {},        nullptr,    ExportMap<&TQorContacts::ExportToZeeMapsCSVFile>},
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
