#pragma once

#include <QString>

namespace cardolin::platform {

struct ProxySettings
{
    bool useProxy = false;
    QString address;
    QString port = QStringLiteral("80");
};

// The system's proxy for http: $http_proxy, else $HTTP_PROXY
// ("http://host:port/" or "host:port"); port 80 when none is given.
ProxySettings HttpProxyFromEnvironment();

} // namespace cardolin::platform
