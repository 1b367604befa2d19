#include "formats/VCardServerCard.h"

#include "contacts/QorContacts.h"
#include "formats/VCard3Writer.h"
#include "formats/VCardMapping.h"
#include "formats/VCardProperties.h"
#include "support/ReadLimits.h"

#include <QSet>

namespace cardolin::vcard {

namespace {

constexpr QLatin1StringView L(const char *text)
{
    return QLatin1StringView(text);
}

// A server's card with a photo is a few megabytes; anything beyond the bound
// of one value is refused before it is cut into lines.
constexpr qsizetype kMaxCardBytes = limits::kMaxValueBytes;

// The physical lines of one card, checked to be exactly one card.
struct CardLines
{
    QStringList lines;
    QString error;
};

bool IsBlankLine(const QString &line)
{
    return line.trimmed().isEmpty();
}

bool IsLine(const QString &line, QLatin1StringView text)
{
    return line.trimmed().compare(text, Qt::CaseInsensitive) == 0;
}

CardLines SplitCard(const QByteArray &text)
{
    CardLines card;
    if (text.size() > kMaxCardBytes) {
        card.error = limits::TooLongMessage(QStringLiteral("The card"), kMaxCardBytes);
        return card;
    }
    QStringList all = QString::fromUtf8(text).split(u'\n');
    for (QString &line : all)
        if (line.endsWith(u'\r'))
            line.chop(1);
    qsizetype first = 0;
    while (first < all.size() && IsBlankLine(all[first]))
        ++first;
    if (first == all.size() || !IsLine(all[first], L("BEGIN:VCARD"))) {
        card.error = QStringLiteral("The text is not a vCard.");
        return card;
    }
    qsizetype properties = 0;
    for (qsizetype i = first + 1; i < all.size(); ++i) {
        const QString &line = all[i];
        if (IsLine(line, L("BEGIN:VCARD"))) {
            card.error = QStringLiteral("The text holds more than one vCard.");
            return card;
        }
        if (!line.startsWith(u' ') && !line.startsWith(u'\t') && ++properties > limits::kMaxFieldsPerRecord) {
            card.error = QStringLiteral("The card has more than %1 properties (the most Cardolin reads).")
                             .arg(limits::kMaxFieldsPerRecord);
            return card;
        }
        if (!IsLine(line, L("END:VCARD")))
            continue;
        for (qsizetype rest = i + 1; rest < all.size(); ++rest)
            if (!IsBlankLine(all[rest])) {
                card.error = QStringLiteral("The text holds more than one vCard.");
                return card;
            }
        card.lines = all.mid(first, i - first + 1);
        return card;
    }
    card.error = QStringLiteral("The card has no END:VCARD.");
    return card;
}

QList<QStringView> Views(const QStringList &lines)
{
    QList<QStringView> views;
    views.reserve(lines.size());
    for (const QString &line : lines)
        views.append(line);
    return views;
}

// The card cut into properties; empty with error set when it is not one card.
bool ParseOne(const QByteArray &text, Card &card, QString &error)
{
    const CardLines lines = SplitCard(text);
    if (!lines.error.isEmpty()) {
        error = lines.error;
        return false;
    }
    card = ParseCard(Views(lines.lines));
    return true;
}

QString UidOf(const Card &card)
{
    for (const Property &p : card.properties)
        if (p.name == L("UID"))
            return Text(card, p).trimmed();
    return {};
}

// The server's fields of contact set back to those of a new record, so that a
// card read over an older version leaves nothing of it behind.
void ClearServerFields(const TQorContacts &book, TContactData &contact)
{
    auto blank = book.NewContactData();
    blank->Categories = TSortedStringList();
    for (const ContactField &field : ContactFields())
        if (IsServerCardField(field))
            CopyField(field, *blank, contact);
}

QByteArray JoinLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
        out += line.toUtf8();
        out += "\r\n";
    }
    return out;
}

} // namespace

bool ReadServerCard(const TQorContacts &book, const QByteArray &text, TContactData &contact, QString &error)
{
    Card card;
    if (!ParseOne(text, card, error))
        return false;
    if (IsGroupCard(card)) {
        error = QStringLiteral("The card is a group of contacts.");
        return false;
    }
    ClearServerFields(book, contact);
    MapCardFields(card, contact);
    contact.Uid = UidOf(card);
    return true;
}

bool IsGroupCardText(const QByteArray &text)
{
    Card card;
    QString error;
    return ParseOne(text, card, error) && IsGroupCard(card);
}

QString CardUid(const QByteArray &text)
{
    Card card;
    QString error;
    return ParseOne(text, card, error) ? UidOf(card) : QString();
}

QByteArray PatchServerCard(const TQorContacts &book, const QByteArray &base, const TContactData &contact,
                           TCardVersion version)
{
    Q_UNUSED(base);
    Q_UNUSED(version);
    QStringList lines = WriteCard3(book, contact);
    if (!contact.Uid.isEmpty())
        lines.insert(2, L("UID:") + contact.Uid);
    return JoinLines(lines);
}

bool IsServerCardField(const ContactField &field)
{
    // Fields no card carries, and those that describe this record rather than
    // the person.
    static const QSet<QString> kLocalOnly = [] {
        QSet<QString> names;
        for (const char *name : {"Initials", "WorkLocation", "HomeLocation", "OtherLocation", "Keywords", "Priority",
                                 "Sensitivity", "LastVisit", "VisitCount", "Photo", "Created", "Modified", "Accessed",
                                 "Synced", "Exportable", "ExportableOverride", "Uid"})
            names.insert(QString::fromLatin1(name));
        return names;
    }();
    return !IsCoordinateOrAccountField(field) && !field.name.contains(L("Coordinates"))
           && !kLocalOnly.contains(QString(field.name));
}

} // namespace cardolin::vcard
