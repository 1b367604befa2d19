#pragma once

// Lets GoogleTest print Qt values readably in failure messages. Included into
// every test source by the build.

#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *out)
{
    *out << '[';
    for (qsizetype i = 0; i < list.size(); ++i)
        *out << (i ? ", " : "") << '"' << list[i].toStdString() << '"';
    *out << ']';
}
