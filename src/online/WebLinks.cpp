#include "online/WebLinks.h"

#include "contacts/AccentFolding.h"
#include "contacts/QorContacts.h"
#include "formats/CsvText.h"
#include "online/LocationText.h"
#include "online/MapLinks.h"
#include "platform/DesktopServices.h"
#include "support/UserPrompts.h"

namespace cardolin {

using namespace Qt::Literals::StringLiterals;

namespace {

// Browsers and mail programs refuse longer addresses.
constexpr qsizetype kLongestAddress = 2083;

// Mail addresses keep the right single quote (code 146 in the old code page)
// and always write spaces as "%20".
QString EncodeMailText(const QString &text)
{
    QString out;
    for (QChar c : text)
        out += c.unicode() == 146 ? QString(c) : EncodeURLText(QString(c), false);
    return out;
}

// "?" before the first parameter, "&" before the others.
void AddParameter(QString &address, bool &first, const QString &name, const QString &value)
{
    if (value.isEmpty())
        return;
    address += (first ? u"?"_s : u"&"_s) + name + EncodeMailText(value);
    first = false;
}

} // namespace

QString ShowMapGetURLSuffix(const TContactData &contact, TLocationType location, TMapsProvider provider)
{
    if (location != ltWork && location != ltHome && location != ltOther)
        return {};
    const QString text = FoldAccentedChars(BuildLocationAddressText(contact, location));
    return provider == mpNone ? text : BuildMapsAddress(provider, text);
}

QString ShowWebsiteGetURL(const TContactData &contact, TLocationType location)
{
    QString site;
    switch (location) {
    case ltWork: site = contact.WorkWebsite; break;
    case ltPersonal: site = contact.PersonalWebsite; break;
    case ltOther: site = contact.OtherWebsite; break;
    default: return {};
    }
    if (site.isEmpty() || site.contains(u"://"_s))
        return site;
    return u"http://"_s + site;
}

QString SearchPeopleGetURL(const TContactData &contact, TSocialNetwork network)
{
    QString query = contact.FirstName;
    if (!contact.LastName.isEmpty())
        query = query.isEmpty() ? contact.LastName : query + u'+' + contact.LastName;
    query = FoldAccentedChars(query).replace(u' ', u'+');
    if (query.isEmpty())
        return {};
    switch (network) {
    case snBiznik: return u"https://www.biznik.com/?s="_s + query;
    case snFacebook: return u"https://www.facebook.com/public?query="_s + query;
    case snLinkedIn: return u"https://www.linkedin.com/search/results/all/?keywords="_s + query;
    case snNaymz: return u"https://www.naymz.com/search.action?sub=profile&terms="_s + query;
    case snPlaxo: return u"https://www.plaxo.com/search/index?keywords="_s + query;
    case snSpoke: return u"https://www.spoke.com/search?q="_s + query + u"&title=&company="_s;
    }
    return {};
}

QString SendEmailGetEmailByLocationType(const TQorContacts &contacts, const TContactData &contact,
                                        TLocationType location)
{
    switch (location) {
    case ltAll: {
        QString all;
        for (const QString &address : {contact.WorkEmail, contact.PersonalEmail, contact.OtherEmail})
            all = AppendSeparatedValue(all, address, u";"_s, false, false);
        return all;
    }
    case ltWork: return contact.WorkEmail;
    case ltPersonal: return contact.PersonalEmail;
    case ltOther: return contact.OtherEmail;
    case ltPreferred:
        return contact.Preferred == u"None"_s ? QString() : contacts.GetPreferredEmailFromContactData(&contact);
    case ltHome: break;
    }
    return {};
}

QString BuildMailtoURL(const QString &to, const QString &cc, const QString &bcc, const QString &body,
                       const QString &subject)
{
    QString address = u"mailto:"_s + EncodeMailText(to);
    bool first = true;
    AddParameter(address, first, u"subject="_s, subject);
    AddParameter(address, first, u"cc="_s, cc);
    AddParameter(address, first, u"bcc="_s, bcc);
    AddParameter(address, first, u"body="_s, body);
    return address;
}

QString BuildGmailComposeURL(const QString &to, const QString &cc, const QString &bcc, const QString &body,
                             const QString &subject)
{
    QString address = u"https://mail.google.com/mail?view=cm&tf=0"_s;
    bool first = false; // the address already has its "?"
    AddParameter(address, first, u"to="_s, to);
    AddParameter(address, first, u"cc="_s, cc);
    AddParameter(address, first, u"bcc="_s, bcc);
    AddParameter(address, first, u"su="_s, subject);
    AddParameter(address, first, u"body="_s, body);
    return address;
}

QString GoogleContactsURL()
{
    return u"https://www.google.com/contacts"_s;
}

void ComposeEmail(platform::DesktopServices &desktop, UserPrompts &prompts, const QString &to, const QString &cc,
                  const QString &bcc, int mode, const QString &body, const QString &subject)
{
    QString address;
    if (mode == emGmail)
        address = BuildGmailComposeURL(to, cc, bcc, body, subject);
    else if (mode == emDefaultMail)
        address = BuildMailtoURL(to, cc, bcc, body, subject);
    if (!address.isEmpty() && address.size() <= kLongestAddress) {
        desktop.OpenAddress(address);
        return;
    }
    if (mode == emGmail) {
        prompts.ShowInformation(u"E-mail body is too large to be passed directly in the Gmail URL. E-mail body will "
                                "be copied in the clipboard so it can be pasted in Gmail."_s);
        desktop.SetClipboardText(body);
        desktop.OpenAddress(BuildGmailComposeURL(to, cc, bcc, QString(), subject));
        return;
    }
    desktop.ComposeMail(to, subject, body, QString());
}

} // namespace cardolin
