#pragma once

#include <QString>

namespace cardolin {

class TQorRegistryEnhanced;

// "1.02.08b0" for file version 1.2.8.0: minor and release padded to two digits.
QString VersionText(int major, int minor, int release, int build);
// The running program's version text.
QString ProgramVersionText();
// The version text without its build part ("1.02.08"), as the update check
// compares it.
QString VersionWithoutBuild(const QString &versionText);

// What the first start of a new version found before it rewrote the store; the
// conversion of stored Google accounts depends on both.
struct TVersionMigration
{
    bool Migrated = false;               // the stored version differed
    bool OlderThanAccountsLayout = false; // stored version below 1.01.00b0
    bool GoogleAccountsHoldValues = false; // "Google Accounts" held values itself
};

// On the first start of another version: records the program folder and the
// running version, and renames the old "Accounts" key. A start with the same
// version changes nothing.
TVersionMigration MigrateVersionSettings(TQorRegistryEnhanced &registry, const QString &runningVersion,
                                         const QString &applicationPath);

// Folder of the default category and keyword files, always ending with "/".
QString ReadDefFilesPath(const TQorRegistryEnhanced &registry);

// The debug log to write: the log folder plus the executable's name with
// ".log"; empty while no existing folder is set.
QString DebugLogFileName(const TQorRegistryEnhanced &registry, const QString &executableFileName);

} // namespace cardolin
