#include "online/carddav/FieldMerge.h"

#include "contacts/SerialDate.h"
#include "formats/VCardServerCard.h"

#include <QCryptographicHash>

namespace cardolin::carddav {

namespace {

// A book read back holds one empty line for an empty list: the same as none.
QStringList ListValue(const QStringList &list)
{
    return HasEntries(list) ? list : QStringList();
}
QStringList ListValue(const TSortedStringList &list)
{
    return ListValue(list.Entries());
}

// One value in a form that compares, hashes and prints alike for every kind.
struct ValueText
{
    const ContactField &field;

    QString operator()(const QString &text) const { return text; }
    QString operator()(int number) const { return QString::number(number); }
    QString operator()(bool flag) const { return flag ? QStringLiteral("true") : QStringLiteral("false"); }
    QString operator()(const QStringList &lines) const { return ListValue(lines).join(u'\n'); }
    QString operator()(const TSortedStringList &list) const { return ListValue(list).join(u", "); }
    QString operator()(const QByteArray &bytes) const { return QString::fromLatin1(bytes.toBase64()); }
    QString operator()(TDateTime serial) const
    {
        if (serial == 0)
            return {};
        return field.kind == FieldKind::Date ? SerialToIsoDate(serial) : SerialToIsoUtc(serial);
    }
};

QString FieldText(const ContactField &field, const TContactData &contact)
{
    return std::visit([&](auto member) { return ValueText{field}(contact.*member); }, field.member);
}

bool SameValue(const ContactField &field, const TContactData &a, const TContactData &b)
{
    return std::visit(
        [&](auto member) {
            using Value = std::remove_cvref_t<decltype(a.*member)>;
            if constexpr (std::is_same_v<Value, QStringList> || std::is_same_v<Value, TSortedStringList>)
                return ListValue(a.*member) == ListValue(b.*member);
            else
                return a.*member == b.*member;
        },
        field.member);
}

// Conflict lines stay on one line whatever the notes hold.
QString OneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
    text.replace(u'\n', QStringLiteral(" / "));
    text.replace(u'\r', u' ');
    return text;
}

} // namespace

const std::vector<const ContactField *> &SyncedFields()
{
    static const std::vector<const ContactField *> fields = [] {
        std::vector<const ContactField *> list;
        for (const ContactField &field : ContactFields())
            if (vcard::IsServerCardField(field) && field.name != QLatin1StringView("Uid"))
                list.push_back(&field);
        return list;
    }();
    return fields;
}

QByteArray SyncedFieldsHash(const TContactData &contact)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const ContactField *field : SyncedFields()) {
        hash.addData(QByteArrayView(field->name.data(), field->name.size()));
        hash.addData(QByteArrayView("\0", 1));
        hash.addData(FieldText(*field, contact).toUtf8());
        hash.addData(QByteArrayView("\0", 1));
    }
    return hash.result();
}

bool SameSyncedFields(const TContactData &a, const TContactData &b)
{
    for (const ContactField *field : SyncedFields())
        if (!SameValue(*field, a, b))
            return false;
    return true;
}

void CopySyncedFields(const TContactData &source, TContactData &dest)
{
    for (const ContactField *field : SyncedFields())
        CopyField(*field, source, dest);
}

QList<TFieldConflict> MergeSyncedFields(const TContactData &base, const TContactData &local,
                                        const TContactData &server, TContactData &merged)
{
    QList<TFieldConflict> conflicts;
    for (const ContactField *field : SyncedFields()) {
        const bool localChanged = !SameValue(*field, local, base);
        const bool serverChanged = !SameValue(*field, server, base);
        if (localChanged && !serverChanged) {
            CopyField(*field, local, merged);
            continue;
        }
        CopyField(*field, server, merged);
        if (localChanged && !SameValue(*field, local, server))
            conflicts.append({QString(field->name), OneLine(FieldText(*field, server)),
                              OneLine(FieldText(*field, local))});
    }
    return conflicts;
}

} // namespace cardolin::carddav
