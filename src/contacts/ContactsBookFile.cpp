#include "contacts/ContactsBookFile.h"

#include "contacts/ContactFields.h"
#include "contacts/QorContacts.h"
#include "contacts/VocabularyGrower.h"

#include <QHash>
#include <QIODevice>
#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <array>

namespace cardolin::bookfile {

namespace {

// Records between two reports of progress on large books.
constexpr int kProgressStep = 2048;

const QString kContactsElement = QStringLiteral("QorContacts");
const QString kContactElement = QStringLiteral("QorContact");
const QChar kNotesSeparator = QChar(0x00A4); // "¤"
const QChar kListSeparator = QLatin1Char(';');

// The stored fields in the order a book writes them: the record's order without
// the transient fields, except that Initials comes before Nickname.
constexpr std::array<const char *, 76> kStoredFieldNames{
    "Title", "FirstName", "MiddleName", "LastName", "Suffix", "Initials", "Nickname", "Language",
    "Preferred", "LastVisit", "VisitCount", "Company", "Department", "JobTitle", "Role", "WorkStreet",
    "WorkPOBox", "WorkCity", "WorkPostalCode", "WorkStateProvince", "WorkCountryRegion",
    "WorkCoordinates", "WorkCoordinatesUpdated", "WorkPhone", "WorkFax", "WorkMobilePhone", "WorkPager",
    "WorkEmail", "WorkIM", "WorkWebsite", "WorkLocation", "HomeStreet", "HomePOBox", "HomeCity",
    "HomePostalCode", "HomeStateProvince", "HomeCountryRegion", "HomeCoordinates",
    "HomeCoordinatesUpdated", "HomePhone", "HomeFax", "PersonalMobilePhone", "PersonalPager",
    "PersonalEmail", "PersonalIM", "PersonalWebsite", "HomeLocation", "Gender", "Birthday",
    "SignificantOther", "Anniversary", "OtherStreet", "OtherPOBox", "OtherCity", "OtherPostalCode",
    "OtherStateProvince", "OtherCountryRegion", "OtherCoordinates", "OtherCoordinatesUpdated",
    "OtherPhone", "OtherFax", "OtherMobilePhone", "OtherPager", "OtherEmail", "OtherIM", "OtherWebsite",
    "OtherLocation", "Notes", "Categories", "Keywords", "Priority", "Sensitivity", "Created", "Modified",
    "Accessed", "Synced"};

using StoredFields = std::array<const ContactField *, kStoredFieldNames.size()>;

const StoredFields &Stored()
{
    static const StoredFields fields = [] {
        StoredFields result{};
        for (size_t i = 0; i < kStoredFieldNames.size(); ++i)
            result[i] = FindContactField(QString::fromLatin1(kStoredFieldNames[i]));
        return result;
    }();
    return fields;
}

// ---- writing ---------------------------------------------------------------

// XML 1.0 cannot carry most control characters, not even escaped; a field that
// holds one (pasted from elsewhere) would make the whole book unreadable, so
// they are left out of the file.
QString XmlSafe(const QString &text)
{
    QList<uint> kept = text.toUcs4();
    kept.removeIf([](uint c) {
        const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF)
                             || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
        return !allowed;
    });
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(kept.constData()), kept.size());
}

bool IsPlainXml(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.isSurrogate() || c.unicode() >= 0xFFFE)
            return false;
    return true;
}

void WriteAttribute(QXmlStreamWriter &xml, QLatin1StringView name, const QString &value)
{
    xml.writeAttribute(name, IsPlainXml(value) ? value : XmlSafe(value));
}

// Only four-digit years can be read back; a date beyond them (set by some import)
// is left out rather than making the whole book unreadable.
bool Writable(TDateTime serial)
{
    const QDate date = SerialToDate(serial);
    return date.isValid() && date.year() >= 1 && date.year() <= 9999;
}

