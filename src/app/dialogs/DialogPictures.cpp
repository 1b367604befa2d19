#include "app/dialogs/DialogPictures.h"

#include "app/WidgetPictures.h"

#include "app/dialogs/ContactPropertiesBox.h"
#include "app/dialogs/ContactPropertiesPages.h"
#include "app/dialogs/DialNumberBox.h"
#include "app/dialogs/PostalAddressBox.h"
#include "platform/DesktopServices.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QThread>

#include <cstdio>

namespace cardolin::app {

namespace {

using namespace Qt::StringLiterals;

void FillSample(TQorContacts &contacts, TContactData &c)
{
    c.Title = u"Dr."_s;
    c.FirstName = u"Ann"_s;
    c.MiddleName = u"Marie"_s;
    c.LastName = u"Lee"_s;
    c.Initials = u"A.M.L."_s;
    c.Nickname = u"Annie"_s;
    c.Preferred = u"Work"_s;
    c.Language = u"English"_s;
    c.LastVisit = DateToSerial(QDate(2024, 3, 14));
    c.VisitCount = 3;
    c.Company = u"Acme Research"_s;
    c.Department = u"Optics"_s;
    c.JobTitle = u"Principal Engineer"_s;
    c.WorkStreet = u"Building 4;1 Main Street"_s;
    c.WorkCity = u"Springfield"_s;
    c.WorkPostalCode = u"62701"_s;
    c.WorkStateProvince = u"IL"_s;
    c.WorkCountryRegion = u"United States"_s;
    c.WorkPhone = u"+1 (217) 5550100 x 12"_s;
    c.WorkMobilePhone = u"+1 (217) 5550199"_s;
    c.WorkEmail = u"ann.lee@acme.example"_s;
    c.WorkWebsite = u"http://www.acme.example/"_s;
    c.HomeStreet = u"12 rue de la Paix"_s;
    c.HomeCity = u"Paris"_s;
    c.HomePostalCode = u"75002"_s;
    c.HomeCountryRegion = u"France"_s;
    c.HomePhone = u"+33 (1) 23456789"_s;
    c.PersonalEmail = u"ann@home.example"_s;
    c.Gender = u"Female"_s;
    c.Birthday = DateToSerial(QDate(1980, 6, 2));
    c.SignificantOther = u"Sam"_s;
    c.OtherCity = u"Lyon"_s;
    c.OtherCountryRegion = u"France"_s;
    c.Notes = {u"Met at the optics fair."_s, u"Slides: http://www.acme.example/talk"_s, u"Skype: ann.lee"_s};
    c.Categories.Assign({u"Coworkers"_s, u"Friends"_s});
    c.Keywords.Assign({u"Obsolete"_s});
    contacts.SetKeywords({u"Obsolete"_s, u"Optics"_s, u"Speaker"_s});
    c.Priority = u"High"_s;
    c.Created = DateTimeToSerial(QDateTime(QDate(2023, 1, 5), QTime(9, 30), Qt::UTC));
    c.Modified = DateTimeToSerial(QDateTime(QDate(2024, 3, 14), QTime(17, 2, 45), Qt::UTC));
    c.Accessed = c.Modified;
}


} // namespace

int SaveContactDialogPictures(const QString &folder)
{
    QDir().mkpath(folder);
    const QDir dir(folder);
    int failures = 0;
    TQorContacts contacts;
    const QFont desktop = QApplication::font();
    contacts.SetFont({desktop.family(), desktop.pointSize() > 0 ? desktop.pointSize() : 9});
    contacts.SetFontNotes(contacts.Font());
    contacts.SetMapsProvider(mpGoogle);
    TContactData *contact = contacts.CreateContactData();
    FillSample(contacts, *contact);
    platform::NoDesktopServices desktopServices;

    TQorContactsPropertiesBox box(contacts, desktopServices);
    box.Load(*contact, true, {});
    box.show();
    auto *pages = box.findChild<QTabWidget *>(u"PageControl1"_s);
    const char *names[] = {"contact", "work", "personal", "other", "notes", "attributes"};
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        failures += !SaveWidgetPicture(box, dir.filePath(u"contact-properties-%1.png"_s.arg(QLatin1StringView(names[page]))));
    }
    // Properties: the same contact, only to be read.
    box.Load(*contact, false, {});
    pages->setCurrentIndex(1);
    failures += !SaveWidgetPicture(box, dir.filePath(u"contact-properties-view.png"_s));
    box.hide();

    TQorContactsDialNumberBox dial(&box);
    dial.setWindowTitle(ContactPropertiesPages::tr(LocationPages()[0].phones[0].dialCaption));
    dial.SetParts(FormatDialNumber(contact->WorkPhone, contact->WorkCountryRegion).parts);
    dial.show();
    failures += !SaveWidgetPicture(dial, dir.filePath(u"dial-number.png"_s));
    dial.hide();

    TQorContactsPostalAddressBox address(&box);
    address.setWindowTitle(ContactPropertiesPages::tr(LocationPages()[0].dialogCaption));
    address.SetFields({contact->WorkStreet, contact->WorkPOBox, contact->WorkCity, contact->WorkPostalCode,
                       contact->WorkStateProvince, contact->WorkCountryRegion});
    address.show();
    failures += !SaveWidgetPicture(address, dir.filePath(u"postal-address.png"_s));
    return failures;
}

} // namespace cardolin::app
