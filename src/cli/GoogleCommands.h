#pragma once

#include <QStringList>

namespace cardolin::cli {

struct GoogleOptions
{
    QString loginHint;
    QString refreshToken; // "-": read from standard input
    QString account;      // a stored account, whose token serves when none is given
    QString geocodingKey; // for google accounts add
    // Whether the option was on the command line at all: accounts add changes only
    // what it is given.
    bool refreshTokenGiven = false;
    bool geocodingKeyGiven = false;
    QString syncAction;   // contribute, echo or synchronize
    bool printToken = false;
    bool answerYes = false;
};

// quillet-cli google connect | pull BOOK | push BOOK | groups
int RunGoogleCommand(const QStringList &words, const GoogleOptions &options);
// quillet-cli sync BOOK --account NAME [--action A] [--yes]
int RunSyncCommand(const QString &book, const GoogleOptions &options);

} // namespace cardolin::cli
