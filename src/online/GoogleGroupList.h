#pragma once

#include <QStringList>

namespace cardolin {

// Lookups in a list of "name=resource name" entries of an account's contact
// groups; names compare ignoring case, resource names exactly.
QString GoogleGroupResourceName(const QStringList &groups, const QString &name);
QString GoogleGroupName(const QStringList &groups, const QString &resourceName);
bool HasGoogleGroup(const QStringList &groups, const QString &name);

} // namespace cardolin
