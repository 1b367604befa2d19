#pragma once

#include <QCoreApplication>
#include <QString>

#include <array>

class QTabWidget;
class QWidget;

namespace cardolin {
class TQorContacts;
}

namespace cardolin::app {

// One control of a location: its object name, its caption and, for telephone
// boxes, the caption of the dial-number dialog.
struct LocationControl
{
    const char *name;
    const char *caption;
    const char *dialCaption = nullptr;
};

// What differs between the Work, Personal and Other pages.
struct LocationPage
{
    const char *prefix; // of the address controls: "Work", "Home", "Other"
    const char *title;
    std::array<LocationControl, 4> phones;
    std::array<LocationControl, 4> links; // e-mail, IM, website, location
    const char *swapHint;
    const char *editHint;
    const char *mapHint;
    const char *dialogCaption; // of the postal-address dialog
};

const std::array<LocationPage, 3> &LocationPages();

// Builds the six pages of the contact dialog. Controls are found afterwards by
// the object names of the record's fields ("FirstNameEdit", "WorkStateProvinceComboBox").
class ContactPropertiesPages
{
    Q_DECLARE_TR_FUNCTIONS(TQorContactsPropertiesBox)
public:
    static void Build(QTabWidget *pages, const TQorContacts &contacts);

private:
    static QWidget *ContactPage(const TQorContacts &contacts);
    static QWidget *LocationTab(const LocationPage &page);
    static QWidget *NotesPage();
    static QWidget *AttributesPage();
};

} // namespace cardolin::app
