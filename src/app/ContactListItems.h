#pragma once

#include <QColor>
#include <QIcon>
#include <QList>
#include <QPalette>
#include <QStringList>

namespace cardolin {
class TQorContacts;
struct TContactData;
} // namespace cardolin

namespace cardolin::app {

struct TListItem;

// The row pictures, in the order their indexes are stored.
enum TRowIcon { riPerson, riMan, riWoman, riRestaurant, riWine, riHotel, riTaxi, riDoctor, riShop, riStarred, riCompany };

// Columns of the contact list: captions and designed widths.
const QStringList &ContactListCaptions();
const QList<int> &ContactListWidths();

// The eleven row pictures, indexed by TRowIcon.
QList<QIcon> ContactRowIcons();

// Text colours of a row: grey for retired or obsolete contacts, the normal
// text colour for those in "Contacts", the highlight colour for the rest.
// A row in another colour than the text says why in its tooltip.
struct TRowColors
{
    QColor Retired;
    QColor Contact;
    QColor Other;
    bool operator==(const TRowColors &) const = default;
};
// From the palette, each made readable on its base colour: a dark theme's
// highlight is often too dark to be read as text.
TRowColors RowColorsOf(const QPalette &palette);
TRowColors RowColorsFromPalette();

// The contrast ratio of two colours as the accessibility guidelines measure
// it: 1 (none) to 21 (black on white).
double ContrastRatio(const QColor &a, const QColor &b);

// Fills a row from its record. linkGenderToTitle lets a title such as "Mrs."
// set an unspecified gender on the record itself (Apply is not enabled for it).
void BuildListItem(TListItem &AListItem, TContactData *AContactData, const TQorContacts &contacts,
                   bool linkGenderToTitle, const TRowColors &colors);

} // namespace cardolin::app
