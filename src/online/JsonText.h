#pragma once

#include <QJsonDocument>
#include <QJsonValue>
#include <QString>

namespace cardolin {

// A web service's answer as a JSON document. An answer larger than the bound
// on responses, nested deeper than the bound on containers, or not JSON at all
// is refused; error then tells why, naming the bound.
bool ParseJsonAnswer(const QByteArray &body, QJsonDocument &document, QString *error = nullptr);

// The value at a member path such as "names[0].givenName"; undefined when a
// member or an element on the way is missing.
QJsonValue JsonAt(const QJsonValue &root, QStringView path);
// A value as text: strings as they are, numbers and Booleans as their JSON text
// ("1980", "true"), anything else empty.
QString JsonToText(const QJsonValue &value);
inline QString JsonTextAt(const QJsonValue &root, QStringView path)
{
    return JsonToText(JsonAt(root, path));
}

// The text as a JSON string literal, quotation marks included, with every
// character JSON requires escaped.
QString JsonString(const QString &text);

} // namespace cardolin
