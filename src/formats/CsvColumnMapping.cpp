// Reading a CSV file through a mapping the user chose, and remembering it.

#include "formats/CsvColumnMapping.h"

#include "contacts/ContactFields.h"
#include "contacts/QorContacts.h"
#include "formats/CsvColumns.h"
#include "formats/CsvFile.h"
#include "formats/CsvText.h"
#include "support/QorRegistryEnhanced.h"

#include <QCryptographicHash>

namespace cardolin {

using namespace csvcolumns;

namespace {

const QString kMappingsKey = QStringLiteral("CSV Column Mappings");
const QChar kFieldSeparator = QLatin1Char('|');

bool IsMappable(const ContactField &field)
{
    if (IsCoordinateOrAccountField(field) || field.name == QLatin1StringView("Preferred")
        || field.name == QLatin1StringView("LastVisit"))
        return false;
    return field.kind == FieldKind::Text || field.kind == FieldKind::Date || field.kind == FieldKind::Lines
           || field.kind == FieldKind::SortedList;
}

// The column that reads a file's column into the field.
CsvColumn ColumnFor(const QString &name, const ContactField *field)
{
    if (!field || !IsMappable(*field))
        return Skip(name);
    switch (field->kind) {
    case FieldKind::Date:
        return Date(name, std::get<TDateTime C::*>(field->member));
    case FieldKind::Lines:
        return Notes(name);
    case FieldKind::SortedList:
        return List(name, std::get<TSortedStringList C::*>(field->member), u";");
    default:
        break;
    }
    const Member member = std::get<QString C::*>(field->member);
    if (field->name.endsWith(QLatin1StringView("Street")))
        return Street(name, member);
    return Text(name, member).Importing(CsvIn::TextIfEmpty);
}

CsvLayout LayoutOf(const CsvColumnMapping &mapping)
{
    CsvLayout l = NewLayout("ImportFromCSVFile", mapping.separator.isEmpty() ? QLatin1Char(',') : mapping.separator.front(), CsvEncoding::Utf8,
                            CsvQuote::IfContains, false);
    l.byName = true;
    l.mergeVocabulary = true;
    l.lineRole = AnyRecordLine;
    for (qsizetype i = 0; i < mapping.columns.size(); ++i)
        l.columns.push_back(ColumnFor(mapping.columns[i], FindContactField(mapping.fields.value(i))));
    return l;
}

QString HeaderKey(const QString &separator, const QStringList &columns)
{
    QStringList names;
    for (const QString &column : columns)
        names.append(QString(column).remove(QLatin1Char('"')).trimmed().toCaseFolded());
    const QByteArray digest = QCryptographicHash::hash((separator + QChar(0) + names.join(QChar(0))).toUtf8(),
                                                       QCryptographicHash::Sha1);
    return kMappingsKey + QLatin1Char('\\') + QString::fromLatin1(digest.toHex());
}

// At most the limit's number of fields, so that a crafted line stays cheap to show.
QStringList PreviewFields(QStringView record, const QString &separator)
{
    std::vector<QStringView> views;
    SplitCSVFieldViews(record, separator, views);
    QStringList fields;
    fields.reserve(qsizetype(views.size()));
    for (QStringView view : views)
        fields.append(view.toString());
    return fields;
}

} // namespace

CsvPreview PreviewCSVFile(const QString &path, int records)
{
    // Only the first records are read, and none past the readers' limits.
    QString error;
    const CsvRecordTexts lines =
        AssembleCSVText(ReadCSVText(path, error), AnyRecordLine, TQorContacts(), {}, qsizetype(records) + 1);
    CsvPreview preview;
    const QStringView header = lines.isEmpty() ? QStringView() : lines[0];
    for (QString separator : {QStringLiteral(","), QStringLiteral(";"), QStringLiteral("\t")}) {
        const QStringList names = PreviewFields(header, separator);
        if (preview.separator.isEmpty() || names.size() > preview.columns.size()) {
            preview.separator = separator;
            preview.columns = names;
        }
    }
    for (QString &name : preview.columns)
        name = UnquoteCSVField(name.trimmed());
    for (qsizetype i = 1; i < lines.size() && preview.records.size() < records; ++i) {
        QStringList fields = PreviewFields(lines[i], preview.separator);
        for (QString &field : fields)
            field = UnquoteCSVField(field).replace(kLineJoinMarker, QLatin1Char('\n'));
        preview.records.append(fields);
    }
    return preview;
}

QStringList MappableContactFields()
{
    QStringList names;
    for (const ContactField &field : ContactFields())
        if (IsMappable(field))
            names.append(field.name);
    return names;
}

int ImportCSVFileWithMapping(TQorContacts &contacts, const QString &path, const CsvColumnMapping &mapping)
{
    return ImportCSVLayout(contacts, path, LayoutOf(mapping));
}

bool RememberCSVColumnMapping(TQorRegistryEnhanced &settings, const CsvColumnMapping &mapping)
{
    const QString key = HeaderKey(mapping.separator, mapping.columns);
    return settings.SetValue(key + QStringLiteral("\\Header"), mapping.columns.join(mapping.separator))
           && settings.SetValue(key + QStringLiteral("\\Fields"), mapping.fields.join(kFieldSeparator));
}

std::optional<CsvColumnMapping> RememberedCSVColumnMapping(const TQorRegistryEnhanced &settings,
                                                           const QString &separator, const QStringList &columns)
{
    const QVariant fields = settings.GetValue(HeaderKey(separator, columns) + QStringLiteral("\\Fields"));
    if (!fields.isValid())
        return std::nullopt;
    CsvColumnMapping mapping{separator, columns, fields.toString().split(kFieldSeparator)};
    // A mapping stored for another number of columns is of no use.
    if (mapping.fields.size() != columns.size())
        return std::nullopt;
    return mapping;
}

} // namespace cardolin
