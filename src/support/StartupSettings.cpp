#include "support/StartupSettings.h"

#include "support/QorRegistryEnhanced.h"
#include "support/SettingsTable.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>

namespace cardolin {

QString VersionText(int major, int minor, int release, int build)
{
    return QStringLiteral("%1.%2.%3b%4")
        .arg(major)
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(release, 2, 10, QLatin1Char('0'))
        .arg(build);
}

QString ProgramVersionText()
{
    const QStringList parts = QStringLiteral(CARDOLIN_FILE_VERSION).split(u'.');
    const auto part = [&](int i) { return i < parts.size() ? parts[i].toInt() : 0; };
    return VersionText(part(0), part(1), part(2), part(3));
}

QString VersionWithoutBuild(const QString &versionText)
{
    const qsizetype b = versionText.indexOf(u'b');
    return b < 0 ? versionText : versionText.left(b);
}

TVersionMigration MigrateVersionSettings(TQorRegistryEnhanced &registry, const QString &runningVersion,
                                         const QString &applicationPath)
{
    TVersionMigration result;
    const QString stored = ReadTextSetting(registry, SettingId::Version);
    if (stored == runningVersion)
        return result;
    result.Migrated = true;
    QString folder = applicationPath;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    WriteSetting(registry, SettingId::ApplicationPath, folder);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    result.OlderThanAccountsLayout = collator.compare(stored, QStringLiteral("1.01.00b0")) < 0;
    const QString accountsKey = Setting(SettingId::GoogleAccounts).path;
    result.GoogleAccountsHoldValues = registry.CountValueNames(accountsKey) > 0;
    WriteSetting(registry, SettingId::Version, runningVersion);
    if (registry.KeyExists(QStringLiteral("Accounts")))
        registry.RenameKey(QStringLiteral("Accounts"), accountsKey);
    return result;
}

QString ReadDefFilesPath(const TQorRegistryEnhanced &registry)
{
    QString path = ReadTextSetting(registry, SettingId::DefFilesPath);
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

QString DebugLogFileName(const TQorRegistryEnhanced &registry, const QString &executableFileName)
{
    const QString folder = ReadTextSetting(registry, SettingId::DebugLogPath);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};
    return QDir(folder).filePath(QFileInfo(executableFileName).completeBaseName() + QStringLiteral(".log"));
}

} // namespace cardolin
