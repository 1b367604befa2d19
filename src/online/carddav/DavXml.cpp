#include "online/carddav/DavXml.h"

#include <QXmlStreamReader>

namespace cardolin::carddav {

namespace {

constexpr QLatin1StringView kDav("DAV:");
constexpr QLatin1StringView kCardDav("urn:ietf:params:xml:ns:carddav");
constexpr QLatin1StringView kCalendarServer("http://calendarserver.org/ns/");
// Real answers nest a handful of levels; this is far beyond any of them.
constexpr int kMaxDepth = 32;

bool Is(const QXmlStreamReader &xml, QLatin1StringView space, QLatin1StringView name)
{
    return xml.namespaceUri() == space && xml.name() == name;
}

// Walks one element and its children, with a guard on depth and on the
// declarations that could expand entities.
class Reader
{
public:
    explicit Reader(const QByteArray &body) : m_xml(body) {}

    // The next start element inside the current one; false at its end.
    bool Child()
    {
        while (!m_xml.atEnd()) {
            const auto token = m_xml.readNext();
            if (token == QXmlStreamReader::DTD) {
                m_problem = QStringLiteral("the answer declares a document type");
                return false;
            }
            if (token == QXmlStreamReader::StartElement) {
                if (++m_depth > kMaxDepth) {
                    m_problem = QStringLiteral("the answer is nested too deeply");
                    return false;
                }
                return true;
            }
            if (token == QXmlStreamReader::EndElement) {
                --m_depth;
                return false;
            }
        }
        return false;
    }

    // The text of the current element; its children are skipped.
    QString Text(qsizetype cap = 64 * 1024)
    {
        QString text;
        int level = 0;
        while (!m_xml.atEnd() && m_problem.isEmpty()) {
            const auto token = m_xml.readNext();
            if (token == QXmlStreamReader::Characters && level == 0) {
                text += m_xml.text();
                if (text.size() > cap)
                    m_problem = QStringLiteral("a value in the answer is larger than %1 bytes").arg(cap);
            } else if (token == QXmlStreamReader::StartElement) {
                ++level;
            } else if (token == QXmlStreamReader::EndElement && level-- == 0) {
                --m_depth;
                break;
            }
        }
        return text;
    }

    void Skip()
    {
        while (m_problem.isEmpty() && Child())
            Skip();
    }

