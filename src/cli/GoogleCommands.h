#pragma once

#include <QStringList>

namespace cardolin::cli {

struct GoogleOptions
{
    QString loginHint;
    QString refreshToken;
    bool printToken = false;
    bool answerYes = false;
};

// quillet-cli google connect | pull BOOK | push BOOK | groups
int RunGoogleCommand(const QStringList &words, const GoogleOptions &options);

} // namespace cardolin::cli
