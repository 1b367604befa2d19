#pragma once

#include <QStringList>

#include <functional>
#include <memory>

class QLocalServer;

namespace cardolin::platform {

// One running program per user session and settings store. The first start
// listens on a local socket; a later start hands its arguments over and ends.
class SingleInstanceGuard
{
public:
    explicit SingleInstanceGuard(QString serverName);
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard &) = delete;
    SingleInstanceGuard &operator=(const SingleInstanceGuard &) = delete;

    // True when this process is the first one. False after the arguments were
    // handed to the instance that already runs.
    bool Claim(const QStringList &arguments);

    // Called in the first instance, on its event loop, for each later start.
    std::function<void(const QStringList &arguments)> OnActivation;

private:
    bool HandOver(const QStringList &arguments) const;
    void Accept();

    QString m_serverName;
    std::unique_ptr<QLocalServer> m_server;
};

// The channel name of the current user with the current settings store.
QString SingleInstanceName();

} // namespace cardolin::platform
