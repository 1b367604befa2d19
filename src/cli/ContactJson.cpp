#include "cli/ContactJson.h"

#include "contacts/ContactFields.h"

namespace cardolin::cli {

namespace {

// Written by hand rather than through QJsonObject, which would sort the keys.
QString JsonString(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'"': out += QLatin1StringView("\\\""); break;
        case u'\\': out += QLatin1StringView("\\\\"); break;
        case u'\n': out += QLatin1StringView("\\n"); break;
        case u'\r': out += QLatin1StringView("\\r"); break;
        case u'\t': out += QLatin1StringView("\\t"); break;
        default:
            // C1 controls are legal JSON but would drive a terminal the output lands on.
            if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString JsonStringOrNull(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("null") : JsonString(text);
}

QString JsonArray(const QStringList &entries)
{
    QStringList items;
    for (const QString &entry : entries)
        items.append(JsonString(entry));
    return QLatin1Char('[') + items.join(QLatin1StringView(", ")) + QLatin1Char(']');
}

QString JsonValue(const ContactField &field, const TContactData &contact)
{
    switch (field.kind) {
    case FieldKind::Text:
        return JsonString(FieldRef<QString>(contact, field));
    case FieldKind::Date:
        return JsonStringOrNull(SerialToIsoDate(FieldRef<TDateTime>(contact, field)));
    case FieldKind::DateTime:
        return JsonStringOrNull(SerialToIsoUtc(FieldRef<TDateTime>(contact, field)));
    case FieldKind::Integer:
        return QString::number(FieldRef<int>(contact, field));
    case FieldKind::Boolean:
        return FieldRef<bool>(contact, field) ? QStringLiteral("true") : QStringLiteral("false");
    case FieldKind::Lines:
        return JsonArray(FieldRef<QStringList>(contact, field));
    case FieldKind::SortedList:
        return JsonArray(FieldRef<TSortedStringList>(contact, field).Entries());
    case FieldKind::Photo:
        break;
    }
    return {};
}

QString ContactToJson(const TContactData &contact)
{
    QStringList members;
    for (const ContactField &field : ContactFields())
        if (field.kind != FieldKind::Photo)
            members.append(QLatin1StringView("    ") + JsonString(field.name) + QLatin1StringView(": ")
                           + JsonValue(field, contact));
    return QLatin1StringView("  {\n") + members.join(QLatin1StringView(",\n")) + QLatin1StringView("\n  }");
}

} // namespace

QString ContactsToJson(const TContactDataList &contacts)
{
    if (contacts.empty())
        return QStringLiteral("[]\n");
    QStringList objects;
    for (const auto &contact : contacts)
        objects.append(ContactToJson(*contact));
    return QLatin1StringView("[\n") + objects.join(QLatin1StringView(",\n")) + QLatin1StringView("\n]\n");
}

} // namespace cardolin::cli
