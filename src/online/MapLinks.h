#pragma once

#include "contacts/ContactData.h"

#include <QString>

namespace cardolin {

// The map service's address showing an address text; empty for mpNone or an
// empty text.
QString BuildMapsAddress(TMapsProvider provider, const QString &addressText);

} // namespace cardolin
