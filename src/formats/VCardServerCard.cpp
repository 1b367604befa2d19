#include "formats/VCardServerCard.h"

#include "contacts/QorContacts.h"
#include "formats/VCard3Writer.h"
#include "formats/VCardMapping.h"
#include "formats/VCardProperties.h"
#include "support/ReadLimits.h"

#include <QHash>
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
// A photo at that bound, folded at 75 octets, takes some 220,000 lines; a card
// of more is empty lines or worse, and each line costs memory of its own.
constexpr qsizetype kMaxCardLines = qsizetype(1) << 19;

// ---- Cutting a card into its lines and properties ---------------------------

// One card's lines between BEGIN:VCARD and END:VCARD, each kept as the server
// wrote it (blank lines left out), with the same lines decoded.
struct CardText
{
    QByteArrayList raw;
    QStringList text;
    QByteArray begin = "BEGIN:VCARD", end = "END:VCARD";
    QByteArray lineEnd = "\r\n";
};

bool IsLine(const QString &line, QLatin1StringView text)
{
    return line.trimmed().compare(text, Qt::CaseInsensitive) == 0;
}

bool Fail(QString &error, const QString &why)
{
    error = why;
    return false;
}

// False with error set unless the bytes are exactly one card.
bool SplitCard(QByteArray bytes, CardText &card, QString &error)
{
    if (bytes.size() > kMaxCardBytes)
        return Fail(error, limits::TooLongMessage(QStringLiteral("The card"), kMaxCardBytes));
    if (bytes.count('\n') > kMaxCardLines)
        return Fail(error, QStringLiteral("The card has more than %1 lines (the most Cardolin reads).").arg(kMaxCardLines));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QByteArrayList all = bytes.split('\n');
    card.lineEnd = all.first().endsWith('\r') ? QByteArray("\r\n") : QByteArray("\n");
    enum { Before, Inside, After } state = Before;
    qsizetype properties = 0;
    for (QByteArray line : all) {
        if (line.endsWith('\r'))
            line.chop(1);
        const QString text = QString::fromUtf8(line);
        if (text.trimmed().isEmpty())
            continue;
        if (state == After || (state == Inside && IsLine(text, L("BEGIN:VCARD"))))
            return Fail(error, QStringLiteral("The text holds more than one vCard."));
        if (state == Before) {
            if (!IsLine(text, L("BEGIN:VCARD")))
                return Fail(error, QStringLiteral("The text is not a vCard."));
            card.begin = line;
            state = Inside;
        } else if (IsLine(text, L("END:VCARD"))) {
            card.end = line;
            state = After;
        } else {
            if (!line.startsWith(' ') && !line.startsWith('\t') && ++properties > limits::kMaxFieldsPerRecord)
                return Fail(error, QStringLiteral("The card has more than %1 properties (the most Cardolin reads).")
                                       .arg(limits::kMaxFieldsPerRecord));
            card.raw.append(line);
            card.text.append(text);
        }
    }
    if (state == Before)
        return Fail(error, QStringLiteral("The text is not a vCard."));
    if (state == Inside)
        return Fail(error, QStringLiteral("The card has no END:VCARD."));
    return true;
}

// One property of a card and the physical lines it was written on. Lines that
// hold no property (text before the first one) make an entry without one.
struct Entry
{
    qsizetype first = 0, count = 0;
    Property property;
    bool parsed = false;
};

QString VersionOf(const CardText &text)
{
    for (const QString &line : text.text)
        if (line.startsWith(L("VERSION:"), Qt::CaseInsensitive))
            return line.mid(8).trimmed();
    return QStringLiteral("2.1");
}

bool IsFolded(const QString &line)
{
    return line.startsWith(u' ') || line.startsWith(u'\t');
}

