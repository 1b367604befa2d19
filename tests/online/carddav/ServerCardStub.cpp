// Stand-in for the server card reader until it lands on main.
#include "formats/VCardServerCard.h"

#include <QRegularExpression>
#include <QSet>

namespace cardolin::vcard {

namespace {
QString Name(const QString &line)
{
    const qsizetype end = line.indexOf(QRegularExpression(QStringLiteral("[;:]")));
    return line.left(end).toUpper();
}
QString Value(const QString &line)
{
    return line.mid(line.indexOf(u':') + 1);
}
const QSet<QString> kMapped{QStringLiteral("N"), QStringLiteral("FN"), QStringLiteral("ORG"), QStringLiteral("TEL"),
                            QStringLiteral("EMAIL"), QStringLiteral("NOTE"), QStringLiteral("UID"),
                            QStringLiteral("VERSION")};
} // namespace

bool ReadServerCard(const TQorContacts &, const QByteArray &text, TContactData &c, QString &error)
{
    const QStringList lines = QString::fromUtf8(text).split(QStringLiteral("\r\n"));
    if (!text.startsWith("BEGIN:VCARD")) {
        error = QStringLiteral("not a card");
        return false;
    }
    c.FirstName = c.LastName = c.Company = c.WorkPhone = c.HomePhone = c.PersonalEmail = QString();
    c.Notes.clear();
    for (const QString &line : lines) {
        const QString name = Name(line);
        if (name == u"N") {
            const QStringList parts = Value(line).split(u';');
            c.LastName = parts.value(0);
            c.FirstName = parts.value(1);
        } else if (name == u"ORG")
            c.Company = Value(line);
        else if (line.startsWith(u"TEL;TYPE=WORK"))
            c.WorkPhone = Value(line);
        else if (line.startsWith(u"TEL;TYPE=HOME"))
            c.HomePhone = Value(line);
        else if (name == u"EMAIL")
            c.PersonalEmail = Value(line);
        else if (name == u"NOTE")
            c.Notes = Value(line).split(QStringLiteral("\\n"));
    }
    return true;
}

bool IsGroupCardText(const QByteArray &text)
{
    return text.contains("KIND:group");
}

QString CardUid(const QByteArray &text)
{
    for (const QString &line : QString::fromUtf8(text).split(QStringLiteral("\r\n")))
        if (Name(line) == u"UID")
            return Value(line);
    return {};
}

QByteArray PatchServerCard(const TQorContacts &, const QByteArray &base, const TContactData &c, TCardVersion version)
{
    QStringList kept;
    for (const QString &line : QString::fromUtf8(base).split(QStringLiteral("\r\n")))
        if (!line.isEmpty() && !kMapped.contains(Name(line)) && line != u"BEGIN:VCARD" && line != u"END:VCARD")
            kept.append(line);
    QStringList out{QStringLiteral("BEGIN:VCARD"), version == TCardVersion::V4 ? QStringLiteral("VERSION:4.0") : QStringLiteral("VERSION:3.0"),
                    QStringLiteral("UID:") + c.Uid, QStringLiteral("N:%1;%2;;;").arg(c.LastName, c.FirstName),
                    QStringLiteral("FN:%1 %2").arg(c.FirstName, c.LastName)};
    if (!c.Company.isEmpty())
        out.append(QStringLiteral("ORG:") + c.Company);
    if (!c.WorkPhone.isEmpty())
        out.append(QStringLiteral("TEL;TYPE=WORK:") + c.WorkPhone);
    if (!c.HomePhone.isEmpty())
        out.append(QStringLiteral("TEL;TYPE=HOME:") + c.HomePhone);
    if (!c.PersonalEmail.isEmpty())
        out.append(QStringLiteral("EMAIL:") + c.PersonalEmail);
    if (HasEntries(c.Notes))
        out.append(QStringLiteral("NOTE:") + c.Notes.join(QStringLiteral("\\n")));
    out += kept;
    out.append(QStringLiteral("END:VCARD"));
    return (out.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

bool IsServerCardField(const ContactField &field)
{
    static const QSet<QString> names{QStringLiteral("FirstName"), QStringLiteral("LastName"),
                                     QStringLiteral("Company"),   QStringLiteral("WorkPhone"),
                                     QStringLiteral("HomePhone"), QStringLiteral("PersonalEmail"),
                                     QStringLiteral("Notes")};
    return names.contains(QString(field.name));
}

} // namespace cardolin::vcard
