#pragma once

#include <QStringList>

namespace cardolin::cli {

struct GoogleOptions
{
    QString loginHint;
    QString refreshToken;
    QString account;      // a stored account, whose token serves when none is given
    QString geocodingKey; // for google accounts add
    QString syncAction;   // contribute, echo or synchronize
    bool printToken = false;
    bool answerYes = false;
};

// quillet-cli google connect | pull BOOK | push BOOK | groups
int RunGoogleCommand(const QStringList &words, const GoogleOptions &options);
// quillet-cli sync BOOK --account NAME [--action A] [--yes]
int RunSyncCommand(const QString &book, const GoogleOptions &options);

} // namespace cardolin::cli