// Each property parsed on its own, so that it can be kept or replaced whole.
QList<Entry> Entries(const CardText &text, const QString &version)
{
    QList<Entry> entries;
    for (qsizetype i = 0; i < text.text.size(); ++i) {
        if (entries.isEmpty() || StartsProperty(text.text[i]))
            entries.append(Entry{i, 0, {}, false});
        ++entries.last().count;
    }
    // Most properties are one line or folded ones, unfolded here; the rest
    // (the folds of version 2.1 keep their blank, older writers continue on
    // plain lines) go to the parser as they are, after the card's version.
    const QString versionLine = L("VERSION:") + version;
    for (Entry &entry : entries) {
        bool folded = version != L("2.1");
        for (qsizetype i = entry.first + 1; i < entry.first + entry.count && folded; ++i)
            folded = IsFolded(text.text[i]);
        QString joined;
        QList<QStringView> lines{u"BEGIN:VCARD"};
        if (folded) {
            joined = text.text[entry.first];
            for (qsizetype i = entry.first + 1; i < entry.first + entry.count; ++i)
                joined += QStringView(text.text[i]).mid(1);
            lines.append(joined);
        } else {
            lines.append(versionLine);
            for (qsizetype i = entry.first; i < entry.first + entry.count; ++i)
                lines.append(text.text[i]);
        }
        const Card card = ParseCard(lines);
        const qsizetype at = folded ? 0 : 1;
        if (card.properties.size() == at + 1) {
            entry.property = card.properties[at];
            entry.parsed = true;
        }
    }
    return entries;
}

struct ParsedCard
{
    CardText text;
    QList<Entry> entries;
    Card card; // the parsed properties of the entries, in order
    QList<qsizetype> cardIndex; // entry -> its property in card, or -1
};

bool Parse(const QByteArray &bytes, ParsedCard &parsed, QString &error)
{
    if (!SplitCard(bytes, parsed.text, error))
        return false;
    parsed.card.version = VersionOf(parsed.text);
    parsed.entries = Entries(parsed.text, parsed.card.version);
    for (const Entry &entry : std::as_const(parsed.entries)) {
        parsed.cardIndex.append(entry.parsed ? parsed.card.properties.size() : -1);
        if (entry.parsed)
            parsed.card.properties.append(entry.property);
    }
    return true;
}

// The card parsed whole, as the file imports read cards: for reading only.
bool ParseWhole(const QByteArray &bytes, Card &card, QString &error)
{
    CardText text;
    if (!SplitCard(bytes, text, error))
        return false;
    QList<QStringView> lines{u"BEGIN:VCARD"};
    lines.reserve(text.text.size() + 2);
    for (const QString &line : std::as_const(text.text))
        lines.append(line);
    lines.append(u"END:VCARD");
    card = ParseCard(lines);
    return true;
}

QString UidOf(const Card &card)
{
    for (const Property &p : card.properties)
        if (p.name == L("UID"))
            return Text(card, p).trimmed();
    return {};
}

// ---- The fields a card carries ----------------------------------------------

const std::vector<const ContactField *> &ServerFields()
{
    static const std::vector<const ContactField *> fields = [] {
        std::vector<const ContactField *> result;
        for (const ContactField &field : ContactFields())
            if (IsServerCardField(field))
                result.push_back(&field);
        return result;
    }();
    return fields;
}

// A new record's values of the server's fields, with no default category.
std::unique_ptr<TContactData> Blank(const TQorContacts &book)
{
    auto blank = book.NewContactData();
    blank->Categories = TSortedStringList();
    return blank;
}

QString ValueText(const ContactField &field, const TContactData &contact)
{
    return std::visit(
        [&](auto member) -> QString {
            const auto &value = contact.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, QString>)
                return value;
            else if constexpr (std::is_same_v<T, QStringList>)
                return value.join(u'\n');
            else if constexpr (std::is_same_v<T, TSortedStringList>)
                return value.Entries().join(u'\n');
            else if constexpr (std::is_same_v<T, QByteArray>)
                return QString::fromLatin1(value.toHex());
            else
                return QString::number(value, 'g', 17);
        },
        field.member);
}

bool SameServerValues(const TContactData &a, const TContactData &b)
{
    for (const ContactField *field : ServerFields())
        if (!std::visit([&](auto member) { return a.*member == b.*member; }, field->member))
            return false;
    return a.Uid == b.Uid;
}