void WriteField(QXmlStreamWriter &xml, const ContactField &field, const TContactData &contact)
{
    switch (field.kind) {
    case FieldKind::Text:
        if (const QString &text = FieldRef<QString>(contact, field); !text.isEmpty())
            WriteAttribute(xml, field.name, text);
        break;
    case FieldKind::Date:
        if (const TDateTime date = FieldRef<TDateTime>(contact, field); date != 0 && Writable(date))
            xml.writeAttribute(field.name, SerialToIsoDate(date));
        break;
    case FieldKind::DateTime:
        if (const TDateTime stamp = FieldRef<TDateTime>(contact, field); stamp != 0 && Writable(stamp))
            xml.writeAttribute(field.name, SerialToIsoUtc(stamp));
        break;
    case FieldKind::Integer:
        xml.writeAttribute(field.name, QString::number(FieldRef<int>(contact, field)));
        break;
    case FieldKind::Lines:
        if (const QStringList &lines = FieldRef<QStringList>(contact, field); !lines.isEmpty())
            WriteAttribute(xml, field.name, lines.join(kNotesSeparator));
        break;
    case FieldKind::SortedList:
        if (const auto &list = FieldRef<TSortedStringList>(contact, field); !list.IsEmpty())
            WriteAttribute(xml, field.name, list.Entries().join(kListSeparator));
        break;
    case FieldKind::Boolean:
    case FieldKind::Photo:
        break; // transient, never stored
    }
}

} // namespace

bool Write(const TQorContacts &contacts, QIODevice &device)
{
    QXmlStreamWriter xml(&device);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(4);
    xml.writeStartDocument(QStringLiteral("1.0"));
    xml.writeStartElement(TQorContacts::RootElementName());
    xml.writeStartElement(kContactsElement);
    // The window shows how far a long save has come.
    TQorContacts &reporter = const_cast<TQorContacts &>(contacts);
    const int count = int(contacts.ContactDataList().size());
    int written = 0;
    for (const auto &contact : contacts.ContactDataList()) {
        if (written++ % kProgressStep == 0)
            reporter.ReportProgress(0, count, written);
        xml.writeEmptyElement(kContactElement);
        for (const ContactField *field : Stored())
            WriteField(xml, *field, *contact);
        if (xml.hasError())
            return false; // the device failed; no point writing the rest
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError();
}

// ---- reading ---------------------------------------------------------------

namespace {

bool ToNumber(QStringView digits, int &value)
{
    // Digits only, read in one pass; nine of them cannot overflow.
    if (digits.isEmpty() || digits.size() > 9)
        return false;
    value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c.unicode() - u'0');
    }
    return true;
}

// Books write four-digit years; anything outside could not be read back.
bool InWrittenRange(QDate date)
{
    return date.year() >= 1 && date.year() <= 9999;
}

// "yyyy-m-d": three numbers joined by hyphens.
bool ParseHyphenDate(QStringView text, QDate &date)
{
    const auto parts = text.split(u'-');
    int y = 0, m = 0, d = 0;
    if (parts.size() != 3 || !ToNumber(parts[0], y) || !ToNumber(parts[1], m) || !ToNumber(parts[2], d))
        return false;
    date = QDate(y, m, d);
    return date.isValid() && InWrittenRange(date);
}

bool ParseFixedDate(QStringView text, QDate &date)
{
    // "yyyymmdd" or "yyyy-mm-dd", read by position.
    const qsizetype hyphens = text.count(u'-');
    int y = 0, m = 0, d = 0;
    bool ok = false;
    if (hyphens == 0)
        ok = ToNumber(text.mid(0, 4), y) && ToNumber(text.mid(4, 2), m) && ToNumber(text.mid(6, 2), d);
    else if (hyphens == 2)
        ok = ToNumber(text.mid(0, 4), y) && ToNumber(text.mid(5, 2), m) && ToNumber(text.mid(8, 2), d);
    date = QDate(y, m, d);
    return ok && date.isValid() && y >= 1;
}

