#include "online/carddav/FieldMerge.h"
#include "online/carddav/SyncRun.h"

#include "contacts/QorContacts.h"
#include "formats/VCardServerCard.h"

namespace cardolin::carddav {

namespace {

constexpr int kWritesPerCheckpoint = 100;
constexpr int kMergeRetries = 2;

// No answer or a server error after the remote's own retries: nothing more
// can be written this run.
bool EndsTheRun(const TDavOutcome &outcome)
{
    return outcome.status == 0 || outcome.status >= 500;
}

QString WriteError(const TDavOutcome &outcome)
{
    if (!outcome.error.isEmpty())
        return outcome.error;
    if (outcome.status == 0)
        return QStringLiteral("The server stopped answering.");
    return QStringLiteral("The server answered with status %1.").arg(outcome.status);
}

} // namespace

bool TSyncRun::SaveCheckpoint()
{
    QString error;
    const QStringList hrefs(m_noted.cbegin(), m_noted.cend());
    m_noted.clear();
    if (AppendSyncJournal(m_options.stateFolder, m_checkpoint, hrefs, error))
        return true;
    return Fail(error);
}

bool TSyncRun::WriteServer()
{
    m_checkpoint = m_state;
    std::vector<TSyncStep *> uploads;
    int writes = 0;
    for (TSyncStep &step : m_steps) {
        if (step.serverWrite == ServerWrite::None || step.refused)
            continue;
        if (!WriteStep(step)) {
            // What reached the server is noted; the book stays as it was.
            const QString error = m_report.error;
            SaveCheckpoint();
            m_report.error = error;
            return false;
        }
        if (step.serverWrite != ServerWrite::None)
            m_serverChanged = true;
        if (step.after && step.after->etag.isEmpty())
            uploads.push_back(&step);
        if (++writes % kWritesPerCheckpoint == 0) {
            ReadBackUploads(uploads);
            if (!SaveCheckpoint())
                return false;
        }
    }
    ReadBackUploads(uploads);
    return m_noted.isEmpty() || SaveCheckpoint();
}

bool TSyncRun::WriteStep(TSyncStep &step)
{
    return step.serverWrite == ServerWrite::Delete ? Remove(step) : Upload(step);
}

bool TSyncRun::Upload(TSyncStep &step)
{
    for (int round = 0;; ++round) {
        TContactData card = step.result;
        // A UID the server chose stays on its card; the contact keeps its own.
        const QString serverUid = vcard::CardUid(step.serverText);
        card.Uid = serverUid.isEmpty() ? step.uid : serverUid;
        const QByteArray text = vcard::PatchServerCard(m_book, step.serverText, card,
                                                       m_info.vcard4 ? vcard::TCardVersion::V4 : vcard::TCardVersion::V3);
        const TWriteOutcome answer = m_remote.Put(step.href, text, step.ifMatch);
        const int status = answer.outcome.status;
        if (answer.outcome.Ok()) {
            Uploaded(step, text, answer);
            return true;
        }
        if (status == 412 && round < kMergeRetries) {
            // Changed there meanwhile, or a create that an earlier cut run made.
            if (!MergeWithFetched(step))
                return false;
            if (step.refused || step.serverWrite == ServerWrite::None)
                return true;
            continue;
        }
        if (status == 404 && !step.ifMatch.isEmpty() && round < kMergeRetries) {
            // Deleted there while it changed here: it comes back.
            step.ifMatch.clear();
            step.serverWrite = ServerWrite::Create;
            continue;
        }
        if (EndsTheRun(answer.outcome))
            return Fail(WriteError(answer.outcome));
        return Refuse(step, answer.outcome);
    }
}

bool TSyncRun::MergeWithFetched(TSyncStep &step)
{
    const TFetch fetch = m_remote.Multiget({step.href});
    if (!fetch.outcome.Ok())
        return EndsTheRun(fetch.outcome) ? Fail(WriteError(fetch.outcome)) : Refuse(step, fetch.outcome);
    for (const TFetchedCard &card : fetch.cards) {
        if (AbsoluteHref(card.href) != step.href)
            continue;
        step.server = TServerCard{step.href, card.etag, card.text};
        step.conflicts.clear();
        step.localWrite = LocalWrite::None;
        step.serverWrite = ServerWrite::None;
        step.after.reset();
        DecideBoth(step, BaseOf(step));
        return true;
    }
    // Gone meanwhile: a plain create.
    step.ifMatch.clear();
    step.serverWrite = ServerWrite::Create;
    return true;
}

bool TSyncRun::Remove(TSyncStep &step)
{
    const TWriteOutcome answer = m_remote.Delete(step.href, step.ifMatch);
    const int status = answer.outcome.status;
    if (answer.outcome.Ok() || status == 404) {
        m_checkpoint.cards.remove(step.href);
        m_noted.insert(step.href);
        step.after.reset();
        return true;
    }
    if (status == 412) {
        // Changed there since the last sync: the changed card wins.
        const TFetch fetch = m_remote.Multiget({step.href});
        if (!fetch.outcome.Ok())
            return EndsTheRun(fetch.outcome) ? Fail(WriteError(fetch.outcome)) : Refuse(step, fetch.outcome);
        step.serverWrite = ServerWrite::None;
        for (const TFetchedCard &card : fetch.cards)
            if (AbsoluteHref(card.href) == step.href) {
                step.server = TServerCard{step.href, card.etag, card.text};
                Decide(step);
                return true;
            }
        return true;
    }
    if (EndsTheRun(answer.outcome))
        return Fail(WriteError(answer.outcome));
    return Refuse(step, answer.outcome);
}

bool TSyncRun::Refuse(TSyncStep &step, const TDavOutcome &outcome)
{
    step.refused = true;
    step.serverWrite = ServerWrite::None;
    step.after = step.entry;
    const TContactData &named = step.local ? *step.local : step.result;
    const QString name = m_book.GetDisplayNameFromContactData(&named, m_book.DisplayType());
    m_report.refused.append(QStringLiteral("%1 (%2): %3").arg(name, step.href, WriteError(outcome)));
    return true;
}

// The state notes at once what the server holds now. When the upload was a
// merge the book has not taken yet, the note says "changed there" (no etag)
// against the book as saved, so that a cut run brings the merge home next
// time instead of pushing the old local version over it.
void TSyncRun::Uploaded(TSyncStep &step, const QByteArray &text, const TWriteOutcome &answer)
{
    const QString etag = answer.strongEtag ? answer.etag : QString();
    step.after = TCardState{step.href, etag, step.uid, text, SyncedFieldsHash(step.result), false};
    TCardState noted = *step.after;
    noted.localHash = m_hashes.value(step.local);
    if (!SameSyncedFields(step.result, *step.local)) {
        noted.etag.clear();
        noted.base = step.entry ? step.entry->base : QByteArray();
    }
    if (step.entry && step.entry->href != step.href) {
        m_checkpoint.cards.remove(step.entry->href);
        m_noted.insert(step.entry->href);
    }
    m_checkpoint.cards.insert(step.href, noted);
    m_noted.insert(step.href);
}

// Uploads answered without a strong etag are read back: that text is the base.
void TSyncRun::ReadBackUploads(std::vector<TSyncStep *> &uploads)
{
    QHash<QString, TSyncStep *> byHref;
    for (TSyncStep *step : uploads)
        byHref.insert(step->href, step);
    uploads.clear();
    if (byHref.isEmpty())
        return;
    const TFetch fetch = FetchInBatches(byHref.keys());
    for (const TFetchedCard &card : fetch.cards) {
        TSyncStep *step = byHref.value(AbsoluteHref(card.href));
        if (!step || card.etag.isEmpty())
            continue;
        auto noted = m_checkpoint.cards.find(step->href);
        if (noted != m_checkpoint.cards.end() && noted->base == step->after->base) {
            noted->etag = card.etag;
            noted->base = card.text;
        }
        step->after->etag = card.etag;
        step->after->base = card.text;
    }
}

} // namespace cardolin::carddav
