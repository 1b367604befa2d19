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

// The preferred mobile, read into the work or the personal field by the company.
CsvColumn CompanyMobile(QStringView name);
// The first pager written, read like the mobile.
CsvColumn CompanyPager(QStringView name);
CsvColumn AnyFax(QStringView name);
CsvColumn AnyWebsite(QStringView name);

// The three locations' postal addresses.
inline const CsvAddress kWorkAddress{&C::WorkStreet,     &C::WorkPOBox,         &C::WorkCity, &C::WorkStateProvince,
                                     &C::WorkPostalCode, &C::WorkCountryRegion, u"Work"};
inline const CsvAddress kHomeAddress{&C::HomeStreet,     &C::HomePOBox,         &C::HomeCity, &C::HomeStateProvince,
                                     &C::HomePostalCode, &C::HomeCountryRegion, u"Personal"};
inline const CsvAddress kOtherAddress{&C::OtherStreet,     &C::OtherPOBox,         &C::OtherCity,
                                      &C::OtherStateProvince, &C::OtherPostalCode, &C::OtherCountryRegion, u"Other"};

// The telephone fields with the labels Google gives them, in the order the
// numbered telephone columns take them.
struct Phone
{
    Member field;
    QStringView label;
};
inline constexpr Phone kPhones[] = {
    {&C::WorkPhone, u"Work"},     {&C::WorkMobilePhone, u"Work Mobile"}, {&C::HomePhone, u"Home"},
    {&C::PersonalMobilePhone, u"Mobile"}, {&C::OtherPhone, u"Other"}, {&C::OtherMobilePhone, u"Other Mobile"},
    {&C::WorkFax, u"Work Fax"},   {&C::WorkPager, u"Work Pager"},        {&C::HomeFax, u"Home Fax"},
    {&C::PersonalPager, u"Pager"}, {&C::OtherFax, u"Other Fax"},         {&C::OtherPager, u"Other Pager"},
};
// Label and number of the contact's telephone number `column.index`, counting set ones only.
QString PhoneLabel(const TQorContacts &, const C &c, const CsvColumn &column);
QString PhoneNumber(const TQorContacts &, const C &c, const CsvColumn &column);

} // namespace cardolin::csvcolumns
