#include "online/JsonText.h"

#include "online/WebRequest.h"
#include "support/ReadLimits.h"

#include <QJsonArray>
#include <QJsonObject>

namespace cardolin {

namespace {

// How deeply objects and arrays nest, counted without building anything; the
// count stops once it passes the bound.
int NestingDepth(QByteArrayView text)
{
    int depth = 0, deepest = 0;
    bool inString = false;
    for (qsizetype i = 0; i < text.size() && deepest <= limits::kMaxNestingDepth; ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            deepest = qMax(deepest, ++depth);
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return deepest;
}

} // namespace

bool ParseJsonAnswer(const QByteArray &body, QJsonDocument &document, QString *error)
{
    QString why;
    if (body.size() > kMaxWebResponseBytes) {
        why = limits::TooLongMessage(QStringLiteral("The answer"), kMaxWebResponseBytes);
    } else if (NestingDepth(body) > limits::kMaxNestingDepth) {
        why = limits::TooDeepMessage(QStringLiteral("The answer"), limits::kMaxNestingDepth);
    } else {
        QJsonParseError parsed;
        document = QJsonDocument::fromJson(body, &parsed);
        if (parsed.error == QJsonParseError::NoError)
            return true;
        why = QStringLiteral("The answer is not JSON: %1.").arg(parsed.errorString());
    }
    document = QJsonDocument();
    if (error)
        *error = why;
    return false;
}

QJsonValue JsonAt(const QJsonValue &root, QStringView path)
{
    QJsonValue value = root;
    for (QStringView step : path.split(u'.')) {
        const qsizetype bracket = step.indexOf(u'[');
        const QStringView name = bracket < 0 ? step : step.left(bracket);
        if (!name.isEmpty())
            value = value.toObject().value(name);
        if (bracket >= 0) {
            bool ok = false;
            const qsizetype index = step.mid(bracket + 1, step.size() - bracket - 2).toLongLong(&ok);
            const QJsonArray array = value.toArray();
            value = ok && index >= 0 && index < array.size() ? array.at(index) : QJsonValue(QJsonValue::Undefined);
        }
        if (value.isUndefined())
            break;
    }
    return value;
}

QString JsonToText(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Double: {
        const double number = value.toDouble();
        const qint64 whole = qint64(number);
        return double(whole) == number ? QString::number(whole) : QString::number(number, 'g', 17);
    }
    default:
        return {};
    }
}

QString JsonString(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"': out += QLatin1StringView("\\\""); break;
        case u'\\': out += QLatin1StringView("\\\\"); break;
        case u'\b': out += QLatin1StringView("\\b"); break;
        case u'\f': out += QLatin1StringView("\\f"); break;
        case u'\n': out += QLatin1StringView("\\n"); break;
        case u'\r': out += QLatin1StringView("\\r"); break;
        case u'\t': out += QLatin1StringView("\\t"); break;
        default:
            // Other control characters, and the two separators some readers take
            // for line ends.
            if (c.unicode() < 0x20 || c.unicode() == 0x2028 || c.unicode() == 0x2029)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

} // namespace cardolin
