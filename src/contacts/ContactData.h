#pragma once

#include "contacts/SerialDate.h"
#include "contacts/SortedStringList.h"

#include <QByteArray>
#include <QFlags>
#include <QString>
#include <QStringList>

namespace cardolin {

enum TContactType { ctDefault, ctGoogle };
enum TQueryType { qtAll, qtCategory, qtCompany, qtDisplayName, qtKeyword, qtLocation };
enum TDisplayType { dtFirstLastName, dtFirstMiddleLastName, dtFullName, dtInherited, dtLastFirstName };
enum TDisplayTypeOption { dtoReplaceAccentedChars = 0x1 };
Q_DECLARE_FLAGS(TDisplayTypeOptions, TDisplayTypeOption)
enum TDeduplicationMethod { dmMerge, dmKeepNewest, dmKeepOldest };
enum TMapsProvider { mpBing, mpGoogle, mpNone };
enum TLocationType { ltAll, ltWork, ltHome, ltPersonal, ltOther, ltPreferred };
enum TFormatContactsOption {
    fcoDialNumber = 0x1,
    fcoEmail = 0x2,
    fcoWebsite = 0x4,
    fcoLastNameUppercase = 0x8,
};
Q_DECLARE_FLAGS(TFormatContactsOptions, TFormatContactsOption)
enum TFindOption { foCaseSensitive = 0x1, foIgnoreAccentedChars = 0x2 };
Q_DECLARE_FLAGS(TFindOptions, TFindOption)

// One contact. Fields keep the order in which every other piece of the program
// knows them; the collection that created a record owns it.
struct TContactData
{
    QString Title;
    QString FirstName;
    QString MiddleName;
    QString LastName;
    QString Suffix;
    QString Nickname;
    QString Initials;
    QString Language;
    QString Preferred;
    TDateTime LastVisit = 0;
    int VisitCount = 0;
    QByteArray Photo; // JPEG; never copied, never stored in a book
    QString Company;
    QString Department;
    QString JobTitle;
    QString Role;
    QString WorkStreet;
    QString WorkPOBox;
    QString WorkCity;
    QString WorkPostalCode;
    QString WorkStateProvince;
    QString WorkCountryRegion;
    QString WorkCoordinates;
    TDateTime WorkCoordinatesUpdated = 0;
    QString WorkPhone;
    QString WorkFax;
    QString WorkMobilePhone;
    QString WorkPager;
    QString WorkEmail;
    QString WorkIM;
    QString WorkWebsite;
    QString WorkLocation;
    QString HomeStreet;
    QString HomePOBox;
    QString HomeCity;
    QString HomePostalCode;
    QString HomeStateProvince;
    QString HomeCountryRegion;
    QString HomeCoordinates;
    TDateTime HomeCoordinatesUpdated = 0;
    QString HomePhone;
    QString HomeFax;
    QString PersonalMobilePhone;
    QString PersonalPager;
    QString PersonalEmail;
    QString PersonalIM;
    QString PersonalWebsite;
    QString HomeLocation;
    QString Gender;
    TDateTime Birthday = 0;
    QString SignificantOther;
    TDateTime Anniversary = 0;
    QString OtherStreet;
    QString OtherPOBox;
    QString OtherCity;
    QString OtherPostalCode;
    QString OtherStateProvince;
    QString OtherCountryRegion;
    QString OtherCoordinates;
    TDateTime OtherCoordinatesUpdated = 0;
    QString OtherPhone;
    QString OtherFax;
    QString OtherMobilePhone;
    QString OtherPager;
    QString OtherEmail;
    QString OtherIM;
    QString OtherWebsite;
    QString OtherLocation;
    QStringList Notes;
    TSortedStringList Categories;
    TSortedStringList Keywords;
    QString Priority;
    QString Sensitivity;
    TDateTime Created = 0;
    TDateTime Modified = 0;
    TDateTime Accessed = 0;
    TDateTime Synced = 0;
    // Stable identity of the contact, kept across saves, exports and servers.
    QString Uid;
    // Transient: live only while the program runs.
    bool Exportable = false;
    bool ExportableOverride = false;
    QString GoogleContactID;
    QString GoogleContactUpdated;
    QString GoogleContactETag;
    QString GoogleContactPhotoUrl;
};

} // namespace cardolin

Q_DECLARE_OPERATORS_FOR_FLAGS(cardolin::TDisplayTypeOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(cardolin::TFormatContactsOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(cardolin::TFindOptions)
