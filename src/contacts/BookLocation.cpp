#include "contacts/BookLocation.h"

#include "platform/UserAccounts.h"
#include "support/SettingsTable.h"

#include <QDir>
#include <QFileInfo>

namespace cardolin {

namespace {

const QLatin1StringView kBookExtension(".qcb");

// A full name may hold a "/", which would lead the book into another folder.
QString FileNamePart(QString name)
{
    return name.replace(u'/', u'_');
}

} // namespace

TStorageSettings ReadStorageSettings(const TQorRegistryEnhanced &registry)
{
    return {ReadBoolSetting(registry, SettingId::StoreUserContactsBookInUserContactsFolder),
            ReadTextSetting(registry, SettingId::CommonContactsBookLibrary),
            ReadBoolSetting(registry, SettingId::UseDisplayNameAsWindowsUserAccountForStorage)};
}

// ---- accounts -----------------------------------------------------------------

bool TUserAccounts::ProfileAtTop() const
{
    return QFileInfo(QDir::cleanPath(m_users.HomeFolder())).path() == QLatin1StringView("/");
}

QString TUserAccounts::ProfilesRoot() const
{
    return QFileInfo(QDir::cleanPath(m_users.HomeFolder())).path();
}

QString TUserAccounts::CurrentAccount() const
{
    return QFileInfo(QDir::cleanPath(m_users.HomeFolder())).fileName();
}

QStringList TUserAccounts::Accounts() const
{
    if (ProfileAtTop())
        return {CurrentAccount()};
    return QDir(ProfilesRoot()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

int TUserAccounts::ListAccounts(QStringList &list) const
{
    list = Accounts();
    return int(list.size());
}

std::optional<QString> TUserAccounts::FindAccount(const QString &name) const
{
    const QStringList accounts = Accounts();
    if (accounts.contains(name))
        return name;
    for (const QString &account : accounts)
        if (account.compare(name, Qt::CaseInsensitive) == 0)
            return account;
    return std::nullopt;
}

QString TUserAccounts::DisplayName(const QString &name) const
{
    const QString fullName = m_users.FullName(name);
    return fullName.isEmpty() ? name : fullName;
}

QString TUserAccounts::LogonName() const
{
    return m_users.LogonName();
}

// ---- book paths -----------------------------------------------------------------

TStorageType TContactsBookLocator::EffectiveStorageType(TStorageType AStorageType) const
{
    if (AStorageType != stInherited)
        return AStorageType;
    if (m_settings.StoreUserContactsBookInUserContactsFolder)
        return stUser;
    return QFileInfo(m_settings.CommonContactsBookLibrary).isDir() ? stCommon : stUser;
}

QString TContactsBookLocator::BookName(const QString &name) const
{
    return FileNamePart(m_settings.UseDisplayNameAsWindowsUserAccountForStorage ? m_accounts.DisplayName(name) : name)
           + kBookExtension;
}

QString TContactsBookLocator::GetWindowsContactsBookFileName(const QString &UserName, TStorageType AStorageType) const
{
    if (EffectiveStorageType(AStorageType) == stUser) {
        const QDir profile(QDir(m_accounts.ProfilesRoot()).filePath(FileNamePart(UserName)));
        return profile.filePath(QStringLiteral("Contacts/") + BookName(UserName));
    }
    QString library = m_settings.CommonContactsBookLibrary;
    if (!library.endsWith(u'/'))
        library += u'/';
    const QString book = library + BookName(UserName);
    if (m_settings.UseDisplayNameAsWindowsUserAccountForStorage && !QFileInfo::exists(book)) {
        // A book named after the display name of whoever is logged on.
        const QString logon = library + BookName(m_accounts.LogonName());
        if (QFileInfo::exists(logon))
            return logon;
    }
    return book;
}

QString TContactsBookLocator::BookUnderOtherName(const QString &UserName) const
{
    TStorageSettings other = m_settings;
    other.UseDisplayNameAsWindowsUserAccountForStorage = !other.UseDisplayNameAsWindowsUserAccountForStorage;
    return TContactsBookLocator(m_accounts, other).GetWindowsContactsBookFileName(UserName, stInherited);
}

QString AccountOfBookArguments(const QStringList &arguments, const TUserAccounts &accounts)
{
    const QString fileName = QFileInfo(arguments.join(u' ')).fileName();
    if (!fileName.endsWith(kBookExtension, Qt::CaseInsensitive))
        return {};
    const QString name = fileName.left(fileName.indexOf(kBookExtension, 0, Qt::CaseInsensitive));
    return accounts.FindAccount(name).value_or(QString());
}

} // namespace cardolin
