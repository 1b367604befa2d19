#pragma once

#include "support/BoundedReply.h"
#include "support/UpdateTransfer.h"

#include <QLocale>
#include <QString>

#include <functional>

namespace cardolin {

class TQorRegistryEnhanced;
class UserPrompts;
namespace platform {
class DesktopServices;
}

enum class TQorAppUpdateFileSizeUnit { Auto, Bytes, KiloBytes, MegaBytes, GigaBytes };
enum class THashType { htNone, htMD5, htSHA1, htSHA256 };

// Sizes as the update dialogs show them ("2,560 KB"); the numbers carry the
// locale's thousands separator.
QString FormatFileSize(qint64 size, TQorAppUpdateFileSizeUnit unit, const QLocale &locale = QLocale());

// What the update file's section and the read-me say about the published version.
struct TUpdateInfo
{
    QString DownloadFileURL;
    QString ReadmeFileURL;
    QString UpdatePageURL;
    QString MD5Hash;
    QString SHA1Hash;
    QString SHA256Hash;
    QString Version;
    QString Readme;
};

// Reads the keys of section from an INI text into info: the addresses and
// digests only where info has none yet, the version always.
void ReadUpdateSection(const QByteArray &iniText, const QString &section, TUpdateInfo &info);

// The digest that decides whether a downloaded file may be opened: the one
// asked for, or else the strongest the update file gives; none when neither.
THashType EffectiveHashType(THashType asked, const TUpdateInfo &info);
QString ExpectedDigest(THashType type, const TUpdateInfo &info);
// The file's digest as lower-case hexadecimal; empty when it cannot be read.
QString FileDigest(const QString &fileName, THashType type);

// Orders version texts part by part, each part by its number ("0.1.0" is
// newer than "00.00.01", "1.10" newer than "1.9"), then by build ("b7"; none
// is build 0); <0, 0 or >0.
int CompareVersions(const QString &a, const QString &b);

// The update file's address: CARDOLIN_UPDATE_URL, else the setting
// UpdateFileURL; empty when neither is set.
QString ConfiguredUpdateFileURL(const TQorRegistryEnhanced &registry);
// The page about updates beside a web update file: its folder. Empty for paths.
QString UpdatePageBeside(const QString &updateFileURL);

// The section of the update file that speaks for this program.
QString DefaultUpdateProgramName();

// The update check: reads the update file, compares versions and shows the
// published version through ShowNotifyBox.
class TQorAppUpdate
{
public:
    enum class TOutcome { NewerVersion, UpToDate, Failed, NotConfigured };
    struct TCheckResult
    {
        TOutcome Outcome = TOutcome::NotConfigured;
        TUpdateInfo Info;
        QString FailureText; // why the update file could not be read
    };

    QString UpdateFileURL;
    QString UpdatePageURL;
    QString Version;
    QString ProgramName = DefaultUpdateProgramName();
    TQorAppUpdateFileSizeUnit FileSizeUnit = TQorAppUpdateFileSizeUnit::Auto;
    THashType HashType = THashType::htNone;
    QString ProxyAddress;
    QString ProxyPort = QStringLiteral("80");
    int TimeoutMs = 30000;                 // silence that fails one request
    int DeadlineMs = kRequestDeadlineMs;   // the whole of one request

    // Reads the update file and the read-me; never talks to the user.
    TCheckResult Check() const;
    // Runs the check and tells the user; true when a newer version was shown.
    bool Execute(bool noMessageDlg, UserPrompts &prompts, platform::DesktopServices &desktop) const;

    // Shows the notify dialog for a newer version; the desktop program sets it.
    std::function<void(const TUpdateInfo &)> ShowNotifyBox;

    TUpdateTransferOptions TransferOptions() const;
};

// The main window's settings for the check: the configured addresses, the
// running version with its build, sizes in KB, the proxy of the options and the desktop
// program's section ("Quillet"), which the command-line tool reads too.
void ConfigureAppUpdate(TQorAppUpdate &update, const TQorRegistryEnhanced &registry);

} // namespace cardolin
