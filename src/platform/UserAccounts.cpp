#include "platform/UserAccounts.h"

#include "platform/SystemFolders.h"

#include <QFile>

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace cardolin::platform {

namespace {

// What use makes of the entry that lookup finds; empty when there is none.
template <typename Lookup, typename Use>
QString WithEntry(Lookup lookup, Use use)
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    passwd entry{};
    passwd *found = nullptr;
    if (lookup(&entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    return use(*found);
}

template <typename Use>
QString WithCurrentUser(Use use)
{
    return WithEntry([](passwd *e, char *b, size_t n, passwd **r) { return ::getpwuid_r(::geteuid(), e, b, n, r); },
                     use);
}

} // namespace

QString SystemUserDatabase::HomeFolder() const
{
    return platform::HomeFolder();
}

QString SystemUserDatabase::LogonName() const
{
    return WithCurrentUser([](const passwd &e) { return QString::fromUtf8(e.pw_name); });
}

QString SystemUserDatabase::FullName(const QString &userName) const
{
    const QByteArray name = userName.toUtf8();
    // The comment field reads "Full Name,Room,Work phone,Home phone,Other".
    return WithEntry(
        [&](passwd *e, char *b, size_t n, passwd **r) { return ::getpwnam_r(name.constData(), e, b, n, r); },
        [](const passwd &e) { return QString::fromUtf8(e.pw_gecos ? e.pw_gecos : "").section(u',', 0, 0).trimmed(); });
}

QString UserNameOf(unsigned userId)
{
    const QString name = WithEntry(
        [userId](passwd *e, char *b, size_t n, passwd **r) { return ::getpwuid_r(uid_t(userId), e, b, n, r); },
        [](const passwd &e) { return QString::fromUtf8(e.pw_name); });
    return name.isEmpty() ? QString::number(userId) : name;
}

QString HomeFolderFromUserDatabase()
{
    return WithCurrentUser([](const passwd &e) { return QFile::decodeName(e.pw_dir); });
}

} // namespace cardolin::platform
