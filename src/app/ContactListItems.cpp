#include "app/ContactListItems.h"

#include "app/listview/ListItemsModel.h"
#include "contacts/QorContacts.h"
#include "contacts/SerialDate.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace cardolin::app {

using namespace Qt::Literals::StringLiterals;

namespace {


void LinkGenderToTitle(TContactData &contact)
{
    if (contact.Gender != u"Unspecified"_s)
        return;
    if (contact.Title == u"Miss"_s || contact.Title == u"Mrs."_s || contact.Title == u"Ms."_s)
        contact.Gender = u"Female"_s;
    else if (contact.Title == u"Mr."_s)
        contact.Gender = u"Male"_s;
}

// Gender first, then the category that says what the contact is; a row whose
// rules all fail keeps the picture it had.
int RowIcon(const TContactData &contact, const QString &caption, const QString &categories, int previous)
{
    if (contact.Gender == u"Male"_s)
        return riMan;
    if (contact.Gender == u"Female"_s)
        return riWoman;
    struct Rule
    {
        QLatin1StringView category;
        TRowIcon icon;
    };
    static constexpr Rule kRules[] = {
        {"Hotels"_L1, riHotel}, {"Restaurants"_L1, riRestaurant}, {"Wine"_L1, riWine},  {"Taxi"_L1, riTaxi},
        {"Doctors"_L1, riDoctor}, {"Medical"_L1, riDoctor},       {"Shops"_L1, riShop},
    };
    for (const Rule &rule : kRules)
        if (categories.contains(rule.category))
            return rule.icon;
    if (categories.contains("Companies"_L1) || (!contact.Company.isEmpty() && caption.startsWith(contact.Company)))
        return riCompany;
    if (categories.contains("Starred"_L1))
        return riStarred;
    if (contact.Gender == u"Unspecified"_s)
        return riPerson;
    return previous;
}

struct TRowLook
{
    QColor Color;
    QString ToolTip;
};

TRowLook RowLook(const QString &categories, const QString &keywords, const TRowColors &colors)
{
    // Shared by every row of their kind, so a large book holds each text once.
    static const QString retired = QCoreApplication::translate("ContactList", "Retired or obsolete contact");
    static const QString other = QCoreApplication::translate("ContactList", "Not in the \"Contacts\" category");
    if (categories.contains("Retired"_L1) || keywords.contains("Obsolete"_L1))
        return {colors.Retired, retired};
    if (categories.contains("Contacts"_L1))
        return {colors.Contact, {}};
    return {colors.Other, other};
}

double Luminance(const QColor &color)
{
    const auto linear = [](float channel) {
        return channel <= 0.04045f ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

constexpr double kReadableContrast = 4.5;

// The colour itself when it reads on base; else made lighter (on a dark
// base) or darker, keeping its hue, just far enough.
QColor Readable(const QColor &color, const QColor &base)
{
    if (ContrastRatio(color, base) >= kReadableContrast)
        return color;
    const QColor from = color.toHsl();
    const float toward = Luminance(base) < 0.18 ? 1.0f : 0.0f;
    constexpr int kSteps = 50;
    QColor moved = from;
    for (int step = 1; step <= kSteps; ++step) {
        const float lightness = from.lightnessF() + (toward - from.lightnessF()) * float(step) / kSteps;
        moved = QColor::fromHslF(from.hslHueF(), from.hslSaturationF(), lightness);
        if (ContrastRatio(moved, base) >= kReadableContrast)
            break;
    }
    return moved.toRgb();
}

QIcon PaintedIcon(const QColor &color, QChar glyph, bool square)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    if (square)
        painter.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
    else
        painter.drawEllipse(QRectF(1, 1, 14, 14));
    QFont font = painter.font();
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString(glyph));
    return QIcon(pixmap);
}

} // namespace

const QStringList &ContactListCaptions()
{
    static const QStringList captions = {
        u"Display Name"_s, u"Company"_s,    u"Work Phone"_s,      u"Work Mobile Phone"_s, u"Work E-mail"_s,
        u"Home Phone"_s,   u"Personal Mobile Phone"_s, u"Personal E-mail"_s, u"Categories"_s,
        u"Keywords"_s,     u"Priority"_s,   u"Sensitivity"_s,     u"Last Visit"_s,
    };
    return captions;
}

const QList<int> &ContactListWidths()
{
    static const QList<int> widths = {250, 200, 150, 150, 200, 150, 150, 200, 150, 150, 100, 100, 150};
    return widths;
}

QList<QIcon> ContactRowIcons()
{
    // People are round, places and trades square; the letter says which.
    return {
        PaintedIcon(QColor(0x80, 0x80, 0x80), u'?', false), PaintedIcon(QColor(0x2b, 0x6c, 0xb0), u'M', false),
        PaintedIcon(QColor(0xb0, 0x3a, 0x7a), u'F', false), PaintedIcon(QColor(0xd0, 0x6a, 0x1c), u'R', true),
        PaintedIcon(QColor(0x7a, 0x1f, 0x3d), u'W', true),  PaintedIcon(QColor(0x1f, 0x7a, 0x6b), u'H', true),
        PaintedIcon(QColor(0xc9, 0xa2, 0x00), u'T', true),  PaintedIcon(QColor(0xc0, 0x20, 0x20), u'+', true),
        PaintedIcon(QColor(0x5a, 0x8f, 0x29), u'S', true),  PaintedIcon(QColor(0xe0, 0xb0, 0x00), u'*', false),
        PaintedIcon(QColor(0x40, 0x50, 0x60), u'C', true),
    };
}

double ContrastRatio(const QColor &a, const QColor &b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TRowColors RowColorsOf(const QPalette &palette)
{
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    const QColor text = palette.color(QPalette::Active, QPalette::Text);
    return {Readable(palette.color(QPalette::Disabled, QPalette::Text), base), text,
            Readable(palette.color(QPalette::Active, QPalette::Highlight), base)};
}

TRowColors RowColorsFromPalette()
{
    return RowColorsOf(QApplication::palette());
}

void BuildListItem(TListItem &AListItem, TContactData *AContactData, const TQorContacts &contacts,
                   bool linkGenderToTitle, const TRowColors &colors)
{
    TContactData &contact = *AContactData;
    QString caption = contacts.GetDisplayNameFromContactData(AContactData, dtInherited);
    if (caption.isEmpty())
        caption = contact.Company;
    const QString categories = contacts.GetCategoriesAsStringFromContactData(AContactData);
    const QString keywords = contacts.GetKeywordsAsStringFromContactData(AContactData);
    AListItem.Texts = {caption,
                       contact.Company,
                       contact.WorkPhone,
                       contact.WorkMobilePhone,
                       contact.WorkEmail,
                       contact.HomePhone,
                       contact.PersonalMobilePhone,
                       contact.PersonalEmail,
                       categories,
                       keywords,
                       contact.Priority,
                       contact.Sensitivity,
                       contact.LastVisit == 0 ? QString() : SerialToIsoDate(contact.LastVisit)};
    if (linkGenderToTitle)
        LinkGenderToTitle(contact);
    AListItem.ImageIndex = RowIcon(contact, caption, categories, AListItem.ImageIndex);
    TRowLook look = RowLook(categories, keywords, colors);
    AListItem.TextColor = std::move(look.Color);
    AListItem.ToolTip = std::move(look.ToolTip);
    AListItem.Data = AContactData;
}

} // namespace cardolin::app
