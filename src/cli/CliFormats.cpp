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

template <CsvOperation Export> bool ExportCsv(TQorContacts &contacts, const QString &path, CliPrompts &prompts)
{
    const int errorsBefore = prompts.ErrorCount();
    (contacts.*Export)(path);
    return prompts.ErrorCount() == errorsBefore;
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
           ImportCsv<&C::ImportFromWindowsContactsCSVFile>, ExportCsv<&C::ExportToWindowsContactsCSVFile>},
    Format{W("outlook-csv"),            true,  true,  {},
           ImportCsv<&C::ImportFromOutlookCSVFile>, ExportCsv<&C::ExportToOutlookCSVFile>},
    Format{W("outlook-french-csv"),     true,  true,  {},
           ImportCsv<&C::ImportFromOutlookFrenchCSVFile>, ExportCsv<&C::ExportToOutlookFrenchCSVFile>},
    Format{W("google-csv"),             true,  true,  {},
           ImportCsv<&C::ImportFromGoogleCSVFile>, ExportCsv<&C::ExportToGoogleCSVFile>},
    Format{W("google-deprecated-csv"),  true,  true,  {},
           ImportCsv<&C::ImportFromGoogleDeprecatedCSVFile>, ExportCsv<&C::ExportToGoogleDeprecatedCSVFile>},
    Format{W("nokia-csv"),              true,  true,  {},
           ImportCsv<&C::ImportFromNokiaCSVFile>, ExportCsv<&C::ExportToNokiaCSVFile>},
    Format{W("yahoo-csv"),              true,  true,  {},
           ImportCsv<&C::ImportFromYahooCSVFile>, ExportCsv<&C::ExportToYahooCSVFile>},
    Format{W("blackberry-csv"),         true,  true,  {},
           ImportCsv<&C::ImportFromBlackBerryCSVFile>, ExportCsv<&C::ExportToBlackBerryCSVFile>},
    Format{W("vcard"),                       true,  true,  W("vcf"),  nullptr,    nullptr},
    Format{W("vcard-folder"),                true,  true,  {},        nullptr,    nullptr},
    Format{W("ldif"),                        true,  true,  W("ldif"), nullptr,    nullptr},
    Format{W("ldif-folder"),                 true,  true,  {},        nullptr,    nullptr},
    Format{W("windows-contacts-folder"),     true,  false, {},        nullptr,    nullptr},
    Format{W("kml"),                         false, true,  W("kml"),  nullptr,    nullptr},
    Format{W("batchgeo-csv"),                false, true,  {},        nullptr,    nullptr},
    Format{W("zeemaps-csv"),                 false, true,  {},        nullptr,    nullptr},
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
