#pragma once

// Short constructors for the column tables of the layouts.

#include "formats/CsvLayout.h"

namespace cardolin::csvcolumns {

using C = TContactData;
using Member = QString C::*;

inline CsvColumn Skip(QStringView name)
{
    CsvColumn c;
    c.name = name.toString();
    return c;
}

inline CsvColumn Make(QStringView name, CsvOut out, CsvIn in, Member field = nullptr)
{
    CsvColumn c = Skip(name);
    c.out = out;
    c.in = in;
    c.text = c.target = field;
    return c;
}

inline CsvColumn Text(QStringView name, Member field)
{
    return Make(name, CsvOut::Text, CsvIn::Text, field);
}

inline CsvColumn Street(QStringView name, Member field)
{
    return Make(name, CsvOut::Street, CsvIn::Street, field);
}

inline CsvColumn Notes(QStringView name, CsvOut out = CsvOut::Notes)
{
    return Make(name, out, CsvIn::Notes);
}

inline CsvColumn Const(QStringView name, QStringView text)
{
    CsvColumn c = Make(name, CsvOut::Const, CsvIn::None);
    c.arg = text;
    return c;
}

inline CsvColumn Date(QStringView name, TDateTime C::*field, QStringView unset = {}, CsvIn in = CsvIn::Date)
{
    CsvColumn c = Make(name, CsvOut::Date, in);
    c.date = field;
    c.arg = unset;
    return c;
}

inline CsvColumn IsoDate(QStringView name, TDateTime C::*field)
{
    CsvColumn c = Date(name, field, {}, CsvIn::IsoDate);
    c.out = CsvOut::IsoDate;
    return c;
}

inline CsvColumn List(QStringView name, TSortedStringList C::*field, QStringView separator)
{
    CsvColumn c = Make(name, CsvOut::List, CsvIn::List);
    c.list = field;
    c.arg = separator;
    return c;
}

// The first non-empty of the fields; read back into the first unless told otherwise.
inline CsvColumn FirstOf(QStringView name, Member a, Member b, Member d)
{
    CsvColumn c = Make(name, CsvOut::FirstOf, CsvIn::Text, a);
    c.text2 = b;
    c.text3 = d;
    return c;
}

inline CsvColumn Computed(QStringView name, QString (*compute)(const TQorContacts &, const C &, const CsvColumn &))
{
    CsvColumn c = Make(name, CsvOut::Computed, CsvIn::None);
    c.compute = compute;
    return c;
}

inline CsvColumn Custom(CsvColumn c, void (*assign)(CsvRecord &, qsizetype))
{
    c.in = CsvIn::Custom;
    c.assign = assign;
    return c;
}

// What every layout states first: its importer's name, its separator, the
// encoding it is written in and how its data columns are quoted.
inline CsvLayout NewLayout(const char *importer, QChar separator, CsvEncoding encoding, CsvQuote dataQuote,
                           bool quotedHeader)
{
    CsvLayout l;
    l.errorContext = QString::fromLatin1(importer);
    l.separator = QString(separator);
    l.encoding = encoding;
    l.dataQuote = dataQuote;
    l.quotedHeader = quotedHeader;
    return l;
}

// Builds a layout once, on first use.
template <CsvLayout (*Build)()> const CsvLayout &BuiltOnce()
{
    static const CsvLayout layout = Build();
    return layout;
}

// Helpers that several layouts compute their columns with.
QString PreferredMobile(const TQorContacts &contacts, const C &contact, const CsvColumn &);
QString PreferredEmail(const TQorContacts &contacts, const C &contact, const CsvColumn &);
QString DisplayName(const TQorContacts &contacts, const C &contact, const CsvColumn &);

} // namespace cardolin::csvcolumns
