#pragma once

#include <QStringList>

namespace cardolin::cli {

// quillet-cli accounts
int RunAccountsCommand(bool answerYes);

// quillet-cli settings get PATH | set PATH VALUE | list [KEY] | export KEY FILE;
// type is the word given with --type, empty without it; an export leaves
// secret values out unless includeSecrets.
int RunSettingsCommand(const QStringList &words, const QString &type, bool includeSecrets, bool answerYes);

} // namespace cardolin::cli
