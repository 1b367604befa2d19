#include "platform/SystemProxy.h"

#include <QUrl>

namespace cardolin::platform {

ProxySettings HttpProxyFromEnvironment()
{
    QString value = qEnvironmentVariable("http_proxy");
    if (value.isEmpty())
        value = qEnvironmentVariable("HTTP_PROXY");
    value = value.trimmed();
    if (value.isEmpty())
        return {};
    if (!value.contains(QLatin1StringView("://")))
        value.prepend(QLatin1StringView("http://"));
    const QUrl url(value);
    if (!url.isValid() || url.host().isEmpty())
        return {};
    return {true, url.host(), QString::number(url.port(80))};
}

} // namespace cardolin::platform
