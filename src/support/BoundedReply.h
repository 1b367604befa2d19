#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QNetworkReply;
class QUrl;

namespace cardolin {

// How long a request may take and how much it may bring. The idle limit
// alone lets a server that sends one byte now and then keep a request
// going for ever, hence the overall deadline.
struct ReplyBounds
{
    int idleMs = 30000;     // no byte for this long ends the request
    int deadlineMs = 60000; // the whole request ends by then; 0: no deadline (a download the user can cancel)
    qint64 maxBytes = 0;    // a longer body ends the request; 0: no cap
    bool allowUserInput = false;
};

// Deadline of one answer of a service (an update file, a token, a page).
constexpr int kRequestDeadlineMs = 60000;
// Qt's network thread reads ahead no more than this, so the cap below is
// checked before memory grows, whatever the transfer encoding.
constexpr qint64 kReplyReadAheadBytes = 64 * 1024;

enum class ReplyEnd { Finished, TooLarge, TimedOut, Refused };

// Waits in a local event loop until reply ends, handing every block of its
// body to take as it arrives; take returns false to stop (Refused).
// Finished also covers answers that failed on their own (see reply.error()).
ReplyEnd AwaitReply(QNetworkReply &reply, const ReplyBounds &bounds,
                    const std::function<bool(const QByteArray &block)> &take);

// "the answer took longer than 60 seconds" and the like, for failure texts.
QString ReplyEndText(ReplyEnd end, const ReplyBounds &bounds);

// True for https addresses and http ones to this machine (127.0.0.0/8, ::1,
// localhost): the only ones that a key or a fetched file may lead to.
bool IsSecureOrLoopback(const QUrl &address);

} // namespace cardolin
