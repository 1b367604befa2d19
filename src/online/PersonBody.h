#pragma once

#include "contacts/ContactData.h"

#include <QJsonObject>
#include <QStringList>

namespace cardolin {

// The person resource sent to the People service for a contact, one member
// per line; groups are the account's "name=resource name" entries that turn
// categories into memberships. The elements of kept (by member name) go into
// their lists as they are: what the account holds that the contact cannot.
QString BuildPersonBody(const TContactData &contact, const QStringList &groups, const QJsonObject &kept = {});

// The user name and protocol of an IM address "name@protocol", the protocol
// in the spelling the service knows.
struct ImAddress
{
    QString username;
    QString protocol;
};
ImAddress SplitImAddress(const QString &im);

} // namespace cardolin
