#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace cardolin::folderfiles {

// Full paths of the folder's files matching the pattern, hidden ones included,
// sorted by name so an import is repeatable. The process's current directory is
// left alone.
QStringList List(const QString &folder, const QString &pattern);

// A file name for a contact inside the folder: characters no file system
// accepts become "_", and a name already used by this export gets " (2)", " (3)"...
// so two contacts never overwrite each other's file.
QString UniquePath(const QString &folder, const QString &displayName, const QString &suffix, QSet<QString> &used);

} // namespace cardolin::folderfiles
