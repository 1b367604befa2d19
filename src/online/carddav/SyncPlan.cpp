#include "online/carddav/FieldMerge.h"
#include "online/carddav/SyncRun.h"

#include "contacts/ContactUid.h"
#include "contacts/QorContacts.h"
#include "formats/VCardServerCard.h"

#include <QRegularExpression>
#include <QUuid>

namespace cardolin::carddav {

namespace {

constexpr int kDeletionsAsked = 10;
constexpr qsizetype kLongestFileUid = 200;

// A card without UID needs a key that a rerun finds again: one made from its href.
QString KeyOfCard(const TServerCard &card)
{
    const QString uid = vcard::CardUid(card.text);
    if (!uid.isEmpty())
        return uid;
    return QUuid::createUuidV5(QUuid(), card.href).toString(QUuid::WithoutBraces);
}

// A Uid that can be a file name as it is; others get a fresh name.
bool IsFileUid(const QString &uid)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9._-]+$"));
    return uid.size() <= kLongestFileUid && uid != QLatin1StringView(".") && uid != QLatin1StringView("..")
           && plain.match(uid).hasMatch();
}

// The Uid whose new card would have this href, if any.
QString FileUidOf(const QString &bookPath, const QString &href)
{
    const QString suffix = QStringLiteral(".vcf");
    if (!href.startsWith(bookPath) || !href.endsWith(suffix))
        return {};
    const QString uid = href.mid(bookPath.size(), href.size() - bookPath.size() - suffix.size());
    return IsFileUid(uid) ? uid : QString();
}

} // namespace

QString TSyncRun::NewCardHref(const QString &uid) const
{
    const QString href = m_bookPath + uid + QStringLiteral(".vcf");
    // A name another card holds already would bring a 412 and a merge with it.
    if (IsFileUid(uid) && !m_state.cards.contains(href) && !m_changedEtags.contains(href))
        return href;
    return m_bookPath + NewContactUid() + QStringLiteral(".vcf");
}

void TSyncRun::IndexBook()
{
    const auto &contacts = m_book.ContactDataList();
    m_byUid.reserve(qsizetype(contacts.size()));
    m_hashes.reserve(qsizetype(contacts.size()));
    for (const auto &contact : contacts) {
        m_hashes.insert(contact.get(), SyncedFieldsHash(*contact));
        if (contact->Uid.isEmpty() || m_byUid.contains(contact->Uid))
            m_withoutUid.push_back(contact.get());
        else
            m_byUid.insert(contact->Uid, contact.get());
        m_uidsInUse.insert(contact->Uid);
    }
}

void TSyncRun::PairEntries()
{
    m_steps.reserve(size_t(m_state.cards.size() + m_fetched.size()) + m_book.ContactDataList().size());
    for (const TCardState &entry : std::as_const(m_state.cards)) {
        if (entry.group || m_unreadable.contains(entry.href))
            continue;
        TSyncStep step;
        step.entry = entry;
        step.local = m_byUid.take(entry.uid);
        step.uid = entry.uid;
        step.href = entry.href;
        step.serverDeleted = m_deletedOnServer.contains(entry.href);
        if (auto card = m_fetched.find(entry.href); card != m_fetched.end()) {
            // A weak or missing etag changes without the card changing.
            if (card->text != entry.base)
                step.server = *card;
            else
                step.entry->etag = card->etag;
            m_fetched.erase(card);
        }
        step.localChanged = step.local && m_hashes.value(step.local) != entry.localHash;
        m_steps.push_back(std::move(step));
    }
}

void TSyncRun::PairNewServerCards()
{
    for (const TServerCard &card : std::as_const(m_fetched)) {
        TSyncStep step;
        step.server = card;
        step.href = card.href;
        const QString key = KeyOfCard(card);
        step.local = m_byUid.take(key);
        if (!step.local)
            step.local = TakeUploadedUnnoted(card);
        if (step.local) {
            step.uid = step.local->Uid;
        } else {
            // Another contact holds that Uid already: the link is by href.
            step.uid = m_uidsInUse.contains(key) ? NewContactUid() : key;
            m_uidsInUse.insert(step.uid);
        }
        m_steps.push_back(std::move(step));
    }
    m_fetched.clear();
}

// A card a cut run uploaded without noting it, whose UID the server then
// rewrote: named after the contact's Uid and holding what it holds. Another
// client's card that merely has that name is someone else.
TContactData *TSyncRun::TakeUploadedUnnoted(const TServerCard &card)
{
    const QString fileUid = FileUidOf(m_bookPath, card.href);
    TContactData *contact = fileUid.isEmpty() ? nullptr : m_byUid.value(fileUid);
    const auto read = contact ? ReadCard(card.text) : std::nullopt;
    if (!read || !SameSyncedFields(*read, *contact))
        return nullptr;
    return m_byUid.take(fileUid);
}

