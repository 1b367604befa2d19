#pragma once

#include "fakes/CoreApplication.h"
#include "platform/SecretStore.h"
#include "support/FileRegistryStore.h"
#include "support/QorRegistryEnhanced.h"
#include "support/SettingsTable.h"
#include "support/UserPrompts.h"

#include <QFile>
#include <QTemporaryDir>

namespace cardolin::testing {

// Accounts kept in a real settings file, with the keyring given (null: none)
// standing for the session's for the fixture's lifetime.
struct AccountsFile
{
    QTemporaryDir dir;
    UserPrompts &prompts = SilentPrompts::Instance();
    FileRegistryStore store{dir.filePath("settings"), prompts};
    TQorRegistryEnhanced registry{store};

    explicit AccountsFile(platform::SecretStore *keyring)
    {
        EnsureCoreApplication();
        platform::UseSessionKeyring(keyring);
        registry.SetKey(QString(kProgramSettingsKey));
    }
    ~AccountsFile() { platform::UseSessionKeyring(nullptr); }
    AccountsFile(const AccountsFile &) = delete;
    AccountsFile &operator=(const AccountsFile &) = delete;

    QByteArray Text() const { return Read(dir.filePath("settings")); }

    static QByteArray Read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace cardolin::testing