// ---- Patching ---------------------------------------------------------------

// What a property changed in the contact, as "Field=value" lines; lists name
// only the entries it added. Empty when it filled no field.
QString Change(const TContactData &before, const TContactData &after)
{
    QString change;
    for (const ContactField *field : ServerFields()) {
        QString value;
        if (field->kind == FieldKind::Lines) {
            const QStringList &was = FieldRef<QStringList>(before, *field), &is = FieldRef<QStringList>(after, *field);
            value = (is.mid(0, was.size()) == was ? is.mid(was.size()) : is).join(u'\n');
        } else if (field->kind == FieldKind::SortedList) {
            QStringList added;
            for (const QString &entry : FieldRef<TSortedStringList>(after, *field).Entries())
                if (!FieldRef<TSortedStringList>(before, *field).Entries().contains(entry))
                    added.append(entry);
            value = added.join(u'\n');
        } else if (!std::visit([&](auto member) { return before.*member == after.*member; }, field->member)) {
            value = ValueText(*field, after);
        }
        if (!value.isEmpty())
            change += field->name + u'=' + value + u'\n';
    }
    return change;
}

// The formatted name follows the names: it counts as changed when they did.
QString NamesOf(const TContactData &c)
{
    return QStringList{c.Title, c.FirstName, c.MiddleName, c.LastName, c.Suffix, c.Company}.join(u'\n');
}

// One property of the card being written, from the server's card or ours.
struct Piece
{
    QByteArrayList lines;
    QString name, group;
    bool fromBase = false;
};

struct Side
{
    ParsedCard parsed;
    QStringList meanings;

    Piece PieceOf(qsizetype i, bool fromBase) const
    {
        const Entry &e = parsed.entries[i];
        return {parsed.text.raw.mid(e.first, e.count), e.property.name, e.property.group, fromBase};
    }
};

// What each property says where it stands in its card: which fields it fills
// and with what. Two properties that say the same are interchangeable, so the
// server's own line is kept for a value that did not change.
void AddMeanings(Side &side, const TContactData &blank)
{
    const Card &card = side.parsed.card;
    QStringList byProperty(card.properties.size());
    TContactData whole = blank;
    MapCardFields(card, whole, [&](qsizetype i, const TContactData &before, const TContactData &after) {
        byProperty[i] = Change(before, after);
    });
    for (qsizetype i = 0; i < card.properties.size(); ++i) {
        const Property &p = card.properties[i];
        if (p.name == L("UID") || p.name == L("VERSION"))
            byProperty[i] = p.name + u'=' + Text(card, p).trimmed();
        else if (p.name == L("FN"))
            byProperty[i] = L("FN=") + NamesOf(whole);
    }
    for (qsizetype i = 0; i < side.parsed.entries.size(); ++i)
        side.meanings.append(side.parsed.cardIndex[i] < 0 ? QString() : byProperty[side.parsed.cardIndex[i]]);
}

// The properties of base the contact's fields own: those that fill a field
// (a value the reading found no field for stays, as do photos and whatever
// this program does not read), and every N, FN, UID, VERSION, BDAY,
// ANNIVERSARY and GENDER when ours has one, as a card holds one of each.
QList<bool> Owned(const Side &base, const Side &ours)
{
    static const QSet<QString> kSingle{QStringLiteral("N"),    QStringLiteral("FN"),          QStringLiteral("UID"),
                                       QStringLiteral("VERSION"), QStringLiteral("BDAY"), QStringLiteral("ANNIVERSARY"),
                                       QStringLiteral("GENDER")};
    QSet<QString> oursHas;
    for (const Property &p : ours.parsed.card.properties)
        oursHas.insert(p.name);
    QList<bool> owned;
    for (qsizetype i = 0; i < base.parsed.entries.size(); ++i) {
        const Entry &entry = base.parsed.entries[i];
        const QString &name = entry.property.name;
        owned.append(entry.parsed && ((kSingle.contains(name) && oursHas.contains(name)) || !base.meanings[i].isEmpty()));
    }
    return owned;
}

