#pragma once

#include <QStringList>

namespace cardolin::cli {

// quillet-cli accounts
int RunAccountsCommand(bool answerYes);

struct SettingsOptions
{
    QString type;                // the word given with --type, empty without it
    bool includeSecrets = false; // an export leaves secret values out without it
    bool showSecrets = false;    // get and list print secret values only with it
    bool answerYes = false;
};

// quillet-cli settings get PATH | set PATH VALUE | list [KEY] | export KEY FILE
int RunSettingsCommand(const QStringList &words, const SettingsOptions &options);

} // namespace cardolin::cli
