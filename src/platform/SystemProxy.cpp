#include "platform/SystemProxy.h"

#include <QUrl>

namespace cardolin::platform {

namespace {

QString ProxyVariable(const QString &scheme)
{
    const QString lower = scheme.toLower();
    if (lower == QLatin1StringView("https") || lower == QLatin1StringView("ftp"))
        return lower + QStringLiteral("_proxy");
    if (lower == QLatin1StringView("socks"))
        return QStringLiteral("all_proxy");
    return QStringLiteral("http_proxy");
}

} // namespace

bool GetInternetProxySettings(const QString &Scheme, bool &UseProxy, QString &Address, int &Port)
{
    UseProxy = false;
    Address.clear();
    Port = 80;
    const QString variable = ProxyVariable(Scheme);
    QString value = qEnvironmentVariable(variable.toLatin1().constData());
    if (value.isEmpty())
        value = qEnvironmentVariable(variable.toUpper().toLatin1().constData());
    value = value.trimmed();
    if (value.isEmpty())
        return true;
    if (!value.contains(QLatin1StringView("://")))
        value.prepend(QLatin1StringView("http://"));
    const QUrl url(value);
    if (!url.isValid() || url.host().isEmpty())
        return true;
    UseProxy = true;
    Address = url.host();
    Port = url.port(80);
    return true;
}

ProxySettings HttpProxyFromEnvironment()
{
    ProxySettings settings;
    int port = 80;
    GetInternetProxySettings(QStringLiteral("http"), settings.useProxy, settings.address, port);
    settings.port = QString::number(port);
    return settings;
}

} // namespace cardolin::platform