bool ParseFixedTime(QStringView text, QTime &time)
{
    // "hhnnss" or "hh:nn:ss", read by position.
    const qsizetype colons = text.count(u':');
    int h = 0, n = 0, s = 0;
    bool ok = false;
    if (colons == 0)
        ok = ToNumber(text.mid(0, 2), h) && ToNumber(text.mid(2, 2), n) && ToNumber(text.mid(4, 2), s);
    else if (colons == 2)
        ok = ToNumber(text.mid(0, 2), h) && ToNumber(text.mid(3, 2), n) && ToNumber(text.mid(6, 2), s);
    time = QTime(h, n, s);
    return ok && time.isValid();
}

// "2020-01-02T03:04:05Z" or "20200102T030405Z", in UTC.
bool ParseUtcStamp(QStringView text, TDateTime &value)
{
    const qsizetype z = text.indexOf(u'Z');
    const qsizetype t = text.indexOf(u'T');
    const QStringView datePart = t >= 0 ? text.left(t) : text.left(z);
    const QStringView timePart = t >= 0 && t < z ? text.mid(t + 1, z - t - 1) : QStringView();
    if (t > z)
        return false;
    double days = 0;
    if (!datePart.isEmpty()) {
        QDate date;
        if (!ParseFixedDate(datePart, date))
            return false;
        days = DateToSerial(date);
    }
    QTime time(0, 0);
    if (!timePart.isEmpty() && !ParseFixedTime(timePart, time))
        return false;
    const double fraction = time.msecsSinceStartOfDay() / 86400000.0;
    value = days < 0 ? days - fraction : days + fraction;
    return true;
}

// Older books wrote local time as "2020-01-02 03:04:05". It is turned into UTC with
// the offset that applied at that moment, so a summer stamp read in winter does
// not shift by an hour.
bool ParseLegacyLocalStamp(QStringView text, TDateTime &value)
{
    const auto parts = text.trimmed().split(u' ', Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 2)
        return false;
    QDate date;
    if (!ParseHyphenDate(parts[0], date))
        return false;
    QTime time(0, 0);
    if (parts.size() == 2) {
        const auto hms = parts[1].split(u':');
        int h = 0, n = 0, s = 0;
        if (hms.size() != 3 || !ToNumber(hms[0], h) || !ToNumber(hms[1], n) || !ToNumber(hms[2], s))
            return false;
        time = QTime(h, n, s);
        if (!time.isValid())
            return false;
    }
    const QDateTime utc = QDateTime(date, time, Qt::LocalTime).toUTC();
    if (!utc.isValid() || !InWrittenRange(utc.date()))
        return false;
    value = DateTimeToSerial(utc);
    return true;
}

bool ParseStamp(QStringView text, TDateTime &value)
{
    return text.contains(u'Z') ? ParseUtcStamp(text, value) : ParseLegacyLocalStamp(text, value);
}

// The stored fields' names, in the order a book writes them.
const QStringList &Names()
{
    static const QStringList names = [] {
        QStringList result;
        for (const ContactField *field : Stored())
            result.append(field->name);
        return result;
    }();
    return names;
}

class BookReader
{
public:
    BookReader(QIODevice &device, TQorContacts &contacts)
        : m_read(0), m_xml(&device), m_contacts(contacts), m_categories(contacts.Categories()),
          m_keywords(contacts.Keywords())
    {
        for (qsizetype i = 0; i < Names().size(); ++i)
            m_slotOf.insert(QStringView(Names()[i]), int(i));
    }

