#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace cardolin::vcard {

// One property of a card as written, after unfolding: names and parameters
// in upper case, the value still encoded.
struct Property
{
    QString group; // "item1" of "item1.EMAIL", lower case
    QString name;
    QStringList types; // TYPE= values and the bare type words of version 2.1
    QHash<QString, QString> params; // every other parameter, the last one winning
    QString encoding; // "QUOTED-PRINTABLE", "BASE64" or empty
    bool pref = false;
    QString value;

    bool Is(QLatin1StringView type) const { return types.contains(type); }
    QString Param(const char *param) const { return params.value(QLatin1StringView(param)); }
};

// A card cut into properties; lines after "END:VCARD" are not read.
struct Card
{
    QString version; // "2.1" when the card names none
    QList<Property> properties;

    bool Escaped() const { return version != QLatin1StringView("2.1"); }
};

// Cuts the lines of one card, from "BEGIN:VCARD" on, into properties. Folded
// lines, quoted-printable soft line breaks and the raw continuation lines of
// version 2.1 are joined to their property; values are bounded in length.
Card ParseCard(const QList<QStringView> &lines);

// True for a line that starts a property ("item1.TEL;TYPE=CELL:+1 555"), false
// for a folded line and for the plain continuation lines of older writers.
bool StartsProperty(QStringView line);

// The decoded text of a value: quoted-printable or base64 with its charset,
// then, for versions 3.0 and 4.0, the backslash escapes.
QString Text(const Card &card, const Property &property);

// The value cut at separator, each piece decoded as Text does; escaped
// separators stay inside their piece.
QStringList Pieces(const Card &card, const Property &property, QChar separator = u';');

// True for the properties that hold binary data: photos, logos, sounds, keys.
bool IsBinary(const Property &property);

} // namespace cardolin::vcard
