#pragma once

#include <QStringList>

namespace cardolin::cli {

struct CardDavOptions
{
    QString url;
    QString user;
    QString addressBook; // href or display name
    QString account;
    bool answerYes = false;
    bool dryRun = false;
};

// quillet-cli carddav accounts [add NAME | remove NAME] | books | sync BOOK
int RunCardDavCommand(const QStringList &words, const CardDavOptions &options);

} // namespace cardolin::cli