void TSyncRun::PairNewLocalContacts()
{
    for (TContactData *contact : std::as_const(m_byUid)) {
        TSyncStep step;
        step.local = contact;
        step.uid = contact->Uid;
        m_steps.push_back(std::move(step));
    }
    m_byUid.clear();
    // A contact without a Uid of its own gets one with its upload.
    for (TContactData *contact : m_withoutUid) {
        TSyncStep step;
        step.local = contact;
        step.uid = NewContactUid();
        m_steps.push_back(std::move(step));
    }
}

TContactData TSyncRun::BaseOf(const TSyncStep &step) const
{
    if (step.entry)
        if (auto base = ReadCard(step.entry->base))
            return *base;
    return m_blank;
}

void TSyncRun::DecideBoth(TSyncStep &step, const TContactData &base)
{
    const auto server = ReadCard(step.server->text);
    if (!server) {
        step.refused = true;
        step.after = step.entry;
        m_report.refused.append(step.href + QStringLiteral(": the server's card cannot be read"));
        return;
    }
    step.result = *step.local;
    for (const TFieldConflict &conflict : MergeSyncedFields(base, *step.local, *server, step.result))
        step.conflicts.append({QString(), conflict.field, conflict.kept, conflict.local});
    step.href = step.server->href;
    if (!SameSyncedFields(step.result, *server)) {
        step.serverWrite = ServerWrite::Update;
        step.serverText = step.server->text;
        step.ifMatch = step.server->etag;
    }
    if (!SameSyncedFields(step.result, *step.local))
        step.localWrite = LocalWrite::Update;
    if (step.serverWrite == ServerWrite::None)
        step.after = TCardState{step.href, step.server->etag, step.uid, step.server->text,
                                SyncedFieldsHash(step.result), false};
}

void TSyncRun::Decide(TSyncStep &step)
{
    if (step.server && !step.local) {
        // New there, or changed there and deleted here: the server's version comes.
        if (const auto server = ReadCard(step.server->text)) {
            step.result = *server;
            step.localWrite = LocalWrite::Create;
            step.after = TCardState{step.href, step.server->etag, step.uid, step.server->text,
                                    SyncedFieldsHash(step.result), false};
        } else {
            step.refused = true;
            step.after = step.entry;
            m_report.refused.append(step.href + QStringLiteral(": the server's card cannot be read"));
        }
        return;
    }
    if (step.server) {
        const bool onlyServer = step.entry && !step.localChanged;
        DecideBoth(step, onlyServer ? *step.local : BaseOf(step));
        return;
    }
    if (!step.entry) {
        step.result = *step.local;
        step.serverWrite = ServerWrite::Create;
        step.href = NewCardHref(step.uid);
        return;
    }
    if (!step.local) {
        if (!step.serverDeleted) {
            step.serverWrite = ServerWrite::Delete;
            step.ifMatch = step.entry->etag;
        }
        return;
    }
    if (step.serverDeleted) {
        // Deleted there: gone here too, unless it changed here since.
        if (step.localChanged) {
            step.result = *step.local;
            step.serverWrite = ServerWrite::Create;
            step.serverText = step.entry->base; // what the program does not map comes back too
        } else {
            step.localWrite = LocalWrite::Delete;
        }
        return;
    }
    step.after = step.entry;
    if (!step.localChanged)
        return;
    step.result = *step.local;
    step.after->localHash = m_hashes.value(step.local);
    if (SameSyncedFields(step.result, BaseOf(step)))
        return; // changed back to what the server has
    step.serverWrite = ServerWrite::Update;
    step.serverText = step.entry->base;
    step.ifMatch = step.entry->etag;
    step.after.reset();
}

// Many deletions at once more often mean a broken side than a user's wish.
bool TSyncRun::DeletionsConfirmed()
{
    int local = 0, server = 0;
    for (const TSyncStep &step : m_steps) {
        local += step.localWrite == LocalWrite::Delete;
        server += step.serverWrite == ServerWrite::Delete;
    }
    qsizetype serverSize = 0;
    for (const TSyncStep &step : m_steps)
        serverSize += step.entry || step.server;
    const auto localSize = qsizetype(m_book.ContactDataList().size());
    const bool many = local + server > kDeletionsAsked && (local * 4 > localSize || server * 4 > serverSize);
    // A dry run changes nothing, so there is nothing to ask yet.
    if (!many || m_options.dryRun || (m_options.confirmDeletions && m_options.confirmDeletions(local, server)))
        return true;
    m_report.stoppedForDeletions = true;
    m_report.pendingLocalDeletions = local;
    m_report.pendingServerDeletions = server;
    return false;
}

} // namespace cardolin::carddav
