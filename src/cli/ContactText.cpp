#include "cli/ContactText.h"

#include "contacts/ContactFields.h"

#include <algorithm>

namespace cardolin::cli {

namespace {

// Control characters in a name would break the one-line-per-contact promise or
// drive the terminal; they print as blanks.
QString Printable(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return out;
}

QString FieldText(const ContactField &field, const TContactData &contact)
{
    switch (field.kind) {
    case FieldKind::Text:
        return FieldRef<QString>(contact, field);
    case FieldKind::Date:
        return SerialToIsoDate(FieldRef<TDateTime>(contact, field));
    case FieldKind::DateTime:
        return SerialToIsoUtc(FieldRef<TDateTime>(contact, field));
    case FieldKind::Integer:
        if (const int number = FieldRef<int>(contact, field); number != 0)
            return QString::number(number);
        break;
    case FieldKind::Boolean:
        if (FieldRef<bool>(contact, field))
            return QStringLiteral("yes");
        break;
    case FieldKind::Lines: {
        const QStringList &lines = FieldRef<QStringList>(contact, field);
        // A list of nothing but empty entries has nothing to show.
        if (std::any_of(lines.begin(), lines.end(), [](const QString &line) { return !line.isEmpty(); }))
            return lines.join(QLatin1Char('\n'));
        break;
    }
    case FieldKind::SortedList: {
        QStringList entries = FieldRef<TSortedStringList>(contact, field).Entries();
        entries.removeAll(QString());
        return entries.join(QLatin1StringView("; "));
    }
    case FieldKind::Photo:
        break;
    }
    return {};
}

qsizetype LabelWidth()
{
    static const qsizetype width = [] {
        qsizetype longest = 0;
        for (const ContactField &field : ContactFields())
            longest = std::max(longest, field.name.size());
        return longest + 2; // room for ": "
    }();
    return width;
}

// "Name:" padded to a column; lines after the first line up under the first.
QString FieldLines(QLatin1StringView name, const QString &value)
{
    const QString indent(4, QLatin1Char(' '));
    const QString label = (name + QLatin1Char(':')).leftJustified(LabelWidth());
    const QString continuation = indent + QString(LabelWidth(), QLatin1Char(' '));
    QString text = value;
    text.replace(QLatin1StringView("\r\n"), QLatin1StringView("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = text.split(QLatin1Char('\n'));
    QString out;
    for (qsizetype i = 0; i < lines.size(); ++i)
        out += (i == 0 ? indent + label : continuation) + Printable(lines[i]) + QLatin1Char('\n');
    return out;
}

} // namespace

QString ListName(const TQorContacts &contacts, const TContactData &contact)
{
    return Printable(contacts.GetDisplayNameFromContactData(&contact, dtInherited));
}

QString ContactNames(const TQorContacts &contacts)
{
    QString out;
    for (const auto &contact : contacts.ContactDataList())
        out += ListName(contacts, *contact) + QLatin1Char('\n');
    return out;
}

QString ContactsToText(const TQorContacts &contacts)
{
    QString out;
    const TContactDataList &list = contacts.ContactDataList();
    for (size_t i = 0; i < list.size(); ++i) {
        const TContactData &contact = *list[i];
        if (i > 0)
            out += QLatin1Char('\n');
        out += QStringLiteral("[%1] %2\n").arg(i + 1).arg(ListName(contacts, contact));
        for (const ContactField &field : ContactFields())
            if (const QString value = FieldText(field, contact); !value.isEmpty())
                out += FieldLines(field.name, value);
    }
    return out;
}

} // namespace cardolin::cli
