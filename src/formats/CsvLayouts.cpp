// The Windows Contacts, Outlook, Nokia, Yahoo and BlackBerry layouts as tables.

#include "formats/CsvLayouts.h"

#include "contacts/QorContacts.h"
#include "formats/CsvColumns.h"
#include "formats/CsvText.h"

#include <limits>

namespace cardolin {

using namespace csvcolumns;

namespace csvcolumns {

QString PreferredMobile(const TQorContacts &contacts, const C &contact, const CsvColumn &)
{
    return contacts.GetPreferredMobilePhoneFromContactData(&contact);
}

QString PreferredEmail(const TQorContacts &contacts, const C &contact, const CsvColumn &)
{
    return contacts.GetPreferredEmailFromContactData(&contact);
}

QString DisplayName(const TQorContacts &contacts, const C &contact, const CsvColumn &)
{
    return contacts.GetDisplayNameFromContactData(&contact, dtInherited);
}

CsvColumn CompanyMobile(QStringView name)
{
    return Computed(name, PreferredMobile).Into(&C::WorkMobilePhone, &C::PersonalMobilePhone);
}

CsvColumn CompanyPager(QStringView name)
{
    return FirstOf(name, &C::WorkPager, &C::PersonalPager, &C::OtherPager).Into(&C::WorkPager, &C::PersonalPager);
}

CsvColumn AnyFax(QStringView name)
{
    return FirstOf(name, &C::WorkFax, &C::HomeFax, &C::OtherFax);
}

CsvColumn AnyWebsite(QStringView name)
{
    return FirstOf(name, &C::WorkWebsite, &C::PersonalWebsite, &C::OtherWebsite);
}

} // namespace csvcolumns

namespace {

constexpr qsizetype kNoLimit = std::numeric_limits<qsizetype>::max();
const QChar kQuote = QLatin1Char('"');

// ---- record-start tests ----------------------------------------------------

CsvLine StartsWithQuote(const TQorContacts &, QStringView line)
{
    return line.startsWith(kQuote) ? CsvLine::Starts : CsvLine::Continues;
}

CsvLine StartsWithQuoteOrComma(const TQorContacts &, QStringView line)
{
    return line.startsWith(kQuote) || line.startsWith(QLatin1Char(',')) ? CsvLine::Starts : CsvLine::Continues;
}

// Lines inside an open quoted field never get here, so a line like
// `Apt 2";Springfield;...` that closes one is not mistaken for a record; any line
// with a separator starts one, even when it ends with the quote that opens a
// multi-line note whose first line is empty.
CsvLine WindowsLineRole(const TQorContacts &, QStringView line)
{
    const qsizetype quotes = line.count(kQuote);
    const bool starts = line.contains(QLatin1Char(';')) || (quotes == 1 && !line.endsWith(kQuote)) || quotes >= 2;
    return starts ? CsvLine::Starts : CsvLine::Continues;
}

// Outlook quotes every data column, so a record begins with a quote or with the
// separator of an unquoted empty title. `","...` closes the notes field above.
CsvLine OutlookLineRole(const TQorContacts &contacts, QStringView line)
{
    if (line.startsWith(u"\",\""))
        return CsvLine::ContinuesDirectly;
    return StartsWithQuoteOrComma(contacts, line);
}

// ---- computed columns ------------------------------------------------------

QString FirstAndLastName(const TQorContacts &, const C &c, const CsvColumn &)
{
    if (c.FirstName.isEmpty() || c.LastName.isEmpty())
        return c.FirstName + c.LastName;
    return c.FirstName + QLatin1Char(' ') + c.LastName;
}

QString PrivateFlag(const TQorContacts &, const C &c, const CsvColumn &)
{
    return c.Sensitivity == u"Private" ? QStringLiteral("True") : QStringLiteral("False");
}

QString YahooEmail(const TQorContacts &contacts, const C &c, const CsvColumn &column)
{
    return c.WorkEmail.isEmpty() ? PreferredEmail(contacts, c, column) : c.WorkEmail;
}

// Alternate addresses repeat nothing that the Email column already holds.
QString IfNotWorkEmail(const TQorContacts &, const C &c, const CsvColumn &column)
{
    return c.*column.text == c.WorkEmail ? QString() : c.*column.text;
}

QString YahooPrimary(const TQorContacts &, const C &c, const CsvColumn &)
{
    if (c.Preferred == u"Work")
        return QStringLiteral("work");
    return c.Preferred == u"Personal" ? QStringLiteral("home") : QStringLiteral("mobile");
}

void ReadYahooPrimary(CsvRecord &record, qsizetype column)
{
    const QString value = record.Value(column);
    record.contact.Preferred = value == u"work"     ? QStringLiteral("Work")
                               : value == u"home"   ? QStringLiteral("Personal")
                               : value == u"mobile" ? QStringLiteral("Other")
                                                    : QStringLiteral("None");
}

// French Outlook writes these values in French. Only whole values change, so a
// note that quotes one of the words keeps it.
void TranslateFrenchValues(std::vector<QStringView> &fields)
{
    static const std::pair<QStringView, QStringView> kValues[] = {
        {u"Vrai", u"True"},           {u"Faux", u"False"},    {u"Non spécifié", u"Unspecified"},
        {u"Normale", u"Normal"},      {u"Basse", u"Low"},     {u"Haute", u"High"},
        {u"Personnelle", u"Personal"}, {u"Privée", u"Private"}, {u"Confidentielle", u"Confidential"},
    };
    for (QStringView &field : fields) {
        if (field.size() < 4 || field.size() > 14)
            continue;
        for (const auto &[french, english] : kValues)
            if (field == french)
                field = english;
    }
}

// ---- tables ----------------------------------------------------------------

CsvLayout WindowsContacts()
{
    CsvLayout l =
        NewLayout("ImportFromWindowsContactsCSVFile", u';', CsvEncoding::Utf8WithBom, CsvQuote::IfContains, false);
    l.minFields = l.maxFields = 29;
    l.companyColumn = 24;
    l.lineRole = WindowsLineRole;
    l.columns = {
        Text(u"First Name", &C::FirstName),
        Text(u"Last Name", &C::LastName),
        Text(u"Middle Name", &C::MiddleName),
        Computed(u"Name", FirstAndLastName),
        Text(u"Nickname", &C::Nickname),
        Computed(u"E-mail Address", PreferredEmail).Into(&C::PersonalEmail),
        Street(u"Home Street", &C::HomeStreet),
        Text(u"Home City", &C::HomeCity),
        Text(u"Home Postal Code", &C::HomePostalCode),
        Text(u"Home State", &C::HomeStateProvince),
        Text(u"Home Country/Region", &C::HomeCountryRegion),
        Text(u"Home Phone", &C::HomePhone),
        Text(u"Home Fax", &C::HomeFax),
        CompanyMobile(u"Mobile Phone"),
        Text(u"Personal Web Page", &C::PersonalWebsite),
        Street(u"Business Street", &C::WorkStreet),
        Text(u"Business City", &C::WorkCity),
        Text(u"Business Postal Code", &C::WorkPostalCode),
        Text(u"Business State", &C::WorkStateProvince),
        Text(u"Business Country/Region", &C::WorkCountryRegion),
        Text(u"Business Web Page", &C::WorkWebsite),
        Text(u"Business Phone", &C::WorkPhone),
        Text(u"Business Fax", &C::WorkFax),
        Text(u"Pager", &C::WorkPager).Into(&C::WorkPager, &C::PersonalPager),
        Text(u"Company", &C::Company),
        Text(u"Job Title", &C::JobTitle),
        Text(u"Department", &C::Department),
        Text(u"Office Location", &C::WorkLocation),
        Notes(u"Notes"),
    };
    return l;
}

// ---- Outlook ---------------------------------------------------------------

struct OutlookPlace
{
    QStringView english, french;
    Member street, city, state, postalCode, country;
};

void AddOutlookAddress(std::vector<CsvColumn> &columns, bool french, const OutlookPlace &p)
{
    const QString place = french ? QStringLiteral(" (") + p.french.toString() + QLatin1Char(')')
                                 : p.english.toString() + QLatin1Char(' ');
    const auto name = [&](QStringView en, QStringView fr) {
        return french ? fr.toString() + place : place + en.toString();
    };
    columns.push_back(Street(name(u"Street", u"Rue"), p.street));
    columns.push_back(Skip(name(u"Street 2", u"Rue") + (french ? QStringLiteral(" 2") : QString())));
    columns.push_back(Skip(name(u"Street 3", u"Rue") + (french ? QStringLiteral(" 3") : QString())));
    columns.push_back(Text(name(u"City", u"Ville"), p.city));
    columns.push_back(Text(name(u"State", u"Dép/Région"), p.state));
    columns.push_back(Text(name(u"Postal Code", u"Code postal"), p.postalCode));
    CsvColumn country = Text(name(u"Country/Region", u"Pays/Région"), p.country);
    // Other programs write Outlook's names with a plain "Country".
    if (!french)
        country.alias = name(u"Country", u"");
    columns.push_back(country);
}

// Columns 0 to 47, the same in both languages.
std::vector<CsvColumn> OutlookCommonColumns(bool french)
{
    const auto n = [french](QStringView en, QStringView fr) { return french ? fr : en; };
    std::vector<CsvColumn> columns{
        Text(n(u"Title", u"Titre"), &C::Title),
        Text(n(u"First Name", u"Prénom"), &C::FirstName),
        Text(n(u"Middle Name", u"Deuxième prénom"), &C::MiddleName),
        Text(n(u"Last Name", u"Nom"), &C::LastName),
        Text(n(u"Suffix", u"Suffixe"), &C::Suffix),
        Text(n(u"Company", u"Société"), &C::Company),
        Text(n(u"Department", u"Service"), &C::Department),
        Text(n(u"Job Title", u"Titre"), &C::JobTitle),
    };
    AddOutlookAddress(columns, french, {u"Business", u"bureau", &C::WorkStreet, &C::WorkCity, &C::WorkStateProvince,
                                        &C::WorkPostalCode, &C::WorkCountryRegion});
    AddOutlookAddress(columns, french, {u"Home", u"domicile", &C::HomeStreet, &C::HomeCity, &C::HomeStateProvince,
                                        &C::HomePostalCode, &C::HomeCountryRegion});
    AddOutlookAddress(columns, french, {u"Other", u"autre", &C::OtherStreet, &C::OtherCity, &C::OtherStateProvince,
                                        &C::OtherPostalCode, &C::OtherCountryRegion});
    const std::vector<CsvColumn> phones{
        Skip(n(u"Assistant's Phone", u"Téléphone de l'assistant(e)")),
        Text(n(u"Business Fax", u"Télécopie (bureau)"), &C::WorkFax),
        Text(n(u"Business Phone", u"Téléphone (bureau)"), &C::WorkPhone),
        Skip(n(u"Business Phone 2", u"Téléphone 2 (bureau)")),
        Skip(n(u"Callback", u"Rappel")),
        Skip(n(u"Car Phone", u"Téléphone (voiture)")),
        Skip(n(u"Company Main Phone", u"Téléphone société")),
        Text(n(u"Home Fax", u"Télécopie (domicile)"), &C::HomeFax),
        Text(n(u"Home Phone", u"Téléphone (domicile)"), &C::HomePhone),
        Skip(n(u"Home Phone 2", u"Téléphone 2 (domicile)")),
        Skip(n(u"ISDN", u"RNIS")),
        CompanyMobile(n(u"Mobile Phone", u"Tél. mobile")),
        Text(n(u"Other Fax", u"Télécopie (autre)"), &C::OtherFax),
        Text(n(u"Other Phone", u"Téléphone (autre)"), &C::OtherPhone),
        CompanyPager(n(u"Pager", u"Récepteur de radiomessagerie")),
        Skip(n(u"Primary Phone", u"Téléphone principal")),
        Skip(n(u"Radio Phone", u"Radio téléphone")),
        Skip(n(u"TTY/TDD Phone", u"Téléphone TDD/TTY")),
        Skip(n(u"Telex", u"Télex")),
    };
    columns.insert(columns.end(), phones.begin(), phones.end());
    return columns;
}

// Address, type and display name of one e-mail address; all empty without it.
void AddEmailTrio(std::vector<CsvColumn> &columns, QStringView address, QStringView type, QStringView display,
                  Member field)
{
    columns.push_back(Text(address, field).Quoted(CsvQuote::NonEmpty));
    columns.push_back(Make(type, CsvOut::EmailType, CsvIn::None, field));
    columns.push_back(Make(display, CsvOut::EmailName, CsvIn::None, field));
}

void AddOutlookEnglishColumns(std::vector<CsvColumn> &c)
{
    const QStringView unset = u"0/0/00";
    c.insert(c.end(), {Skip(u"Account"), Date(u"Anniversary", &C::Anniversary, unset), Skip(u"Assistant's Name"),
                       Skip(u"Billing Information"), Date(u"Birthday", &C::Birthday, unset),
                       Text(u"Business Address PO Box", &C::WorkPOBox), List(u"Categories", &C::Categories, u";"),
                       Skip(u"Children"), Skip(u"Directory Server")});
    AddEmailTrio(c, u"E-mail Address", u"E-mail Type", u"E-mail Display Name", &C::WorkEmail);
    AddEmailTrio(c, u"E-mail 2 Address", u"E-mail 2 Type", u"E-mail 2 Display Name", &C::PersonalEmail);
    AddEmailTrio(c, u"E-mail 3 Address", u"E-mail 3 Type", u"E-mail 3 Display Name", &C::OtherEmail);
    c.insert(c.end(), {
        Text(u"Gender", &C::Gender), Skip(u"Government ID Number"), Skip(u"Hobby"),
        Text(u"Home Address PO Box", &C::HomePOBox), Text(u"Initials", &C::Initials), Skip(u"Internet Free Busy"),
        List(u"Keywords", &C::Keywords, u";"), Text(u"Language", &C::Language), Text(u"Location", &C::HomeLocation),
        Skip(u"Manager's Name"), Skip(u"Mileage"), Notes(u"Notes", CsvOut::NotesBlock),
        Text(u"Office Location", &C::WorkLocation), Skip(u"Organizational ID Number"),
        Text(u"Other Address PO Box", &C::OtherPOBox), Text(u"Priority", &C::Priority),
        Computed(u"Private", PrivateFlag), Text(u"Profession", &C::Role), Skip(u"Referred By"),
        Text(u"Sensitivity", &C::Sensitivity), Text(u"Spouse", &C::SignificantOther), Skip(u"User 1"),
        Skip(u"User 2"), Skip(u"User 3"), Skip(u"User 4"), AnyWebsite(u"Web Page"),
    });
}

void AddOutlookFrenchColumns(std::vector<CsvColumn> &c)
{
    const QStringView unset = u"0/0/00";
    AddEmailTrio(c, u"Adresse de messagerie", u"Type de messagerie", u"Nom complet de l'adresse de messagerie",
                 &C::WorkEmail);
    AddEmailTrio(c, u"Adresse de messagerie 2", u"Type de messagerie 2", u"Nom complet de l'adresse de messagerie 2",
                 &C::PersonalEmail);
    AddEmailTrio(c, u"Adresse de messagerie 3", u"Type de messagerie 3", u"Nom complet de l'adresse de messagerie 3",
                 &C::OtherEmail);
    c.insert(c.end(), {
        Date(u"Anniversaire", &C::Birthday, unset), Date(u"Anniversaire de mariage ou fête", &C::Anniversary, unset),
        Text(u"Autre boîte postale", &C::OtherPOBox), Text(u"B.P. professionnelle", &C::WorkPOBox),
        Text(u"Boîte postale du domicile", &C::HomePOBox), Text(u"Bureau", &C::WorkLocation),
        List(u"Catégories", &C::Categories, u";"), Skip(u"Code gouvernement"), Skip(u"Compte"),
        Text(u"Conjoint(e)", &C::SignificantOther), Text(u"Critère de diffusion", &C::Sensitivity),
        Skip(u"Disponibilité Internet"), Text(u"Emplacement", &C::HomeLocation), Skip(u"Enfants"),
        Skip(u"Informations facturation"), Text(u"Initiales", &C::Initials), Skip(u"Kilométrage"),
        Text(u"Langue", &C::Language), List(u"Mots clés", &C::Keywords, u";"), Skip(u"Nom de l'assistant(e)"),
        Notes(u"Notes", CsvOut::NotesBlock), Skip(u"Numéro d'identification de l'organisation"),
        AnyWebsite(u"Page Web"), Skip(u"Passe-temps"), Text(u"Priorité", &C::Priority),
        Computed(u"Privé", PrivateFlag), Text(u"Profession", &C::Role), Skip(u"Recommandé par"),
        Skip(u"Responsable"), Skip(u"Serveur d'annuaire"), Text(u"Sexe", &C::Gender), Skip(u"Utilisateur 1"),
        Skip(u"Utilisateur 2"), Skip(u"Utilisateur 3"), Skip(u"Utilisateur 4"),
    });
}

CsvLayout Outlook(bool french)
{
    CsvLayout l = NewLayout("ImportFromOutlookCSVFile", u',', CsvEncoding::Ansi, CsvQuote::Always, true);
    l.minFields = french ? 79 : 58;
    l.maxFields = kNoLimit;
    l.companyColumn = 5;
    l.dropTrailingMarker = true;
    l.mergeVocabulary = true;
    l.lineRole = OutlookLineRole;
    l.translate = french ? TranslateFrenchValues : nullptr;
    l.columns = OutlookCommonColumns(french);
    (french ? AddOutlookFrenchColumns : AddOutlookEnglishColumns)(l.columns);
    return l;
}

CsvLayout OutlookEnglish()
{
    return Outlook(false);
}

CsvLayout OutlookFrench()
{
    return Outlook(true);
}

// ---- Nokia -----------------------------------------------------------------

struct NokiaPlace
{
    QStringView prefix;
    Member mobile, phone, email, fax, web, poBox, street, postalCode, city, state, country;
};

void AddNokiaPlace(std::vector<CsvColumn> &columns, const NokiaPlace &p)
{
    const auto name = [&](QStringView what) { return p.prefix.toString() + QLatin1Char(' ') + what.toString(); };
    columns.insert(columns.end(), {
        Text(name(u"mobile"), p.mobile), Text(name(u"phone"), p.phone), Text(name(u"e-mail"), p.email),
        Text(name(u"fax"), p.fax), Skip(name(u"video call")), Text(name(u"web address"), p.web),
        Skip(name(u"VOIP address")), Text(name(u"P.O.Box"), p.poBox), Skip(name(u"extension")),
        Street(name(u"street"), p.street), Text(name(u"postal/ZIP code"), p.postalCode), Text(name(u"city"), p.city),
        Text(name(u"state/province"), p.state), Text(name(u"country/region"), p.country),
    });
}

CsvLayout Nokia()
{
    CsvLayout l = NewLayout("ImportFromNokiaCSVFile", u';', CsvEncoding::Utf16LeWithBom, CsvQuote::Always, true);
    l.emptyText = QStringLiteral("\"\"");
    l.minFields = l.maxFields = 56;
    l.lineRole = StartsWithQuote;
    l.columns = {
        Text(u"Title", &C::Title), Text(u"First name", &C::FirstName), Text(u"Middle name", &C::MiddleName),
        Text(u"Last name", &C::LastName), Text(u"Suffix", &C::Suffix), Text(u"Job title", &C::JobTitle),
        Text(u"Company", &C::Company), Date(u"Birthday", &C::Birthday), Skip(u"SIP address"),
        Skip(u"Push-to-talk"), Skip(u"Share view"), Skip(u"User ID"), Notes(u"Notes"),
    };
    AddNokiaPlace(l.columns, {u"General", &C::OtherMobilePhone, &C::OtherPhone, &C::OtherEmail, &C::OtherFax,
                              &C::OtherWebsite, &C::OtherPOBox, &C::OtherStreet, &C::OtherPostalCode, &C::OtherCity,
                              &C::OtherStateProvince, &C::OtherCountryRegion});
    AddNokiaPlace(l.columns, {u"Home", &C::PersonalMobilePhone, &C::HomePhone, &C::PersonalEmail, &C::HomeFax,
                              &C::PersonalWebsite, &C::HomePOBox, &C::HomeStreet, &C::HomePostalCode, &C::HomeCity,
                              &C::HomeStateProvince, &C::HomeCountryRegion});
    AddNokiaPlace(l.columns, {u"Business", &C::WorkMobilePhone, &C::WorkPhone, &C::WorkEmail, &C::WorkFax,
                              &C::WorkWebsite, &C::WorkPOBox, &C::WorkStreet, &C::WorkPostalCode, &C::WorkCity,
                              &C::WorkStateProvince, &C::WorkCountryRegion});
    l.columns.push_back(Skip(u""));
    return l;
}

// ---- Yahoo -----------------------------------------------------------------

CsvLayout Yahoo()
{
    CsvLayout l = NewLayout("ImportFromYahooCSVFile", u',', CsvEncoding::Utf8WithBom, CsvQuote::Always, true);
    l.emptyText = QStringLiteral("\"\"");
    l.minFields = 39;
    l.maxFields = kNoLimit;
    l.companyColumn = 21;
    l.mergeVocabulary = true;
    l.lineRole = StartsWithQuote;
    CsvColumn category = List(u"Category", &C::Categories, u";");
    category.out = CsvOut::FirstOfList;
    CsvColumn alternate1 = Computed(u"Alternate Email 1", IfNotWorkEmail).Into(&C::PersonalEmail);
    alternate1.text = &C::PersonalEmail;
    CsvColumn alternate2 = Computed(u"Alternate Email 2", IfNotWorkEmail).Into(&C::OtherEmail);
    alternate2.text = &C::OtherEmail;
    l.columns = {
        Text(u"First", &C::FirstName), Text(u"Middle", &C::MiddleName), Text(u"Last", &C::LastName),
        Text(u"Nickname", &C::Nickname), Computed(u"Email", YahooEmail).Into(&C::WorkEmail), category,
        Skip(u"Distribution Lists"), Text(u"Messenger ID", &C::PersonalIM), Text(u"Home", &C::HomePhone),
        Text(u"Work", &C::WorkPhone), CompanyPager(u"Pager"), AnyFax(u"Fax"), CompanyMobile(u"Mobile"),
        Text(u"Other", &C::OtherPhone), Skip(u"Yahoo! Phone"),
        Custom(Computed(u"Primary", YahooPrimary), ReadYahooPrimary),
        alternate1, alternate2, Text(u"Personal Website", &C::PersonalWebsite),
        Text(u"Business Website", &C::WorkWebsite), Text(u"Title", &C::JobTitle), Text(u"Company", &C::Company),
        Street(u"Work Address", &C::WorkStreet), Text(u"Work City", &C::WorkCity),
        Text(u"Work State", &C::WorkStateProvince), Text(u"Work ZIP", &C::WorkPostalCode),
        Text(u"Work Country", &C::WorkCountryRegion), Street(u"Home Address", &C::HomeStreet),
        Text(u"Home City", &C::HomeCity), Text(u"Home State", &C::HomeStateProvince),
        Text(u"Home ZIP", &C::HomePostalCode), Text(u"Home Country", &C::HomeCountryRegion),
        Date(u"Birthday", &C::Birthday), Date(u"Anniversary", &C::Anniversary), Skip(u"Custom 1"),
        Skip(u"Custom 2"), Skip(u"Custom 3"), Skip(u"Custom 4"), Notes(u"Comments").Quoted(CsvQuote::NonEmpty),
    };
    for (int i = 1; i <= 9; ++i)
        l.columns.push_back(Skip(QStringLiteral("Messenger ID%1").arg(i)));
    l.columns.insert(l.columns.end(), {Skip(u"Skype ID"), Skip(u"IRC ID"), Skip(u"ICQ ID")});
    // Another messenger fills in when Messenger ID left the address empty.
    for (QStringView id : {u"Google ID", u"MSN ID", u"AIM ID"})
        l.columns.push_back(Skip(id).Into(&C::PersonalIM).Importing(CsvIn::TextIfEmpty));
    l.columns.push_back(Skip(u"QQ ID"));
    return l;
}

// ---- BlackBerry ------------------------------------------------------------

void AddBlackBerryAddress(std::vector<CsvColumn> &columns, QStringView prefix, Member street, Member city,
                          Member state, Member postalCode, Member country)
{
    for (int line = 0; line < 3; ++line) {
        CsvColumn c = Make(prefix.toString() + QStringLiteral("Address%1").arg(line + 1), CsvOut::StreetLine,
                           line == 0 ? CsvIn::StreetLines : CsvIn::None, street);
        c.index = line;
        columns.push_back(c.Quoted(CsvQuote::NonEmpty));
    }
    const QString p = prefix.toString();
    columns.insert(columns.end(), {Text(p + QStringLiteral("City"), city),
                                   Text(p + QStringLiteral("State/Prov"), state),
                                   Text(p + QStringLiteral("Zip/Postal Code"), postalCode),
                                   Text(p + QStringLiteral("Country"), country)});
}

CsvLayout BlackBerry()
{
    CsvLayout l = NewLayout("ImportFromBlackBerryCSVFile", u',', CsvEncoding::Ansi, CsvQuote::Always, true);
    l.minFields = l.maxFields = 44;
    l.companyColumn = 4;
    l.mergeVocabulary = true;
    l.lineRole = StartsWithQuoteOrComma;
    l.columns = {
        Text(u"First Name", &C::FirstName), Text(u"Middle Name", &C::MiddleName), Text(u"Last Name", &C::LastName),
        Text(u"Title", &C::JobTitle), Text(u"Company Name", &C::Company), Text(u"Work Phone", &C::WorkPhone),
        Skip(u"Work Phone2"), Text(u"Home Phone", &C::HomePhone), Skip(u"Home Phone2"),
        Text(u"Other Phone", &C::OtherPhone), AnyFax(u"Fax"), CompanyMobile(u"Mobile Phone"), Skip(u"PIN"),
        CompanyPager(u"Pager"), Text(u"Email Address 1", &C::WorkEmail), Text(u"Email Address 2", &C::PersonalEmail),
        Text(u"Email Address 3", &C::OtherEmail),
    };
    AddBlackBerryAddress(l.columns, u"", &C::WorkStreet, &C::WorkCity, &C::WorkStateProvince, &C::WorkPostalCode,
                         &C::WorkCountryRegion);
    AddBlackBerryAddress(l.columns, u"Home ", &C::HomeStreet, &C::HomeCity, &C::HomeStateProvince,
                         &C::HomePostalCode, &C::HomeCountryRegion);
    l.columns.push_back(Notes(u"Notes").Quoted(CsvQuote::NonEmpty));
    for (QStringView unused : {u"Interactive Handheld", u"1-way Pager", u"User Defined 1", u"User Defined 2",
                               u"User Defined 3", u"User Defined 4", u"Salutation"})
        l.columns.push_back(Skip(unused));
    l.columns.insert(l.columns.end(), {
        AnyWebsite(u"Web Address").Into(&C::PersonalWebsite), Skip(u"Direct Connect"),
        List(u"Categories", &C::Categories, u", ").Quoted(CsvQuote::NonEmpty),
        Date(u"Birthday", &C::Birthday).Quoted(CsvQuote::NonEmpty),
        Date(u"Anniversary", &C::Anniversary).Quoted(CsvQuote::NonEmpty),
    });
    return l;
}

} // namespace

const CsvLayout &WindowsContactsCsvLayout() { return BuiltOnce<WindowsContacts>(); }
const CsvLayout &OutlookCsvLayout() { return BuiltOnce<OutlookEnglish>(); }
const CsvLayout &OutlookFrenchCsvLayout() { return BuiltOnce<OutlookFrench>(); }
const CsvLayout &NokiaCsvLayout() { return BuiltOnce<Nokia>(); }
const CsvLayout &YahooCsvLayout() { return BuiltOnce<Yahoo>(); }
const CsvLayout &BlackBerryCsvLayout() { return BuiltOnce<BlackBerry>(); }

} // namespace cardolin
