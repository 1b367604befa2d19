#include "cli/UpdateCommands.h"

#include "cli/CliCommands.h"
#include "cli/CliPrompts.h"
#include "cli/Console.h"
#include "cli/UserEnvironment.h"
#include "support/QorAppUpdate.h"

namespace cardolin::cli {

namespace {

constexpr int kExitNewerVersion = 1;

QString NewerVersionText(const TUpdateInfo &info)
{
    QString text = QStringLiteral("New version available: %1\n").arg(info.Version);
    if (!info.DownloadFileURL.isEmpty())
        text += QStringLiteral("Download: %1\n").arg(info.DownloadFileURL);
    if (!info.UpdatePageURL.isEmpty())
        text += QStringLiteral("Web page: %1\n").arg(info.UpdatePageURL);
    if (!info.Readme.isEmpty())
        text += u'\n' + info.Readme + (info.Readme.endsWith(u'\n') ? QString() : QStringLiteral("\n"));
    return text;
}

} // namespace

int RunUpdateCommand(const QStringList &words, const QString &url)
{
    CliPrompts prompts(false);
    if (words.size() != 1 || words[0] != QLatin1StringView("check")) {
        prompts.ShowError(QStringLiteral("update takes one word: check."));
        return ExitFailed;
    }
    UserEnvironment environment(prompts);
    TQorAppUpdate update;
    ConfigureAppUpdate(update, environment.Registry());
    if (!url.isEmpty()) {
        update.UpdateFileURL = url;
        update.UpdatePageURL = UpdatePageBeside(url);
    }
    if (update.UpdateFileURL.isEmpty()) {
        prompts.ShowError(QStringLiteral("No update address is configured: set UpdateFileURL in the settings, "
                                         "CARDOLIN_UPDATE_URL in the environment, or give --url."));
        return ExitFailed;
    }
    const TQorAppUpdate::TCheckResult result = update.Check();
    switch (result.Outcome) {
    case TQorAppUpdate::TOutcome::NewerVersion:
        WriteStdout(NewerVersionText(result.Info));
        return FlushStdout() ? kExitNewerVersion : ExitFailed;
    case TQorAppUpdate::TOutcome::UpToDate:
        if (result.Info.Version.isEmpty()) {
            prompts.ShowError(QStringLiteral("The update file has no version for %1.").arg(update.ProgramName));
            return ExitFailed;
        }
        WriteStdout(QStringLiteral("There are no new versions available.\n"));
        return FlushStdout() ? ExitOk : ExitFailed;
    case TQorAppUpdate::TOutcome::Failed:
        prompts.ShowError(QStringLiteral("The update file could not be read (%1).").arg(result.FailureText));
        return ExitFailed;
    case TQorAppUpdate::TOutcome::NotConfigured:
        break;
    }
    return ExitFailed;
}

} // namespace cardolin::cli
