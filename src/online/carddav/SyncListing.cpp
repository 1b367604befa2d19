#include "online/carddav/FieldMerge.h"
#include "online/carddav/SyncRun.h"

#include "contacts/QorContacts.h"
#include "formats/VCardServerCard.h"

#include <QUrl>

namespace cardolin::carddav {

namespace {

constexpr qsizetype kMultigetBatch = 100;

QString StatusText(const TDavOutcome &outcome, const QString &what)
{
    if (!outcome.error.isEmpty())
        return outcome.error;
    if (outcome.status == 0)
        return what + QStringLiteral(" got no answer from the server.");
    return what + QStringLiteral(" was answered with status %1.").arg(outcome.status);
}

bool IsUrl(const QString &href)
{
    return href.startsWith(QLatin1StringView("http://"), Qt::CaseInsensitive)
           || href.startsWith(QLatin1StringView("https://"), Qt::CaseInsensitive);
}

} // namespace

QString TSyncRun::AbsoluteHref(const QString &href) const
{
    if (IsUrl(href))
        return QUrl(href).path(QUrl::FullyEncoded);
    return href.startsWith(u'/') ? href : m_bookPath + href;
}

std::optional<TContactData> TSyncRun::ReadCard(const QByteArray &text) const
{
    TContactData contact = m_blank;
    QString error;
    if (!vcard::ReadServerCard(m_book, text, contact, error))
        return std::nullopt;
    return contact;
}

bool TSyncRun::ListingUsable(const TListing &listing)
{
    if (!listing.outcome.Ok())
        return Fail(StatusText(listing.outcome, QStringLiteral("Listing the address book")));
    if (!listing.complete || listing.tokenInvalid)
        return Fail(QStringLiteral("The server listed the address book only in part. Nothing was changed."));
    return true;
}

// Without a sync token a listing is cheap only when the ctag says nothing
// moved there and nothing moved here either.
bool TSyncRun::LocalChangesSinceState() const
{
    qsizetype linked = 0;
    for (const auto &contact : m_book.ContactDataList()) {
        auto it = m_byUid.find(contact->Uid);
        if (it == m_byUid.end() || *it != contact.get())
            return true;
        ++linked;
    }
    for (const TCardState &card : m_state.cards) {
        if (card.group)
            continue;
        auto it = m_byUid.find(card.uid);
        if (it == m_byUid.end() || m_hashes.value(*it) != card.localHash)
            return true;
        --linked;
    }
    return linked != 0;
}

bool TSyncRun::List()
{
    TDavOutcome outcome;
    m_info = m_remote.Properties(outcome);
    if (!outcome.Ok())
        return Fail(StatusText(outcome, QStringLiteral("Reading the address book's properties")));
    if (m_info.syncCollection) {
        // The token moves with every change on the server: the same one means
        // nothing happened there, and one request was enough.
        if (!m_state.syncToken.isEmpty() && m_info.syncToken == m_state.syncToken && !LocalChangesSinceState()) {
            m_nothingToDo = true;
            return true;
        }
        m_listing = m_remote.SyncCollection(m_state.syncToken);
        // A refused token is asked for once more as a full listing, never again.
        // Some servers refuse a token they no longer know with a bare 500: a full
        // listing costs one request, while failing would stop every run from now on.
        const bool refused = m_listing.tokenInvalid || m_listing.outcome.status >= 500;
        if (refused && !m_state.syncToken.isEmpty())
            m_listing = m_remote.SyncCollection(QString());
    } else {
        if (!m_state.ctag.isEmpty() && m_info.ctag == m_state.ctag && !LocalChangesSinceState()) {
            m_nothingToDo = true;
            return true;
        }
        m_listing = m_remote.ListAll();
    }
    if (!ListingUsable(m_listing))
        return false;
    TakeListing();
    return true;
}

void TSyncRun::TakeListing()
{
    QSet<QString> present;
    for (const TCardVersion &card : m_listing.present) {
        const QString href = AbsoluteHref(card.href);
        if (href == m_bookPath)
            continue;
        present.insert(href);
        auto entry = m_state.cards.constFind(href);
        // A missing etag cannot tell: the text will.
        if (entry == m_state.cards.cend() || entry->etag.isEmpty() || entry->etag != card.etag)
            m_changedEtags.insert(href, card.etag);
    }
    if (m_listing.incremental) {
        for (const QString &removed : m_listing.removed)
            if (const QString href = AbsoluteHref(removed); !present.contains(href))
                m_deletedOnServer.insert(href);
        return;
    }
    for (const TCardState &card : m_state.cards)
        if (!present.contains(card.href))
            m_deletedOnServer.insert(card.href);
}

TFetch TSyncRun::FetchInBatches(const QStringList &hrefs)
{
    TFetch all;
    for (qsizetype start = 0; start < hrefs.size(); start += kMultigetBatch) {
        TFetch batch = m_remote.Multiget(hrefs.mid(start, kMultigetBatch));
        all.outcome = batch.outcome;
        if (!batch.outcome.Ok())
            return all;
        all.cards.append(std::move(batch.cards));
        all.missing.append(std::move(batch.missing));
    }
    if (hrefs.isEmpty())
        all.outcome.status = 200;
    return all;
}

bool TSyncRun::FetchChanged()
{
    const QStringList hrefs = m_changedEtags.keys();
    TFetch fetch = FetchInBatches(hrefs);
    if (!fetch.outcome.Ok())
        return Fail(StatusText(fetch.outcome, QStringLiteral("Reading the changed cards")));
    for (TFetchedCard &card : fetch.cards) {
        const QString href = AbsoluteHref(card.href);
        auto listed = m_changedEtags.constFind(href);
        if (listed == m_changedEtags.cend())
            continue; // not asked for
        const QString etag = card.etag.isEmpty() ? *listed : card.etag;
        if (vcard::IsGroupCardText(card.text))
            m_groups.insert(href, TCardState{href, etag, {}, card.text, {}, true});
        else
            m_fetched.insert(href, TServerCard{href, etag, std::move(card.text)});
    }
    // Asked for and not given (or given as 404): left alone on both sides this time.
    for (const QString &href : hrefs)
        if (!m_fetched.contains(href) && !m_groups.contains(href)) {
            m_unreadable.insert(href);
            m_report.refused.append(href + QStringLiteral(": the server listed this card but did not give it"));
        }
    return true;
}

} // namespace cardolin::carddav
