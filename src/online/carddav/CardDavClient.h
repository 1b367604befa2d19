#pragma once

#include "online/carddav/DavRemote.h"

#include <QUrl>

#include <memory>

class QNetworkAccessManager;

namespace cardolin::carddav {

struct TDavCredentials
{
    QString user;
    QString password;
};

struct TDiscovery
{
    TDavOutcome outcome;
    QUrl principal;
    QList<TAddressBookInfo> books;
};

// From what the user typed (a server root, a host with /.well-known/carddav, a
// principal or an address book) to the address books the account can reach.
TDiscovery DiscoverAddressBooks(QNetworkAccessManager &network, const QUrl &start,
                                const TDavCredentials &credentials);

// The address of a book that discovery found (href is a decoded path) on server.
QUrl AddressBookUrl(const QUrl &server, const QString &href);

// The WebDAV requests of one address book, over the caller's network manager
// (one per thread).
class TCardDavClient final : public TAddressBookRemote
{
public:
    TCardDavClient(QNetworkAccessManager &network, const QUrl &book, TDavCredentials credentials);
    ~TCardDavClient() override;

    TAddressBookInfo Properties(TDavOutcome &outcome) override;
    TListing SyncCollection(const QString &token) override;
    TListing ListAll() override;
    TFetch Multiget(const QStringList &hrefs) override;
    TWriteOutcome Put(const QString &href, const QByteArray &card, const QString &ifMatch) override;
    TWriteOutcome Delete(const QString &href, const QString &ifMatch) override;
    QString BookUrl() const override;

    // Milliseconds without a byte and for a whole request, and the most one
    // answer may hold (0: the usual caps); tests lower them.
    void SetLimits(int idleMs, int deadlineMs, qint64 maxAnswerBytes = 0);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace cardolin::carddav
