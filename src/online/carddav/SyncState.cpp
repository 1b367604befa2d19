#include "online/carddav/SyncState.h"

#include "platform/FileSystem.h"
#include "platform/RegularFile.h"
#include "support/ReadLimits.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace cardolin::carddav {

namespace {

const QString kFormat = QStringLiteral("cardolin-carddav-state");
constexpr int kVersion = 1;

QString StateFile(const QString &folder)
{
    return folder + QStringLiteral("/state.json");
}

QJsonObject CardObject(const TCardState &card)
{
    QJsonObject object{{QStringLiteral("href"), card.href},
                       {QStringLiteral("etag"), card.etag},
                       {QStringLiteral("uid"), card.uid},
                       {QStringLiteral("base"), QString::fromLatin1(card.base.toBase64())},
                       {QStringLiteral("hash"), QString::fromLatin1(card.localHash.toBase64())}};
    if (card.group)
        object.insert(QStringLiteral("group"), true);
    return object;
}

bool Base64Member(const QJsonObject &object, const QString &name, QByteArray &bytes)
{
    const QJsonValue value = object.value(name);
    if (!value.isString())
        return false;
    auto decoded = QByteArray::fromBase64Encoding(value.toString().toLatin1(),
                                                  QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return false;
    bytes = std::move(decoded.decoded);
    return true;
}

bool ReadCard(const QJsonValue &value, TCardState &card)
{
    const QJsonObject object = value.toObject();
    for (const char *name : {"href", "etag", "uid"})
        if (!object.value(QLatin1StringView(name)).isString())
            return false;
    card.href = object.value(QStringLiteral("href")).toString();
    card.etag = object.value(QStringLiteral("etag")).toString();
    card.uid = object.value(QStringLiteral("uid")).toString();
    card.group = object.value(QStringLiteral("group")).toBool();
    return !card.href.isEmpty() && Base64Member(object, QStringLiteral("base"), card.base)
           && Base64Member(object, QStringLiteral("hash"), card.localHash);
}

QString ParseState(const QByteArray &bytes, TSyncState &state)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (document.isNull())
        return parseError.errorString();
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != kFormat)
        return QStringLiteral("not a sync state");
    if (root.value(QStringLiteral("version")).toInt() != kVersion)
        return QStringLiteral("written by another version of Cardolin");
    state.syncToken = root.value(QStringLiteral("syncToken")).toString();
    state.ctag = root.value(QStringLiteral("ctag")).toString();
    const QJsonArray cards = root.value(QStringLiteral("cards")).toArray();
    state.cards.reserve(cards.size());
    for (const QJsonValue &value : cards) {
        TCardState card;
        if (!ReadCard(value, card))
            return QStringLiteral("a card's entry is incomplete");
        state.cards.insert(card.href, card);
    }
    return {};
}

} // namespace

bool LoadSyncState(const QString &folder, TSyncState &state, QString &error)
{
    state = {};
    const QString path = StateFile(folder);
    if (!QFileInfo::exists(path))
        return true;
    QByteArray bytes;
    QString reason;
    if (platform::ReadRegularFile(path, limits::kMaxFileBytes, bytes, reason) != platform::FileRead::Read)
        reason = reason.isEmpty() ? QStringLiteral("too large") : reason;
    else
        reason = ParseState(bytes, state);
    if (reason.isEmpty())
        return true;
    state = {};
    error = QStringLiteral("The sync state %1 cannot be read (%2). Nothing was changed.").arg(path, reason);
    return false;
}

bool SaveSyncState(const QString &folder, const TSyncState &state, QString &error)
{
    if (!platform::MakePrivateFolder(folder)) {
        error = QStringLiteral("The folder %1 cannot be made.").arg(folder);
        return false;
    }
    QJsonArray cards;
    for (const TCardState &card : state.cards)
        cards.append(CardObject(card));
    const QJsonObject root{{QStringLiteral("format"), kFormat},
                           {QStringLiteral("version"), kVersion},
                           {QStringLiteral("syncToken"), state.syncToken},
                           {QStringLiteral("ctag"), state.ctag},
                           {QStringLiteral("cards"), cards}};
    QString reason;
    platform::SaveOptions options;
    options.ownerOnly = true;
    options.error = &reason;
    if (platform::SaveFile(StateFile(folder), QJsonDocument(root).toJson(QJsonDocument::Compact), options))
        return true;
    error = QStringLiteral("The sync state %1 cannot be saved: %2").arg(StateFile(folder), reason);
    return false;
}

} // namespace cardolin::carddav
