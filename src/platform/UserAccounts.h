#pragma once

#include <QString>

namespace cardolin::platform {

// What the program asks of the system's user database; tests substitute it.
class UserDatabase
{
public:
    virtual ~UserDatabase() = default;
    // The current user's profile folder.
    virtual QString HomeFolder() const = 0;
    // The current user's logon name.
    virtual QString LogonName() const = 0;
    // The full name recorded for a user, empty when there is none.
    virtual QString FullName(const QString &userName) const = 0;
};

class SystemUserDatabase final : public UserDatabase
{
public:
    QString HomeFolder() const override;
    QString LogonName() const override;
    QString FullName(const QString &userName) const override;
};

// The logon name of a user id, or the number when the database has none.
QString UserNameOf(unsigned userId);

// The current user's home folder as the user database records it.
QString HomeFolderFromUserDatabase();

} // namespace cardolin::platform
