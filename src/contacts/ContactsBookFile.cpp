#include "contacts/ContactsBookFile.h"

#include "contacts/BookFileParts.h"
#include "contacts/ContactUid.h"
#include "contacts/VocabularyGrower.h"
#include "support/ReadLimits.h"

#include <QBuffer>
#include <QHash>
#include <QIODevice>
#include <QXmlStreamReader>

namespace cardolin::bookfile {

namespace parts {

namespace {

class GeneralReader
{
public:
    GeneralReader(QIODevice &device, const NewRecord &newRecord, const Progress &progress)
        : m_xml(&device), m_newRecord(newRecord), m_progress(progress)
    {
        for (qsizetype i = 0; i < StoredNames().size(); ++i)
            m_slotOf.insert(QStringView(StoredNames()[i]), int(i));
    }

    ReadResult Run()
    {
        m_result.ok = Walk();
        return std::move(m_result);
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
            if (m_result.records.size() % kProgressStep == 0 && m_progress)
                m_progress(m_xml.device()->pos(), m_xml.device()->size());
        }
        if (m_xml.hasError())
            return Fail(m_xml.errorString());
        if (!inRoot)
            return Fail(QStringLiteral("the file holds no XML element"));
        return true;
    }

    bool ReadContact()
    {
        std::array<QStringView, kStoredCount> values{};
        std::array<bool, kStoredCount> present{};
        bool any = false;
        const QXmlStreamAttributes attributes = m_xml.attributes();
        // Books list the attributes in field order, so the next field is tried
        // before the name table.
        const QStringList &names = StoredNames();
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
            any = true;
        }
        if (!any)
            return true; // an element without fields is no contact
        m_result.records.push_back(m_newRecord());
        TContactData &contact = *m_result.records.back();
        const StoredFields &stored = Stored();
        QString why;
        for (size_t i = 0; i < stored.size(); ++i)
            if (!AssignField(*stored[i], present[i], values[i], contact, why))
                return Fail(why);
        return true;
    }

    bool Fail(const QString &why)
    {
        m_result.error = QStringLiteral("line %1: %2").arg(m_xml.lineNumber()).arg(why);
        return false;
    }

    QXmlStreamReader m_xml;
    const NewRecord &m_newRecord;
    const Progress &m_progress;
    QHash<QStringView, int> m_slotOf; // attribute name -> stored field
    ReadResult m_result;
};

} // namespace

ReadResult ReadGeneral(const QByteArray &bytes, const NewRecord &newRecord, const Progress &progress)
{
    // Through a device, so the reader decodes a piece at a time instead of
    // holding the whole book as UTF-16 beside its bytes.
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return GeneralReader(buffer, newRecord, progress).Run();
}

} // namespace parts

namespace {

using namespace parts;

bool ReadBytes(QIODevice &device, QByteArray &bytes, QString &error)
{
    const QString tooLarge = limits::TooLongMessage(QStringLiteral("The file"), limits::kMaxFileBytes);
    if (!device.isSequential() && device.size() - device.pos() > limits::kMaxFileBytes) {
        error = tooLarge;
        return false;
    }
    if (!device.isSequential()) {
        bytes = device.readAll();
        return true;
    }
    constexpr qint64 kPiece = qint64(1) << 20;
    while (!device.atEnd() || device.waitForReadyRead(-1)) {
        const QByteArray piece = device.read(kPiece);
        if (piece.isEmpty())
            break;
        if (bytes.size() + piece.size() > limits::kMaxFileBytes) {
            error = tooLarge;
            return false;
        }
        bytes += piece;
    }
    return true;
}

ReadResult Parse(const QByteArray &bytes, TQorContacts &contacts, Reader reader)
{
    ReadResult result;
    result.error = CheckBounds(bytes);
    if (!result.error.isEmpty())
        return result;
    const Progress progress = [&contacts](qint64 done, qint64 total) {
        if (total > 0)
            contacts.ReportProgress(0, 1000, int(1000 * done / total));
    };
    // Records take their Uid from the book; a new record's own would be thrown away.
    const std::unique_ptr<TContactData> prototype = contacts.NewContactData();
    prototype->Uid.clear();
    if (reader != Reader::General) {
        result.ok = ReadShaped(bytes, *prototype, result.records, progress);
        if (result.ok || reader == Reader::ShapedOnly)
            return result;
    }
    return ReadGeneral(bytes, [&prototype] { return std::make_unique<TContactData>(*prototype); }, progress);
}

// The vocabularies learn the categories and keywords of every record read.
void GrowVocabularies(TQorContacts &contacts, const TContactDataList &records)
{
    VocabularyGrower categories(contacts.Categories()), keywords(contacts.Keywords());
    for (const auto &record : records) {
        categories.Add(record->Categories);
        keywords.Add(record->Keywords);
    }
    if (categories.Grown())
        contacts.SetCategories(categories.Entries());
    if (keywords.Grown())
        contacts.SetKeywords(keywords.Entries());
}

} // namespace

bool Read(QIODevice &device, TQorContacts &contacts, QString &error, Reader reader)
{
    QByteArray bytes;
    if (!ReadBytes(device, bytes, error))
        return false;
    ReadResult result = Parse(bytes, contacts, reader);
    bytes.clear();
    GrowVocabularies(contacts, result.records);
    contacts.AppendContactDataList(std::move(result.records));
    error = result.error;
    return result.ok;
}

bool Load(QIODevice &device, TQorContacts &contacts, QString &error)
{
    QByteArray bytes;
    if (!ReadBytes(device, bytes, error))
        return false;
    ReadResult result = Parse(bytes, contacts, Reader::Fastest);
    bytes.clear();
    if (!result.ok) {
        error = result.error;
        return false;
    }
    // Books written before contacts had a Uid, and records repeated by hand,
    // get a fresh one here; the next save keeps it.
    QSet<QString> taken;
    GiveUniqueUids(result.records, taken);
    contacts.ClearContactDataList();
    GrowVocabularies(contacts, result.records);
    contacts.AppendContactDataList(std::move(result.records));
    return true;
}

bool ParseUtcStampText(QStringView text, double &value)
{
    return ParseUtcStamp(text, value);
}

} // namespace cardolin::bookfile
