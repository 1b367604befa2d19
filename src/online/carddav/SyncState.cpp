#include "online/carddav/SyncState.h"

#include "platform/FileSystem.h"
#include "platform/RegularFile.h"
#include "support/ReadLimits.h"

#include <QFile>
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

QString JournalFile(const QString &folder)
{
    return folder + QStringLiteral("/journal.jsonl");
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
    state.generation = root.value(QStringLiteral("generation")).toInteger();
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

// Each line is one card put or removed. A line cut short by a crash ends the
// journal; lines of another generation are left from before a full save.
void ReplayJournal(const QByteArray &bytes, TSyncState &state)
{
    for (const QByteArray &line : bytes.split('\n')) {
        const QJsonObject record = QJsonDocument::fromJson(line).object();
        if (record.isEmpty())
            break;
        if (record.value(QStringLiteral("g")).toInteger() != state.generation)
            continue;
        TCardState card;
        if (record.contains(QStringLiteral("remove")))
            state.cards.remove(record.value(QStringLiteral("remove")).toString());
        else if (ReadCard(record.value(QStringLiteral("put")), card))
            state.cards.insert(card.href, card);
    }
}

QString ReadJournal(const QString &folder, TSyncState &state)
{
    const QString path = JournalFile(folder);
    if (!QFileInfo::exists(path))
        return {};
    QByteArray bytes;
    QString reason;
    if (platform::ReadRegularFile(path, limits::kMaxFileBytes, bytes, reason) != platform::FileRead::Read)
        return reason.isEmpty() ? QStringLiteral("too large") : reason;
    ReplayJournal(bytes, state);
    return {};
}

} // namespace

bool LoadSyncState(const QString &folder, TSyncState &state, QString &error)
{
    state = {};
    const QString path = StateFile(folder);
    QString reason;
    if (QFileInfo::exists(path)) {
        QByteArray bytes;
        if (platform::ReadRegularFile(path, limits::kMaxFileBytes, bytes, reason) != platform::FileRead::Read)
            reason = reason.isEmpty() ? QStringLiteral("too large") : reason;
        else
            reason = ParseState(bytes, state);
    }
    // A first sync cut short has a journal and no state yet.
    if (reason.isEmpty())
        reason = ReadJournal(folder, state);
    if (reason.isEmpty())
        return true;
    state = {};
    error = QStringLiteral("The sync state in %1 cannot be read (%2). Nothing was changed.").arg(folder, reason);
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
                           {QStringLiteral("generation"), state.generation},
                           {QStringLiteral("syncToken"), state.syncToken},
                           {QStringLiteral("ctag"), state.ctag},
                           {QStringLiteral("cards"), cards}};
    QString reason;
    platform::SaveOptions options;
    options.ownerOnly = true;
    options.error = &reason;
    if (platform::SaveFile(StateFile(folder), QJsonDocument(root).toJson(QJsonDocument::Compact), options)) {
        QFile::remove(JournalFile(folder));
        return true;
    }
    error = QStringLiteral("The sync state %1 cannot be saved: %2").arg(StateFile(folder), reason);
    return false;
}

bool AppendSyncJournal(const QString &folder, const TSyncState &state, const QStringList &hrefs, QString &error)
{
    QByteArray lines;
    for (const QString &href : hrefs) {
        QJsonObject record{{QStringLiteral("g"), state.generation}};
        const auto card = state.cards.constFind(href);
        if (card == state.cards.cend())
            record.insert(QStringLiteral("remove"), href);
        else
            record.insert(QStringLiteral("put"), CardObject(*card));
        lines += QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n';
    }
    if (lines.isEmpty())
        return true;
    if (platform::MakePrivateFolder(folder) && platform::AppendToFile(JournalFile(folder), lines))
        return true;
    error = QStringLiteral("The sync journal %1 cannot be written.").arg(JournalFile(folder));
    return false;
}

} // namespace cardolin::carddav
