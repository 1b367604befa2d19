#include "formats/FolderFiles.h"

#include <QDir>

namespace cardolin::folderfiles {

QStringList List(const QString &folder, const QString &pattern)
{
    QDir dir(folder);
    QStringList paths;
    const auto entries = dir.entryInfoList({pattern}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &info : entries)
        paths.append(info.absoluteFilePath());
    return paths;
}

namespace {

QString SafeName(const QString &name)
{
    QString safe;
    for (QChar c : name)
        safe += c.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(c) ? QChar(u'_') : c;
    safe = safe.trimmed();
    // "." and ".." would name a folder, not a file.
    if (safe.isEmpty() || safe == QLatin1StringView(".") || safe == QLatin1StringView(".."))
        safe = QStringLiteral("Contact");
    // File systems count a name's bytes, not its characters: 200 Chinese
    // characters are 600 bytes, past the usual 255.
    safe.truncate(200);
    while (safe.toUtf8().size() > 200)
        safe.chop(safe.size() >= 2 && safe.back().isLowSurrogate() ? 2 : 1);
    return safe;
}

} // namespace

QString UniquePath(const QString &folder, const QString &displayName, const QString &suffix, QSet<QString> &used)
{
    const QString base = SafeName(displayName);
    QString name = base + suffix;
    for (int n = 2; used.contains(name.toCaseFolded()); ++n)
        name = base + QStringLiteral(" (%1)").arg(n) + suffix;
    used.insert(name.toCaseFolded());
    return QDir(folder).filePath(name);
}

} // namespace cardolin::folderfiles
