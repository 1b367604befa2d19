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

// The proxy for a scheme ("http", "https", "ftp" or "socks"; anything else
// counts as "http") from $<scheme>_proxy or its upper-case form ($all_proxy for
// socks). True when the settings could be read, which on this system they
// always can; UseProxy says whether one is set. Address empty and port 80 when
// none is.
bool GetInternetProxySettings(const QString &Scheme, bool &UseProxy, QString &Address, int &Port);

} // namespace cardolin::platform
