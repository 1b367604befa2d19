#pragma once

#include <QList>
#include <QStringList>

#include <optional>

namespace cardolin {

class TQorContacts;
class TQorRegistryEnhanced;

// What the user chose for a CSV file that no layout recognises: for each column
// of its header, the contact field it fills (a field name of ContactFields(),
// empty to leave the column out).
struct CsvColumnMapping
{
    QString separator;
    QStringList columns; // the header's names, as the file writes them
    QStringList fields;  // one per column
};

// Whether a layout reads the file, by its exact header or by its column names;
// when none does, the user maps the columns.
bool IsCSVLayoutRecognised(const QString &FileName);

// What choosing a mapping needs to see of a file: its separator (the one of
// ",", ";" and tab that splits the header into most names), the header's names
// and the first records, each as its fields.
struct CsvPreview
{
    QString separator;
    QStringList columns;
    QList<QStringList> records;
};
CsvPreview PreviewCSVFile(const QString &path, int records = 5);

// The fields a column can fill: texts, dates, the notes and the two lists.
QStringList MappableContactFields();

// Imports the file as the layouts' importers do, each column into its field
// (the first non-empty column wins where several fill one field). The number of
// contacts added; 0 after "The file header is not the expected one." when the
// mapping fills neither a name nor an e-mail address.
int ImportCSVFileWithMapping(TQorContacts &contacts, const QString &path, const CsvColumnMapping &mapping);

// Mappings are remembered per header: a later file with the same separator and
// column names (compared as detection compares them) gets the same fields.
bool RememberCSVColumnMapping(TQorRegistryEnhanced &settings, const CsvColumnMapping &mapping);
std::optional<CsvColumnMapping> RememberedCSVColumnMapping(const TQorRegistryEnhanced &settings,
                                                           const QString &separator, const QStringList &columns);

} // namespace cardolin
