#include "platform/SystemDesktopServices.h"

#include "platform/MailHandOver.h"

#include <QProcess>
#include <QStandardPaths>

namespace cardolin::platform {

namespace {

constexpr int kQueryMs = 5000;

// One answer of xdg-mime, trimmed; empty when it failed or said nothing.
QString AskXdgMime(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdg-mime"), arguments);
    if (!process.waitForFinished(kQueryMs) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        process.kill();
        process.waitForFinished(kQueryMs);
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

} // namespace

bool HasOpenerFor(const QString &path)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return false;
    const QString type = AskXdgMime({QStringLiteral("query"), QStringLiteral("filetype"), path});
    return !type.isEmpty() && !AskXdgMime({QStringLiteral("query"), QStringLiteral("default"), type}).isEmpty();
}

bool SystemDesktopServices::OpenAddress(const QString &address)
{
    if (address.trimmed().isEmpty())
        return false;
    // Arguments go to the program as they are: no shell ever sees the address.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {address});
}

bool SystemDesktopServices::ComposeMail(const QString &recipients, const QString &subject, const QString &body,
                                        const QString &attachmentPath)
{
    return HandMessageToMailProgram(recipients, subject, body, attachmentPath);
}

} // namespace cardolin::platform