bool SameName(const Side &base, qsizetype i, const Side &ours, qsizetype j)
{
    return base.parsed.entries[i].property.name == ours.parsed.entries[j].property.name;
}

struct Layout
{
    QList<Piece> pieces;
    bool changed = false;
};

void InsertAfterItsKind(QList<Piece> &pieces, Piece piece)
{
    for (qsizetype i = pieces.size() - 1; i >= 0; --i)
        if (pieces[i].name == piece.name) {
            pieces.insert(i + 1, std::move(piece));
            return;
        }
    pieces.append(std::move(piece));
}

// An Apple label names the property of its group; once that property is gone
// from a group, its label goes too.
void DropOrphanLabels(QList<Piece> &pieces, const QSet<QString> &touchedGroups)
{
    QSet<QString> stillUsed;
    for (const Piece &piece : std::as_const(pieces))
        if (!piece.group.isEmpty() && piece.name != L("X-ABLABEL"))
            stillUsed.insert(piece.group);
    pieces.removeIf([&](const Piece &piece) {
        return piece.name == L("X-ABLABEL") && touchedGroups.contains(piece.group) && !stillUsed.contains(piece.group);
    });
}

// Keeps every line of base that says what ours says, puts each changed
// property of ours where base had one of its name, and drops the owned lines
// ours no longer has.
Layout Minimal(const Side &base, const Side &ours, const QList<bool> &owned)
{
    const qsizetype baseCount = base.parsed.entries.size(), ourCount = ours.parsed.entries.size();
    QList<qsizetype> takenBy(baseCount, -1); // base entry -> our entry it stands for or gives its place to
    QList<bool> kept(baseCount, false), placed(ourCount, false);
    for (qsizetype j = 0; j < ourCount; ++j)
        for (qsizetype i = 0; i < baseCount; ++i)
            if (owned[i] && takenBy[i] < 0 && base.meanings[i] == ours.meanings[j]
                && (!ours.meanings[j].isEmpty() || SameName(base, i, ours, j))) {
                takenBy[i] = j;
                kept[i] = placed[j] = true;
                break;
            }
    for (qsizetype j = 0; j < ourCount; ++j)
        for (qsizetype i = 0; i < baseCount && !placed[j]; ++i)
            if (owned[i] && takenBy[i] < 0 && SameName(base, i, ours, j)) {
                takenBy[i] = j;
                placed[j] = true;
            }
    Layout layout;
    QSet<QString> touchedGroups;
    for (qsizetype i = 0; i < baseCount; ++i) {
        if (!owned[i] || kept[i]) {
            layout.pieces.append(base.PieceOf(i, true));
            continue;
        }
        layout.changed = true;
        touchedGroups.insert(base.parsed.entries[i].property.group);
        if (takenBy[i] >= 0)
            layout.pieces.append(ours.PieceOf(takenBy[i], false));
    }
    for (qsizetype j = 0; j < ourCount; ++j)
        if (!placed[j]) {
            layout.changed = true;
            InsertAfterItsKind(layout.pieces, ours.PieceOf(j, false));
        }
    DropOrphanLabels(layout.pieces, touchedGroups);
    return layout;
}

// Every line of base the contact's fields do not own, and all of ours where
// the first owned line was.
Layout Plain(const Side &base, const Side &ours, const QList<bool> &owned)
{
    Layout layout;
    layout.changed = true;
    qsizetype at = -1;
    QSet<QString> touchedGroups;
    for (qsizetype i = 0; i < base.parsed.entries.size(); ++i) {
        if (!owned[i]) {
            layout.pieces.append(base.PieceOf(i, true));
        } else {
            touchedGroups.insert(base.parsed.entries[i].property.group);
            at = at < 0 ? layout.pieces.size() : at;
        }
    }
    at = at < 0 ? layout.pieces.size() : at;
    for (qsizetype j = 0; j < ours.parsed.entries.size(); ++j)
        layout.pieces.insert(at + j, ours.PieceOf(j, false));
    DropOrphanLabels(layout.pieces, touchedGroups);
    return layout;
}