    bool Fine() const { return m_problem.isEmpty() && !m_xml.hasError(); }
    QString Problem() const { return m_problem.isEmpty() ? m_xml.errorString() : m_problem; }
    QXmlStreamReader &Xml() { return m_xml; }

private:
    QXmlStreamReader m_xml;
    QString m_problem;
    int m_depth = 0;
};

QStringList Hrefs(Reader &reader)
{
    QStringList hrefs;
    while (reader.Child()) {
        if (Is(reader.Xml(), kDav, QLatin1StringView("href")))
            hrefs.append(reader.Text().trimmed());
        else
            reader.Skip();
    }
    return hrefs;
}

void ReadResourceType(Reader &reader, DavProps &props)
{
    while (reader.Child()) {
        props.collection |= Is(reader.Xml(), kDav, QLatin1StringView("collection"));
        props.addressBook |= Is(reader.Xml(), kCardDav, QLatin1StringView("addressbook"));
        reader.Skip();
    }
}

void ReadAddressDataTypes(Reader &reader, DavProps &props)
{
    while (reader.Child()) {
        const auto version = reader.Xml().attributes().value(QLatin1StringView("version"));
        props.vcard4 |= Is(reader.Xml(), kCardDav, QLatin1StringView("address-data-type"))
                        && version == QLatin1StringView("4.0");
        reader.Skip();
    }
}

// supported-report-set / supported-report / report / sync-collection
void ReadReports(Reader &reader, DavProps &props)
{
    while (reader.Child()) {
        if (Is(reader.Xml(), kDav, QLatin1StringView("sync-collection"))) {
            props.syncCollection = true;
            reader.Skip();
        } else {
            ReadReports(reader, props);
        }
    }
}

void ReadProp(Reader &reader, DavProps &props)
{
    while (reader.Child()) {
        const QXmlStreamReader &xml = reader.Xml();
        const auto name = xml.name();
        if (xml.namespaceUri() == kDav) {
            if (name == QLatin1StringView("getetag"))
                props.etag = reader.Text().trimmed();
            else if (name == QLatin1StringView("displayname"))
                props.displayName = reader.Text().trimmed();
            else if (name == QLatin1StringView("sync-token"))
                props.syncToken = reader.Text().trimmed();
            else if (name == QLatin1StringView("getcontenttype"))
                props.contentType = reader.Text().trimmed();
            else if (name == QLatin1StringView("resourcetype"))
                ReadResourceType(reader, props);
            else if (name == QLatin1StringView("current-user-principal"))
                props.principals += Hrefs(reader);
            else if (name == QLatin1StringView("supported-report-set"))
                ReadReports(reader, props);
            else
                reader.Skip();
        } else if (xml.namespaceUri() == kCardDav) {
            if (name == QLatin1StringView("addressbook-home-set")) {
                props.homes += Hrefs(reader);
            } else if (name == QLatin1StringView("supported-address-data")) {
                ReadAddressDataTypes(reader, props);
            } else if (name == QLatin1StringView("address-data")) {
                props.hasAddressData = true;
                props.addressData = reader.Text(kMaxCardBytes).toUtf8();
            } else {
                reader.Skip();
            }
        } else if (xml.namespaceUri() == kCalendarServer && name == QLatin1StringView("getctag")) {
            props.ctag = reader.Text().trimmed();
        } else {
            reader.Skip();
        }
    }
}

void ReadPropstat(Reader &reader, DavProps &props)
{
    DavProps found;
    int status = 0;
    while (reader.Child()) {
        if (Is(reader.Xml(), kDav, QLatin1StringView("prop")))
            ReadProp(reader, found);
        else if (Is(reader.Xml(), kDav, QLatin1StringView("status")))
            status = StatusOfLine(reader.Text());
        else
            reader.Skip();
    }
    if (status < 200 || status >= 300)
        return;
    // Several successful blocks are rare; what each brings adds up.
    auto keep = [](QString &into, const QString &value) {
        if (!value.isEmpty())
            into = value;
    };
    keep(props.etag, found.etag);
    keep(props.displayName, found.displayName);
    keep(props.syncToken, found.syncToken);
    keep(props.ctag, found.ctag);
    keep(props.contentType, found.contentType);
    props.collection |= found.collection;
    props.addressBook |= found.addressBook;
    props.principals += found.principals;
    props.homes += found.homes;
    props.vcard4 |= found.vcard4;
    props.syncCollection |= found.syncCollection;
    if (found.hasAddressData) {
        props.hasAddressData = true;
        props.addressData = found.addressData;
    }
}

DavResponse ReadResponse(Reader &reader)
{
    DavResponse response;
    while (reader.Child()) {
        if (Is(reader.Xml(), kDav, QLatin1StringView("href")))
            response.href = reader.Text().trimmed();
        else if (Is(reader.Xml(), kDav, QLatin1StringView("status")))
            response.status = StatusOfLine(reader.Text());
        else if (Is(reader.Xml(), kDav, QLatin1StringView("propstat")))
            ReadPropstat(reader, response.props);
        else
            reader.Skip();
    }
    return response;
}

} // namespace

int StatusOfLine(const QString &line)
{
    const QStringList parts = line.simplified().split(u' ');
    return parts.size() >= 2 ? parts[1].toInt() : 0;
}

DavMultistatus ParseMultistatus(const QByteArray &body)
{
    DavMultistatus answer;
    Reader reader(body);
    if (!reader.Child() || !Is(reader.Xml(), kDav, QLatin1StringView("multistatus"))) {
        answer.error = reader.Fine() ? QStringLiteral("the answer is not a multistatus") : reader.Problem();
        return answer;
    }
    while (reader.Child()) {
        if (Is(reader.Xml(), kDav, QLatin1StringView("response")))
            answer.responses.append(ReadResponse(reader));
        else if (Is(reader.Xml(), kDav, QLatin1StringView("sync-token")))
            answer.syncToken = reader.Text().trimmed();
        else
            reader.Skip();
    }
    // Nothing may follow the root but space; reading on finds a second root or a cut end.
    while (reader.Fine() && !reader.Xml().atEnd())
        reader.Xml().readNext();
    if (!reader.Fine() && reader.Xml().error() != QXmlStreamReader::PrematureEndOfDocumentError)
        answer.error = reader.Problem();
    else if (!reader.Fine())
        answer.error = QStringLiteral("the answer ends too early");
    if (!answer.error.isEmpty())
        answer.responses.clear();
    return answer;
}

bool NamesValidSyncToken(const QByteArray &body)
{
    // Servers word this error in XML, HTML or plain text; the name is what counts.
    return body.contains("valid-sync-token");
}

} // namespace cardolin::carddav
