#pragma once

#include "online/carddav/DavRemote.h"

#include <QMap>
#include <QSet>
#include <QRegularExpression>

#include <functional>

namespace cardolin::testing {

using namespace cardolin::carddav;

// An address book held in memory, answering as a CardDAV server would, with
// switches for what real servers do now and then.
class MemoryAddressBook : public TAddressBookRemote
{
public:
    struct Card
    {
        QString etag;
        QByteArray text;
    };
    enum class PutEtag { Strong, Weak, None };

    // Switches.
    bool syncCollection = true;
    bool vcard4 = false;
    bool incompleteListing = false;
    // 403 names valid-sync-token; some servers answer an unknown token with a bare 500.
    int refusedTokenStatus = 403;
    bool refuseTokens = false;      // every stored token is answered valid-sync-token
    bool listingEtags = true;       // false: listings carry no etags
    PutEtag putEtag = PutEtag::Strong;
    bool rewriteUid = false;        // a created card gets a UID of the server's making
    int failAfterWrites = -1;       // writes that succeed before every later one gets a 500
    std::function<void()> beforeNextPut; // run once, before the next PUT is looked at
    std::function<int(const QByteArray &card)> refusePut; // a status other than 0 refuses the card

    // What was asked.
    int requests = 0;
    int puts = 0;
    int deletes = 0;
    int syncCollections = 0;
    QList<qsizetype> multigetSizes;

    QString path = QStringLiteral("/dav/alice/book/");

    QString BookUrl() const override { return QStringLiteral("http://127.0.0.1:1") + path; }

    // Someone else's edit on the server.
    QString Store(const QString &name, const QByteArray &text)
    {
        const QString href = Absolute(name);
        m_cards[href] = Card{QStringLiteral("\"%1\"").arg(++m_clock), text};
        m_changes.append({m_clock, href});
        return href;
    }
    void Remove(const QString &name)
    {
        const QString href = Absolute(name);
        m_cards.remove(href);
        m_changes.append({++m_clock, href});
    }
    const QMap<QString, Card> &Cards() const { return m_cards; }
    QString Absolute(const QString &name) const { return name.startsWith(u'/') ? name : path + name; }

    TAddressBookInfo Properties(TDavOutcome &outcome) override
    {
        ++requests;
        outcome = Ok();
        TAddressBookInfo info;
        info.href = path;
        info.displayName = QStringLiteral("Contacts");
        info.ctag = QString::number(m_clock);
        info.vcard4 = vcard4;
        info.syncCollection = syncCollection;
        if (syncCollection)
            info.syncToken = Token();
        return info;
    }

    TListing SyncCollection(const QString &token) override
    {
        ++requests;
        ++syncCollections;
        TListing listing;
        if (!token.isEmpty() && (refuseTokens || !token.startsWith(u't'))) {
            listing.outcome.status = refusedTokenStatus;
            listing.outcome.error = QStringLiteral("token refused");
            listing.tokenInvalid = refusedTokenStatus < 500;
            return listing;
        }
        if (token.isEmpty())
            listing = Everything();
        else
            listing = ChangesSince(token.mid(1).toInt());
        listing.syncToken = Token();
        return listing;
    }

    TListing ListAll() override
    {
        ++requests;
        return Everything();
    }

    TFetch Multiget(const QStringList &hrefs) override
    {
        ++requests;
        multigetSizes.append(hrefs.size());
        TFetch fetch;
        fetch.outcome = Ok();
        for (const QString &href : hrefs) {
            auto card = m_cards.constFind(href);
            if (card == m_cards.cend())
                fetch.missing.append(href);
            else
                fetch.cards.append({href, card->etag, card->text});
        }
        return fetch;
    }

    TWriteOutcome Put(const QString &name, const QByteArray &text, const QString &ifMatch) override
    {
        ++requests;
        if (auto edit = std::exchange(beforeNextPut, nullptr))
            edit();
        const QString href = Absolute(name);
        TWriteOutcome answer;
        if (const int status = WriteRefused(href, ifMatch, refusePut ? refusePut(text) : 0)) {
            answer.outcome.status = status;
            return answer;
        }
        ++puts;
        QString stored = QString::fromUtf8(text);
        const bool rewrite = rewriteUid && !m_cards.contains(href);
        if (rewrite)
            stored.replace(QRegularExpression(QStringLiteral("^UID:[^\r\n]*"), QRegularExpression::MultilineOption),
                           QStringLiteral("UID:server-%1").arg(m_clock + 1));
        Store(href, stored.toUtf8());
        answer.outcome = Ok();
        answer.outcome.status = 201;
        // A server that changed what it was given sends no strong etag.
        if (putEtag != PutEtag::None && !rewrite)
            answer.etag = (putEtag == PutEtag::Weak ? QStringLiteral("W/") : QString()) + m_cards[href].etag;
        answer.strongEtag = putEtag == PutEtag::Strong && !rewrite;
        return answer;
    }

    TWriteOutcome Delete(const QString &name, const QString &ifMatch) override
    {
        ++requests;
        const QString href = Absolute(name);
        TWriteOutcome answer;
        if (const int status = WriteRefused(href, ifMatch, 0)) {
            answer.outcome.status = status;
            return answer;
        }
        ++deletes;
        Remove(href);
        answer.outcome = Ok();
        answer.outcome.status = 204;
        return answer;
    }

private:
    static TDavOutcome Ok()
    {
        TDavOutcome outcome;
        outcome.status = 207;
        return outcome;
    }
    QString Token() const { return QStringLiteral("t%1").arg(m_clock); }

    int WriteRefused(const QString &href, const QString &ifMatch, int refusal)
    {
        if (failAfterWrites == 0)
            return 500;
        if (refusal)
            return refusal;
        const auto card = m_cards.constFind(href);
        if (ifMatch.isEmpty() && card != m_cards.cend())
            return 412;
        if (!ifMatch.isEmpty() && card == m_cards.cend())
            return 404;
        if (!ifMatch.isEmpty() && card->etag != ifMatch)
            return 412;
        if (failAfterWrites > 0)
            --failAfterWrites;
        return 0;
    }

    TListing Everything() const
    {
        TListing listing;
        listing.outcome = Ok();
        listing.complete = !incompleteListing;
        for (auto card = m_cards.cbegin(); card != m_cards.cend(); ++card)
            listing.present.append({card.key(), listingEtags ? card->etag : QString()});
        return listing;
    }

    TListing ChangesSince(int since) const
    {
        TListing listing;
        listing.outcome = Ok();
        listing.complete = !incompleteListing;
        listing.incremental = true;
        QSet<QString> changed;
        for (const auto &[clock, href] : m_changes)
            if (clock > since)
                changed.insert(href);
        for (const QString &href : changed) {
            const auto card = m_cards.constFind(href);
            if (card == m_cards.cend())
                listing.removed.append(href);
            else
                listing.present.append({href, listingEtags ? card->etag : QString()});
        }
        return listing;
    }

    QMap<QString, Card> m_cards;
    QList<std::pair<int, QString>> m_changes;
    int m_clock = 0;
};

} // namespace cardolin::testing
