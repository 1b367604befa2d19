#pragma once

#include <QString>

namespace cardolin::platform {

// What a dropped link stands for: a symbolic link's final target, the file a
// ".desktop" link file points at (Type=Link, URL=file:...), or the path itself
// when it is neither. Empty when a link leads nowhere readable.
QString ResolveShortcut(const QString &path);

} // namespace cardolin::platform
