#pragma once

#include "contacts/ContactData.h"

#include <QString>

namespace cardolin {

class TQorContacts;
class UserPrompts;
namespace platform {
class DesktopServices;
}

enum TSocialNetwork { snBiznik, snFacebook, snLinkedIn, snNaymz, snPlaxo, snSpoke };

// How an e-mail is started: the desktop's mail program or Gmail in the browser.
enum TEmailMode { emDefaultMail = 0, emGmail = 1 };

// The texts behind a contact's web links; each is empty when the contact has
// nothing for it, which is also what decides whether its menu item is enabled.

// With mpNone the folded one-line address itself, otherwise the map service's
// address for it. Only ltWork, ltHome and ltOther have an address.
QString ShowMapGetURLSuffix(const TContactData &contact, TLocationType location, TMapsProvider provider);
// The web site of the location, "http://" put in front when it has no scheme.
QString ShowWebsiteGetURL(const TContactData &contact, TLocationType location);
// The search page of a network for the contact's first and last name.
QString SearchPeopleGetURL(const TContactData &contact, TSocialNetwork network);
// Recipients for a location, several joined by ";" without repeats.
QString SendEmailGetEmailByLocationType(const TQorContacts &contacts, const TContactData &contact,
                                        TLocationType location);

QString BuildMailtoURL(const QString &to, const QString &cc, const QString &bcc, const QString &body,
                       const QString &subject);
QString BuildGmailComposeURL(const QString &to, const QString &cc, const QString &bcc, const QString &body,
                             const QString &subject);
QString GoogleContactsURL();

// Opens the message in the browser or the mail program. An address too long
// to pass on goes another way: Gmail gets the body through the clipboard, the
// mail program the message directly.
void ComposeEmail(platform::DesktopServices &desktop, UserPrompts &prompts, const QString &to, const QString &cc,
                  const QString &bcc, int mode, const QString &body, const QString &subject);

} // namespace cardolin
