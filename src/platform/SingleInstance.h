#pragma once

#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QLocalServer;

namespace cardolin::platform {

// The effective user id of this process: the owner that peers, folders and
// files of the channel must have.
unsigned CurrentUserId();

// One running program per user session and settings store. The first start
// listens on a local socket; a later start hands its arguments over and ends.
// Both ends check that the other runs as the same user, so another local user
// can neither send a start nor receive one.
class SingleInstanceGuard
{
public:
    // userId is the user both ends must run as; tests pass another one to
    // stand for a stranger.
    explicit SingleInstanceGuard(QString serverName, unsigned userId = CurrentUserId());
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard &) = delete;
    SingleInstanceGuard &operator=(const SingleInstanceGuard &) = delete;

    // True when this process is to run: it is the first one, or the channel is
    // unusable or held by another user (then nothing was sent and a warning
    // went to stderr). False after the arguments were handed to our own
    // instance that already runs.
    bool Claim(const QStringList &arguments);

    // Called in the first instance, on its event loop, for each later start.
    std::function<void(const QStringList &arguments)> OnActivation;

private:
    enum class HandOverResult { NoServer, Sent, Stranger };
    HandOverResult HandOver(const QStringList &arguments) const;
    void Accept();

    QString m_serverName;
    unsigned m_userId;
    std::unique_ptr<QLocalServer> m_server;
};

// The user id of the process at the other end of a connected local socket;
// none when the system does not tell.
std::optional<unsigned> PeerUserId(qintptr socketDescriptor);

// True when path is a real folder (not a link), owned by owner and closed to
// everyone else.
bool IsPrivateFolder(const QString &path, unsigned owner);

// Where the channel lives: $XDG_RUNTIME_DIR when it is private to us, else
// cardolin-<uid> in the temporary folder, made private on first use. Empty
// when neither is private (someone else made the second one).
QString PrivateRuntimeFolder();

// The channel of the current user with the current settings store, a path in
// PrivateRuntimeFolder(); empty when there is no private folder for it.
QString SingleInstanceName();

} // namespace cardolin::platform
