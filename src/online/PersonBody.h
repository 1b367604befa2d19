#pragma once

#include "contacts/ContactData.h"

#include <QStringList>

namespace cardolin {

// The person resource sent to the People service for a contact, one member
// per line; groups are the account's "name=resource name" entries that turn
// categories into memberships.
QString BuildPersonBody(const TContactData &contact, const QStringList &groups);

// The user name and protocol of an IM address "name@protocol", the protocol
// in the spelling the service knows.
struct ImAddress
{
    QString username;
    QString protocol;
};
ImAddress SplitImAddress(const QString &im);

} // namespace cardolin
