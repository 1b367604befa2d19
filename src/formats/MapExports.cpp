#include "contacts/QorContacts.h"
#include "formats/TextFiles.h"
#include "support/UserPrompts.h"

#include <QXmlStreamWriter>

#include <array>

namespace cardolin {

namespace {

constexpr QLatin1StringView L(const char *text)
{
    return QLatin1StringView(text);
}

// The fields of the one location a map shows for a contact.
struct MapLocation
{
    TLocationType type;
    QString street, city, state, postalCode, country, phone, email, website, coordinates;
};

MapLocation Work(const TContactData &c)
{
    return {ltWork, c.WorkStreet, c.WorkCity, c.WorkStateProvince, c.WorkPostalCode, c.WorkCountryRegion,
            c.WorkPhone.isEmpty() ? c.WorkMobilePhone : c.WorkPhone, c.WorkEmail, c.WorkWebsite, c.WorkCoordinates};
}

MapLocation Home(const TContactData &c)
{
    return {ltPersonal, c.HomeStreet, c.HomeCity, c.HomeStateProvince, c.HomePostalCode, c.HomeCountryRegion,
            c.HomePhone.isEmpty() ? c.PersonalMobilePhone : c.HomePhone, c.PersonalEmail, c.PersonalWebsite,
            c.HomeCoordinates};
}

MapLocation Other(const TContactData &c)
{
    return {ltOther, c.OtherStreet, c.OtherCity, c.OtherStateProvince, c.OtherPostalCode, c.OtherCountryRegion,
            c.OtherPhone.isEmpty() ? c.OtherMobilePhone : c.OtherPhone, c.OtherEmail, c.OtherWebsite,
            c.OtherCoordinates};
}

bool HasPlace(const MapLocation &l)
{
    return !(l.street.isEmpty() && l.city.isEmpty() && l.state.isEmpty() && l.country.isEmpty());
}

MapLocation ChooseLocation(const TContactData &c)
{
    if (c.Preferred == L("Work"))
        return Work(c);
    if (c.Preferred == L("Personal"))
        return Home(c);
    if (c.Preferred == L("Other"))
        return Other(c);
    for (const MapLocation &l : {Work(c), Home(c), Other(c)})
        if (HasPlace(l))
            return l;
    return Work(c);
}

// 0 low, 1 normal, 2 high; any other priority counts as normal.
int PriorityIndex(const QString &priority)
{
    return priority == L("Low") ? 0 : priority == L("High") ? 2 : 1;
}

// ---- Delimited text --------------------------------------------------------

QString QuoteField(const QString &text)
{
    return u'"' + QString(text).replace(u'"', L("\"\"")) + u'"';
}

QString QuoteFieldIfContains(const QString &text, QChar separator)
{
    return text.contains(separator) ? QuoteField(text) : text;
}

// Tabs separate BatchGeo's fields and are never quoted, so one inside a value
// would shift every column after it.
QString TabFree(const QString &text)
{
    return QString(text).replace(u'\t', u' ');
}

void AppendZeeMapsNotes(QStringList &lines, QString record, const QStringList &notes)
{
    if (notes.size() <= 1) {
        lines.append(record + (notes.isEmpty() ? QString() : QuoteField(notes.first())));
        return;
    }
    // A quoted field over several physical lines, one line per entry.
    lines.append(record + u'"' + QString(notes.first()).replace(u'"', L("\"\"")));
    for (qsizetype i = 1; i < notes.size(); ++i)
        lines.append(QString(notes[i]).replace(u'"', L("\"\"")) + (i + 1 == notes.size() ? L("\"") : L("")));
}

template<typename RecordFn>
int ExportDelimited(TQorContacts &contacts, const QString &fileName, const QString &header, RecordFn record)
{
    BusyCursor busy(contacts.Prompts());
    QStringList lines{header};
    int written = 0;
    const auto &list = contacts.ContactDataList();
    const int count = int(list.size());
    for (int i = 0; i < count; ++i) {
        contacts.ReportProgress(0, count - 1, i);
        if (!list[size_t(i)]->Exportable)
            continue;
        record(lines, *list[size_t(i)]);
        ++written;
    }
    if (const QString error = textfile::SaveLines(fileName, lines, textfile::Encoding::Utf8WithBom);
        !error.isEmpty()) {
        contacts.Prompts().ShowError(error);
        return 0;
    }
    return written;
}

// ---- KML -------------------------------------------------------------------

const std::array<QLatin1StringView, 3> kStyleIds{L("LowPriorityMarker"), L("NormalPriorityMarker"),
                                                 L("HighPriorityMarker")};

// An unset colour would name an icon that does not exist; blue is the default
// the options offer.
QString MarkerIcon(const QString &color)
{
    return QStringLiteral("https://maps.google.com/intl/en_us/mapfiles/ms/icons/")
           + (color.isEmpty() ? QStringLiteral("blue") : color) + QStringLiteral("-dot.png");
}

void WriteStyles(QXmlStreamWriter &xml, const TQorContacts &contacts)
{
    const std::array<QString, 3> colors{contacts.GoogleEarthLowPriorityMarkerColor(),
                                        contacts.GoogleEarthNormalPriorityMarkerColor(),
                                        contacts.GoogleEarthHighPriorityMarkerColor()};
    for (size_t i = 0; i < kStyleIds.size(); ++i) {
        xml.writeStartElement(QStringLiteral("Style"));
        xml.writeAttribute(QStringLiteral("id"), kStyleIds[i]);
        xml.writeStartElement(QStringLiteral("IconStyle"));
        xml.writeStartElement(QStringLiteral("Icon"));
        xml.writeTextElement(QStringLiteral("href"), MarkerIcon(colors[i]));
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
    }
}

void WritePlacemark(QXmlStreamWriter &xml, const TQorContacts &contacts, const TContactData &c,
                    const MapLocation &location)
{
    QStringList summary;
    contacts.BuildContactDataPlaceSummary(&c, location.type, summary);
    xml.writeStartElement(QStringLiteral("Placemark"));
    xml.writeTextElement(QStringLiteral("name"), contacts.GetDisplayNameFromContactData(&c, dtInherited));
    xml.writeTextElement(QStringLiteral("description"), summary.join(L("\r\n")));
    xml.writeTextElement(QStringLiteral("styleUrl"), u'#' + kStyleIds[size_t(PriorityIndex(c.Priority))]);
    xml.writeStartElement(QStringLiteral("Point"));
    xml.writeTextElement(QStringLiteral("coordinates"), location.coordinates);
    xml.writeEndElement();
    xml.writeEndElement();
}

} // namespace

int TQorContacts::ExportToBatchGeoCSVFile(const QString &FileName)
{
    const QString groups[] = {BatchGeoLowPriorityMarkerGroup(), BatchGeoNormalPriorityMarkerGroup(),
                              BatchGeoHighPriorityMarkerGroup()};
    return ExportDelimited(
        *this, FileName, QStringLiteral("Address\tCity\tState\tZip\tName\tGroup\tPhone\tEmail\tURL"),
        [&](QStringList &lines, const TContactData &c) {
            const MapLocation l = ChooseLocation(c);
            const QStringList fields{l.street, l.city, l.state, l.postalCode,
                                     GetDisplayNameFromContactData(&c, dtInherited),
                                     groups[PriorityIndex(c.Priority)], l.phone, l.email, l.website};
            QStringList clean;
            for (const QString &field : fields)
                clean.append(TabFree(field));
            lines.append(clean.join(u'\t'));
        });
}

int TQorContacts::ExportToZeeMapsCSVFile(const QString &FileName)
{
    const QString colors[] = {ZeeMapsLowPriorityMarkerColor(), ZeeMapsNormalPriorityMarkerColor(),
                              ZeeMapsHighPriorityMarkerColor()};
    return ExportDelimited(
        *this, FileName, QStringLiteral("Name,Street,City,State,Country,Zipcode,Color,Email,Phone,Website,Notes"),
        [&](QStringList &lines, const TContactData &c) {
            const MapLocation l = ChooseLocation(c);
            const bool known = c.Priority == L("Low") || c.Priority == L("Normal") || c.Priority == L("High");
            const QString color = known ? colors[PriorityIndex(c.Priority)] : QStringLiteral("red");
            QString record;
            for (const QString &field : {GetDisplayNameFromContactData(&c, dtInherited), l.street, l.city, l.state,
                                         l.country, l.postalCode, color, l.email, l.phone, l.website})
                record += QuoteFieldIfContains(field, u',') + u',';
            AppendZeeMapsNotes(lines, record, c.Notes);
        });
}

int TQorContacts::ExportToGoogleEarthKMLFile(const QString &FileName)
{
    BusyCursor busy(*m_prompts);
    QByteArray document;
    QXmlStreamWriter xml(&document);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(4);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QStringLiteral("http://www.opengis.net/kml/2.2"));
    xml.writeStartElement(QStringLiteral("kml"));
    xml.writeStartElement(QStringLiteral("Document"));
    WriteStyles(xml, *this);
    int geocoded = 0, placed = 0;
    const int count = int(m_contactDataList.size());
    m_geocodingBatch = true;
    m_geocodingRefused = false;
    for (int i = 0; i < count; ++i) {
        ReportProgress(0, count - 1, i);
        TContactData &c = *m_contactDataList[size_t(i)];
        if (!c.Exportable)
            continue;
        MapLocation location = ChooseLocation(c);
        if (location.coordinates.isEmpty() && UpdateContactDataCoordinatesUsingGoogleGeocodingAPI(&c, location.type)) {
            ++geocoded;
            location = ChooseLocation(c);
        }
        if (location.coordinates.isEmpty())
            continue;
        WritePlacemark(xml, *this, c, location);
        ++placed;
    }
    m_geocodingBatch = false;
    xml.writeEndDocument();
    m_tag = geocoded;
    if (const QString error = textfile::SaveExport(FileName, document); !error.isEmpty()) {
        m_prompts->ShowError(error);
        return 0;
    }
    return placed;
}

} // namespace cardolin
