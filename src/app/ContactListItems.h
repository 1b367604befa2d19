#pragma once

#include <QColor>
#include <QIcon>
#include <QList>
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
struct TRowColors
{
    QColor Retired;
    QColor Contact;
    QColor Other;
    bool operator==(const TRowColors &) const = default;
};
TRowColors RowColorsFromPalette();

// Fills a row from its record. linkGenderToTitle lets a title such as "Mrs."
// set an unspecified gender on the record itself (Apply is not enabled for it).
void BuildListItem(TListItem &AListItem, TContactData *AContactData, const TQorContacts &contacts,
                   bool linkGenderToTitle, const TRowColors &colors);

} // namespace cardolin::app
