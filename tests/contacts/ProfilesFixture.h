#pragma once

#include "contacts/BookLocation.h"
#include "fakes/FakeUserDatabase.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace cardolin::testing {

// A scratch profiles folder with one sub-folder per account, a library folder
// beside it, and a user database whose current user is the first account.
struct ProfilesFixture : ::testing::Test
{
    QTemporaryDir dir;
    QString profiles = dir.filePath("home");
    QString library = dir.filePath("Books");
    FakeUserDatabase users;
    TUserAccounts accounts{users};

    explicit ProfilesFixture(const QStringList &folders)
    {
        for (const QString &folder : folders)
            QDir().mkpath(profiles + "/" + folder);
        users.home = profiles + "/" + folders.first();
        users.logon = folders.first();
    }
};

} // namespace cardolin::testing