// A changed card says when it changed, where the server's card said so before.
void StampRevision(Layout &layout, const TContactData &contact, bool v4)
{
    if (!layout.changed || contact.Modified == 0)
        return;
    for (Piece &piece : layout.pieces)
        if (piece.fromBase && piece.name == L("REV")) {
            const QByteArray group = piece.group.isEmpty() ? QByteArray() : piece.group.toUtf8() + '.';
            piece.lines = {group + "REV:" + RevisionStamp(contact.Modified, v4).toLatin1()};
        }
}

QByteArray Render(const CardText &base, const Layout &layout)
{
    QByteArray out = base.begin + base.lineEnd;
    for (const Piece &piece : layout.pieces)
        for (const QByteArray &line : piece.lines)
            out += line + base.lineEnd;
    return out + base.end + base.lineEnd;
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

// Our own card for the contact, without the revision stamp: that is the
// server's card's to keep.
bool OurSide(const QStringList &written, const TContactData &blank, Side &ours)
{
    QString error;
    if (!Parse(JoinLines(written), ours.parsed, error))
        return false;
    AddMeanings(ours, blank);
    for (qsizetype j = ours.parsed.entries.size() - 1; j >= 0; --j)
        if (ours.parsed.entries[j].property.name == L("REV")) {
            ours.parsed.entries.removeAt(j);
            ours.meanings.removeAt(j);
        }
    return true;
}

std::unique_ptr<TContactData> ReadBack(const TQorContacts &book, const QByteArray &text)
{
    auto contact = book.NewContactData();
    QString error;
    return ReadServerCard(book, text, *contact, error) ? std::move(contact) : nullptr;
}

} // namespace

bool ReadServerCard(const TQorContacts &book, const QByteArray &text, TContactData &contact, QString &error)
{
    Card card;
    if (!ParseWhole(text, card, error))
        return false;
    if (IsGroupCard(card))
        return Fail(error, QStringLiteral("The card is a group of contacts."));
    // The server's fields start over; what only this program keeps stays.
    const auto blank = Blank(book);
    for (const ContactField *field : ServerFields())
        CopyField(*field, *blank, contact);
    MapCardFields(card, contact);
    contact.Uid = UidOf(card);
    return true;
}

bool IsGroupCardText(const QByteArray &text)
{
    Card card;
    QString error;
    return ParseWhole(text, card, error) && IsGroupCard(card);
}

QString CardUid(const QByteArray &text)
{
    Card card;
    QString error;
    return ParseWhole(text, card, error) ? UidOf(card) : QString();
}

QByteArray PatchServerCard(const TQorContacts &book, const QByteArray &base, const TContactData &contact,
                           TCardVersion version)
{
    Side server;
    QString error;
    const bool hasBase = !base.isEmpty() && Parse(base, server.parsed, error);
    // A card keeps its version; a new one takes the address book's.
    const QString baseVersion = hasBase ? server.parsed.card.version : QString();
    const bool v4 = baseVersion == L("4.0") || (baseVersion != L("3.0") && version == TCardVersion::V4);
    const QStringList written = v4 ? WriteCard4(book, contact) : WriteCard3(book, contact);
    const auto blank = Blank(book);
    Side ours;
    if (!hasBase || !OurSide(written, *blank, ours))
        return JoinLines(written);
    AddMeanings(server, *blank);
    const QList<bool> owned = Owned(server, ours);
    Layout minimal = Minimal(server, ours, owned);
    Layout plain = Plain(server, ours, owned);
    StampRevision(minimal, contact, v4);
    StampRevision(plain, contact, v4);
    // Keeping the server's lines must not change what the card says; where the
    // properties of a card interact (a number that had no field takes a freed
    // one) the straightforward replacement is the safe one.
    const QByteArray kept = Render(server.parsed.text, minimal), replaced = Render(server.parsed.text, plain);
    const auto keptBack = ReadBack(book, kept), replacedBack = ReadBack(book, replaced);
    return keptBack && replacedBack && SameServerValues(*keptBack, *replacedBack) ? kept : replaced;
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
