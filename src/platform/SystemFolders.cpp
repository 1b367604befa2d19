#include "platform/SystemFolders.h"

#include "platform/UserAccounts.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>

namespace cardolin::platform {

namespace {

// An environment folder counts only when absolute, as the XDG rules say.
QString AbsoluteFromEnvironment(const char *name)
{
    const QString value = qEnvironmentVariable(name);
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QString();
}

} // namespace

QString HomeFolder()
{
    const QString home = AbsoluteFromEnvironment("HOME");
    return home.isEmpty() ? HomeFolderFromUserDatabase() : home;
}

QString ConfigFolder()
{
    const QString config = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    return config.isEmpty() ? HomeFolder() + QStringLiteral("/.config") : config;
}

QString SettingsStoreFileName()
{
    return ConfigFolder() + QStringLiteral("/cardolin/registry.txt");
}

QStringList DataFolders()
{
    QStringList folders;
    for (const QString &folder : qEnvironmentVariable("XDG_DATA_DIRS").split(u':', Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(folder) && !folders.contains(QDir::cleanPath(folder)))
            folders.append(QDir::cleanPath(folder));
    // The XDG default when the variable says nothing usable.
    return folders.isEmpty() ? QStringList{QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")} : folders;
}

QString CommonDataFolder()
{
    return DataFolders().constFirst();
}

QString InstalledDataFolder()
{
    return QString::fromUtf8(CARDOLIN_INSTALL_DATADIR "/Velmora/Cardolin");
}

QString UserDataFolder()
{
    const QString data = AbsoluteFromEnvironment("XDG_DATA_HOME");
    return (data.isEmpty() ? HomeFolder() + QStringLiteral("/.local/share") : data) + QStringLiteral("/Cardolin");
}

QString UpdateDownloadFolder()
{
    const QString own = UserDataFolder() + QStringLiteral("/Downloaded Installations");
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    for (const QString &folder : {own, downloads})
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    return QDir::tempPath();
}

QString ComputerName()
{
    return QSysInfo::machineHostName();
}

} // namespace cardolin::platform
