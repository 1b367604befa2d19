// The collection's CSV operations: each hands its layout to the shared importer
// or exporter.

#include "contacts/QorContacts.h"
#include "formats/CsvFile.h"
#include "formats/CsvLayouts.h"
#include "support/UserPrompts.h"

namespace cardolin {

namespace {

using ImportOperation = int (TQorContacts::*)(const QString &);

struct Detectable
{
    const CsvLayout &(*layout)();
    ImportOperation import;
};

// Order matters where one header could begin another.
const Detectable kDetectionOrder[] = {
    {BlackBerryCsvLayout, &TQorContacts::ImportFromBlackBerryCSVFile},
    {GoogleCsvLayout, &TQorContacts::ImportFromGoogleCSVFile},
    {GoogleDeprecatedCsvLayout, &TQorContacts::ImportFromGoogleDeprecatedCSVFile},
    {NokiaCsvLayout, &TQorContacts::ImportFromNokiaCSVFile},
    {OutlookCsvLayout, &TQorContacts::ImportFromOutlookCSVFile},
    {OutlookFrenchCsvLayout, &TQorContacts::ImportFromOutlookFrenchCSVFile},
    {YahooCsvLayout, &TQorContacts::ImportFromYahooCSVFile},
    {WindowsContactsCsvLayout, &TQorContacts::ImportFromWindowsContactsCSVFile},
    {GoogleContactsCsvLayout, &TQorContacts::ImportFromGoogleContactsCSVFile},
    {ThunderbirdCsvLayout, &TQorContacts::ImportFromThunderbirdCSVFile},
};

// The layout that knows most of the header's names, among those that know a
// name or e-mail column; the earlier one on a tie.
const CsvLayout *LayoutByColumnNames(const QString &firstLine)
{
    const CsvLayout *best = nullptr;
    int known = 0;
    for (const Detectable &candidate : kDetectionOrder) {
        const CsvHeaderMatch match = MatchCSVHeader(candidate.layout(), firstLine);
        if (match.identifies && match.known > known) {
            best = &candidate.layout();
            known = match.known;
        }
    }
    return best;
}

} // namespace

namespace {

const Detectable *ExactLayoutOf(const QString &firstLine)
{
    for (const Detectable &candidate : kDetectionOrder)
        if (firstLine.startsWith(candidate.layout().Header()))
            return &candidate;
    return nullptr;
}

} // namespace

bool IsCSVLayoutRecognised(const QString &FileName)
{
    const QString firstLine = ReadCSVFirstLine(FileName);
    return ExactLayoutOf(firstLine) || (!firstLine.isEmpty() && LayoutByColumnNames(firstLine));
}

int TQorContacts::ImportFromCSVFile(const QString &FileName)
{
    const QString firstLine = ReadCSVFirstLine(FileName);
    if (const Detectable *candidate = ExactLayoutOf(firstLine))
        return (this->*candidate->import)(FileName);
    if (const CsvLayout *layout = firstLine.isEmpty() ? nullptr : LayoutByColumnNames(firstLine))
        return ImportCSVLayout(*this, FileName, *layout, CsvMatch::ByName);
    Prompts().ShowError(QStringLiteral("The file header is not supported."));
    return 0;
}

int TQorContacts::ImportFromWindowsContactsCSVFile(const QString &FileName)
{
    return ImportCSVLayout(*this, FileName, WindowsContactsCsvLayout());
}

int TQorContacts::ExportToWindowsContactsCSVFile(const QString &FileName)
{
    return ExportCSVLayout(*this, FileName, WindowsContactsCsvLayout());
}

int TQorContacts::ImportFromOutlookCSVFile(const QString &FileName)
{
    return ImportCSVLayout(*this, FileName, OutlookCsvLayout());
}

int TQorContacts::ExportToOutlookCSVFile(const QString &FileName)
{
    return ExportCSVLayout(*this, FileName, OutlookCsvLayout());
}

int TQorContacts::ImportFromOutlookFrenchCSVFile(const QString &FileName)
{
    return ImportCSVLayout(*this, FileName, OutlookFrenchCsvLayout());
}

int TQorContacts::ExportToOutlookFrenchCSVFile(const QString &FileName)
{
    return ExportCSVLayout(*this, FileName, OutlookFrenchCsvLayout());
}

int TQorContacts::ImportFromGoogleCSVFile(const QString &FileName)
{
    return ImportCSVLayout(*this, FileName, GoogleCsvLayout());
}

int TQorContacts::ExportToGoogleCSVFile(const QString &FileName)
{
    return ExportCSVLayout(*this, FileName, GoogleCsvLayout());
}

int TQorContacts::ImportFromGoogleDeprecatedCSVFile(const QString &FileName)
{
    return ImportCSVLayout(*this, FileName, GoogleDeprecatedCsvLayout());
}

int TQorContacts::ExportToGoogleDeprecatedCSVFile(const QString &FileName)
{
    return ExportCSVLayout(*this, FileName, GoogleDeprecatedCsvLayout());
}

int TQorContacts::ImportFromNokiaCSVFile(const QString &FileName)
{
    return ImportCSVLayout(*this, FileName, NokiaCsvLayout());
}

int TQorContacts::ExportToNokiaCSVFile(const QString &FileName)
{
    return ExportCSVLayout(*this, FileName, NokiaCsvLayout());
}

int TQorContacts::ImportFromYahooCSVFile(const QString &FileName)
{
    return ImportCSVLayout(*this, FileName, YahooCsvLayout());
}

int TQorContacts::ExportToYahooCSVFile(const QString &FileName)
{
    return ExportCSVLayout(*this, FileName, YahooCsvLayout());
}

int TQorContacts::ImportFromBlackBerryCSVFile(const QString &FileName)
{
    return ImportCSVLayout(*this, FileName, BlackBerryCsvLayout());
}

int TQorContacts::ExportToBlackBerryCSVFile(const QString &FileName)
{
    return ExportCSVLayout(*this, FileName, BlackBerryCsvLayout());
}

int TQorContacts::ImportFromGoogleContactsCSVFile(const QString &FileName)
{
    return ImportCSVLayout(*this, FileName, GoogleContactsCsvLayout());
}

int TQorContacts::ExportToGoogleContactsCSVFile(const QString &FileName)
{
    return ExportCSVLayout(*this, FileName, GoogleContactsCsvLayout());
}

int TQorContacts::ImportFromThunderbirdCSVFile(const QString &FileName)
{
    return ImportCSVLayout(*this, FileName, ThunderbirdCsvLayout());
}

int TQorContacts::ExportToThunderbirdCSVFile(const QString &FileName)
{
    return ExportCSVLayout(*this, FileName, ThunderbirdCsvLayout());
}

} // namespace cardolin
