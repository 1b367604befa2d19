#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

namespace cardolin {

// Where an address of the update file, the read-me or the installer points.
enum class TUpdateSourceKind { Web, Path, Invalid };

// http and https addresses are web addresses; absolute paths and file: URLs are
// paths; anything else is invalid.
TUpdateSourceKind UpdateSourceKind(const QString &address);
// The local path of a path source ("file:" URLs decoded).
QString UpdateSourcePath(const QString &address);
// "\"ADDRESS\" is an invalid source."
QString InvalidSourceMessage(const QString &address);

// The name the downloaded file gets: the last part of the address's path;
// empty when it has none that could safely name a file.
QString UpdateSourceFileName(const QString &address);

struct TUpdateTransferOptions
{
    QString ProxyAddress;
    int ProxyPort = 80;
    int TimeoutMs = 30000;  // no byte for this long fails a request
    int DeadlineMs = 60000; // a whole request fails by then; 0: none (the installer, which has Cancel)
    // Larger answers fail; 0 means no limit.
    qint64 MaxBytes = 0;
    // The download dialog's Cancel must stay usable during the transfer.
    bool AllowUserInput = false;
    // Addresses come from a published update file: only https (or http to
    // this machine) is followed, never a local file.
    bool WebOnly = false;
};

// One transfer from a web address or a path into an open file, waiting in a
// local event loop. HTTPS servers must present a certificate the system trusts.
class TUpdateTransfer
{
public:
    explicit TUpdateTransfer(TUpdateTransferOptions options) : m_options(std::move(options)) {}

    // The size a HEAD request announces, 4 MiB when none is announced, -1 when
    // the request failed (FailureText says why). A path's file size.
    qint64 QuerySize(const QString &address);
    // Copies the source into target; progress gets the bytes written so far.
    bool Fetch(const QString &address, QIODevice &target, const std::function<void(qint64)> &progress = {});
    // Stops a running Fetch or QuerySize, which then fails.
    void Cancel();
    bool Cancelled() const { return m_cancelled; }
    // "Failed: 404 Not Found" after a refused request; a plain reason otherwise.
    const QString &FailureText() const { return m_failure; }

private:
    bool FetchWeb(const QString &address, QIODevice &target, const std::function<void(qint64)> &progress);
    bool CopyPath(const QString &path, QIODevice &target, const std::function<void(qint64)> &progress);
    // The kind of address, Invalid (with FailureText set) when it may not be followed.
    TUpdateSourceKind Admit(const QString &address);

    TUpdateTransferOptions m_options;
    bool m_cancelled = false;
    std::function<void()> m_abort;
    QString m_failure;
};

// Fetches a small text file (the update file, the read-me) into memory; false
// with FailureText set when it could not be read.
bool FetchUpdateText(const QString &address, const TUpdateTransferOptions &options, QByteArray &text,
                     QString &failureText);

// Size of an unannounced download, used as the progress bar's maximum.
constexpr qint64 kUnknownDownloadSize = 4 * 1024 * 1024;
// The update file and the read-me are small texts; larger ones are refused.
constexpr qint64 kMaxUpdateTextBytes = 1024 * 1024;

} // namespace cardolin
