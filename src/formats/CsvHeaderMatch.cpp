// Lines a file's header up with a layout's column names, for files whose columns
// stand in another order or that carry columns the layout does not know.

#include "formats/CsvLayout.h"

#include "formats/CsvText.h"

#include <QHash>

namespace cardolin {

namespace {

using C = TContactData;

QString NormalizedName(QString name)
{
    return name.remove(QLatin1Char('"')).trimmed().toCaseFolded();
}

bool GivesNameOrEmail(const CsvColumn &column)
{
    static const QString C::*const kFields[] = {&C::FirstName,  &C::MiddleName,    &C::LastName,
                                                 &C::WorkEmail,  &C::PersonalEmail, &C::OtherEmail};
    if (column.identifies)
        return true;
    if (column.in == CsvIn::None)
        return false;
    for (auto field : kFields)
        if (column.target == field || column.text == field)
            return true;
    return false;
}

// Each name with the layout's columns that carry it, in column order; names the
// header lists beyond the columns map to -1.
QHash<QString, std::vector<qsizetype>> ColumnsByName(const CsvLayout &layout)
{
    QHash<QString, std::vector<qsizetype>> byName;
    for (qsizetype i = 0; i < qsizetype(layout.columns.size()); ++i) {
        const CsvColumn &column = layout.columns[i];
        for (const QString &name : {column.name, column.alias})
            if (!name.isEmpty())
                byName[NormalizedName(name)].push_back(i);
    }
    for (const QString &name : SplitCSVFields(layout.headerTail, layout.separator))
        if (!name.isEmpty())
            byName[NormalizedName(name)].push_back(-1);
    return byName;
}

} // namespace

CsvHeaderMatch MatchCSVHeader(const CsvLayout &layout, const QString &headerLine)
{
    QHash<QString, std::vector<qsizetype>> byName = ColumnsByName(layout);
    const QStringList names = SplitCSVFields(headerLine, layout.separator);
    CsvHeaderMatch match;
    match.columnOf.assign(layout.columns.size(), -1);
    match.fileColumns = names.size();
    for (qsizetype field = 0; field < names.size(); ++field) {
        const QString name = NormalizedName(names[field]);
        auto found = byName.find(name);
        // Take the first column of that name the file has not used yet.
        qsizetype column = -2;
        if (found != byName.end())
            for (qsizetype &candidate : *found)
                if (candidate == -1 || (candidate >= 0 && match.columnOf[candidate] < 0)) {
                    column = candidate;
                    candidate = candidate >= 0 ? -3 : -1;
                    break;
                }
        if (column == -2) {
            if (!name.isEmpty())
                match.unknown.append(UnquoteCSVField(names[field].trimmed()));
            continue;
        }
        ++match.known;
        if (column < 0)
            continue;
        match.columnOf[column] = field;
        match.identifies = match.identifies || GivesNameOrEmail(layout.columns[column]);
    }
    return match;
}

} // namespace cardolin