    bool Run(QString &error)
    {
        const bool ok = Walk();
        // The vocabularies learn from every record read, even when a fault stopped us.
        if (m_categories.Grown())
            m_contacts.SetCategories(m_categories.Entries());
        if (m_keywords.Grown())
            m_contacts.SetKeywords(m_keywords.Entries());
        if (!ok)
            error = m_error;
        return ok;
    }

private:
    bool Walk()
    {
        bool inRoot = false;
        while (!m_xml.atEnd()) {
            if (m_xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (!inRoot) {
                inRoot = true; // the root's name does not matter
                continue;
            }
            if (m_xml.name() != kContactElement)
                continue;
            if (!ReadContact())
                return false;
            if (++m_read % kProgressStep == 0)
                ReportPosition();
        }
        if (m_xml.hasError())
            return Fail(m_xml.errorString());
        if (!inRoot)
            return Fail(QStringLiteral("the file holds no XML element"));
        return true;
    }

    // How far into the file, in thousandths, for the window's progress bar.
    void ReportPosition()
    {
        const QIODevice *device = m_xml.device();
        const qint64 size = device->size();
        if (size > 0)
            m_contacts.ReportProgress(0, 1000, int(1000 * device->pos() / size));
    }

    bool ReadContact()
    {
        TContactData &contact = *m_contacts.CreateContactData();
        std::array<QStringView, kStoredFieldNames.size()> values{};
        std::array<bool, kStoredFieldNames.size()> present{};
        const QXmlStreamAttributes attributes = m_xml.attributes();
        // Books list the attributes in field order, so the next field is tried
        // before the name table.
        const QStringList &names = Names();
        qsizetype next = 0;
        for (const QXmlStreamAttribute &attribute : attributes) {
            const QStringView name = attribute.qualifiedName();
            qsizetype slot = next < names.size() && names[next] == name ? next : -1;
            if (slot < 0) {
                const auto found = m_slotOf.constFind(name);
                if (found == m_slotOf.cend())
                    continue;
                slot = *found;
            }
            next = slot + 1;
            values[size_t(slot)] = attribute.value();
            present[size_t(slot)] = true;
        }
        const StoredFields &stored = Stored();
        for (size_t i = 0; i < stored.size(); ++i)
            if (!ReadField(*stored[i], present[i], values[i], contact))
                return false;
        m_categories.Add(contact.Categories);
        m_keywords.Add(contact.Keywords);
        return true;
    }

    bool ReadField(const ContactField &field, bool present, QStringView value, TContactData &contact)
    {
        switch (field.kind) {
        case FieldKind::Text:
            FieldRef<QString>(contact, field) = value.toString();
            return true;
        case FieldKind::Lines:
            FieldRef<QStringList>(contact, field) = value.toString().split(kNotesSeparator);
            return true;
        case FieldKind::SortedList: {
            auto &list = FieldRef<TSortedStringList>(contact, field);
            list.Clear();
            for (QStringView piece : value.split(kListSeparator))
                list.Add(piece.toString());
            return true;
        }
        default:
            break;
        }
        if (!present || value.isEmpty())
            return true; // the record keeps what CreateContactData gave it
        switch (field.kind) {
        case FieldKind::Date: {
            QDate date;
            if (!ParseHyphenDate(value, date))
                return BadValue(field, value, QStringLiteral("is not a date"));
            FieldRef<TDateTime>(contact, field) = DateToSerial(date);
            return true;
        }
        case FieldKind::DateTime:
            if (!ParseStamp(value, FieldRef<TDateTime>(contact, field)))
                return BadValue(field, value, QStringLiteral("is not a time stamp"));
            return true;
        case FieldKind::Integer: {
            bool ok = false;
            const int number = value.trimmed().toInt(&ok);
            if (!ok)
                return BadValue(field, value, QStringLiteral("is not a whole number"));
            FieldRef<int>(contact, field) = number;
            return true;
        }
        default:
            return true;
        }
    }

    bool BadValue(const ContactField &field, QStringView value, const QString &why)
    {
        return Fail(QStringLiteral("%1 \"%2\" %3").arg(field.name, value.left(100), why));
    }

    bool Fail(const QString &why)
    {
        m_error = QStringLiteral("line %1: %2").arg(m_xml.lineNumber()).arg(why);
        return false;
    }

    int m_read;
    QXmlStreamReader m_xml;
    TQorContacts &m_contacts;
    VocabularyGrower m_categories;
    VocabularyGrower m_keywords;
    QHash<QStringView, int> m_slotOf; // attribute name -> stored field
    QString m_error;
};

} // namespace

bool Read(QIODevice &device, TQorContacts &contacts, QString &error)
{
    return BookReader(device, contacts).Run(error);
}

bool ParseUtcStampText(QStringView text, double &value)
{
    return ParseUtcStamp(text, value);
}

} // namespace cardolin::bookfile
