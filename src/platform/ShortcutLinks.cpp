#include "platform/ShortcutLinks.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace cardolin::platform {

namespace {

// A link file is a few lines; anything larger is not one.
constexpr qint64 kLargestLinkFile = 64 * 1024;

// The target of a "[Desktop Entry]" of type Link with a local file address.
QString DesktopLinkTarget(const QString &path)
{
    QFile file(path);
    if (file.size() > kLargestLinkFile || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool isLink = false;
    QString url;
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'['))
            inEntry = line == QStringLiteral("[Desktop Entry]");
        else if (inEntry && line == QStringLiteral("Type=Link"))
            isLink = true;
        else if (inEntry && line.startsWith(QStringLiteral("URL=")))
            url = line.mid(4);
    }
    const QUrl address(url);
    return isLink && address.isLocalFile() ? address.toLocalFile() : QString();
}

} // namespace

QString ResolveShortcut(const QString &path)
{
    QString target = QFileInfo(path).isSymLink() ? QFileInfo(path).canonicalFilePath() : path;
    if (target.endsWith(QStringLiteral(".desktop"), Qt::CaseInsensitive) && QFileInfo(target).isFile()) {
        // One step only: a link to a link is not followed further.
        const QString linked = DesktopLinkTarget(target);
        target = linked.isEmpty() ? QString() : QFileInfo(linked).canonicalFilePath();
    }
    return target;
}

} // namespace cardolin::platform
