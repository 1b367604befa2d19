#include "online/MapLinks.h"

#include "online/LocationText.h"

namespace cardolin {

QString BuildMapsAddress(TMapsProvider provider, const QString &addressText)
{
    if (addressText.isEmpty())
        return {};
    switch (provider) {
    case mpGoogle:
        return QStringLiteral("https://www.google.com/maps/?q=") + EncodeURLText(addressText, true);
    case mpBing:
        return QStringLiteral("https://www.bing.com/maps/?v=2&where1=") + EncodeURLText(addressText, false) +
               QStringLiteral("&encType=1");
    case mpNone:
        break;
    }
    return {};
}

} // namespace cardolin
