#pragma once

#include "platform/UserAccounts.h"

#include <QHash>

namespace cardolin::testing {

// A user database with a home folder and full names chosen by the test.
class FakeUserDatabase final : public platform::UserDatabase
{
public:
    QString HomeFolder() const override { return home; }
    QString LogonName() const override { return logon; }
    QString FullName(const QString &userName) const override { return fullNames.value(userName); }

    QString home;
    QString logon;
    QHash<QString, QString> fullNames;
};

} // namespace cardolin::testing
