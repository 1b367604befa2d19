#include "support/QorAppUpdate.h"

#include "platform/DesktopServices.h"
#include "support/QorRegistryEnhanced.h"
#include "support/SettingsTable.h"
#include "support/StartupSettings.h"
#include "support/UserPrompts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <openssl/evp.h>

#include <memory>

namespace cardolin {

namespace {

constexpr qint64 kKiB = 1024;
constexpr qint64 kMiB = kKiB * 1024;
constexpr qint64 kGiB = kMiB * 1024;

QString Grouped(qint64 value, const QString &suffix, const QLocale &locale)
{
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    return grouped.toString(value) + suffix;
}

// A fixed unit: 0 stays 0, anything below one unit counts as one.
QString InUnit(qint64 size, qint64 unit, const QString &suffix, const QLocale &locale)
{
    if (size <= 0)
        return u'0' + suffix;
    return Grouped(size < unit ? 1 : size / unit, suffix, locale);
}

} // namespace

QString FormatFileSize(qint64 size, TQorAppUpdateFileSizeUnit unit, const QLocale &locale)
{
    using U = TQorAppUpdateFileSizeUnit;
    switch (unit) {
    case U::Auto:
        if (size <= 0)
            return QStringLiteral("0 B");
        if (size <= kKiB)
            return Grouped(size, QStringLiteral(" B"), locale);
        if (size <= kMiB)
            return Grouped(size / kKiB, QStringLiteral(" KB"), locale);
        if (size <= kGiB)
            return Grouped(size / kMiB, QStringLiteral(" MB"), locale);
        return Grouped(size / kGiB, QStringLiteral(" GB"), locale);
    case U::Bytes:
        return InUnit(size, 1, QStringLiteral(" B"), locale);
    case U::KiloBytes:
        return InUnit(size, kKiB, QStringLiteral(" KB"), locale);
    case U::MegaBytes:
        return InUnit(size, kMiB, QStringLiteral(" MB"), locale);
    case U::GigaBytes:
        return InUnit(size, kGiB, QStringLiteral(" GB"), locale);
    }
    return {};
}

namespace {

// Key and value of "key=value"; lines without "=" give an empty key.
std::pair<QString, QString> IniPair(const QString &line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals <= 0)
        return {};
    return {line.left(equals).trimmed(), line.mid(equals + 1).trimmed()};
}

void TakeIfEmpty(QString &target, const QString &value)
{
    if (target.isEmpty())
        target = value;
}

} // namespace

void ReadUpdateSection(const QByteArray &iniText, const QString &section, TUpdateInfo &info)
{
    bool inSection = false;
    const QStringList lines = QString::fromUtf8(iniText).split(u'\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            inSection = line.mid(1, line.size() - 2).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || line.startsWith(u';'))
            continue;
        const std::pair<QString, QString> pair = IniPair(line);
        const QString &key = pair.first;
        const QString &value = pair.second;
        auto is = [&key](const char *name) { return key.compare(QLatin1StringView(name), Qt::CaseInsensitive) == 0; };
        if (is("Version"))
            info.Version = value;
        else if (is("DownloadFileURL"))
            TakeIfEmpty(info.DownloadFileURL, value);
        else if (is("ReadmeFileURL"))
            TakeIfEmpty(info.ReadmeFileURL, value);
        else if (is("UpdatePageURL"))
            TakeIfEmpty(info.UpdatePageURL, value);
        else if (is("MD5Hash"))
            TakeIfEmpty(info.MD5Hash, value);
        else if (is("SHA1Hash"))
            TakeIfEmpty(info.SHA1Hash, value);
        else if (is("SHA256Hash"))
            TakeIfEmpty(info.SHA256Hash, value);
    }
}

THashType EffectiveHashType(THashType asked, const TUpdateInfo &info)
{
    if (asked != THashType::htNone)
        return asked;
    if (!info.SHA256Hash.isEmpty())
        return THashType::htSHA256;
    if (!info.SHA1Hash.isEmpty())
        return THashType::htSHA1;
    if (!info.MD5Hash.isEmpty())
        return THashType::htMD5;
    return THashType::htNone;
}

QString ExpectedDigest(THashType type, const TUpdateInfo &info)
{
    switch (type) {
    case THashType::htMD5:
        return info.MD5Hash.toLower();
    case THashType::htSHA1:
        return info.SHA1Hash.toLower();
    case THashType::htSHA256:
        return info.SHA256Hash.toLower();
    case THashType::htNone:
        break;
    }
    return {};
}

QString FileDigest(const QString &fileName, THashType type)
{
    const EVP_MD *md = type == THashType::htMD5    ? EVP_md5()
                       : type == THashType::htSHA1 ? EVP_sha1()
                       : type == THashType::htSHA256 ? EVP_sha256()
                                                     : nullptr;
    QFile file(fileName);
    if (!md || !file.open(QIODevice::ReadOnly))
        return {};
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), md, nullptr) != 1)
        return {};
    while (!file.atEnd()) {
        const QByteArray block = file.read(64 * 1024);
        if (block.isEmpty() || EVP_DigestUpdate(context.get(), block.constData(), size_t(block.size())) != 1)
            return {};
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1)
        return {};
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex());
}

QString ConfiguredUpdateFileURL(const TQorRegistryEnhanced &registry)
{
    const QString fromEnvironment = qEnvironmentVariable("CARDOLIN_UPDATE_URL").trimmed();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return ReadTextSetting(registry, SettingId::UpdateFileURL).trimmed();
}

QString UpdatePageBeside(const QString &updateFileURL)
{
    if (UpdateSourceKind(updateFileURL) != TUpdateSourceKind::Web)
        return {};
    return QUrl(updateFileURL).adjusted(QUrl::RemoveFilename | QUrl::RemoveQuery | QUrl::RemoveFragment).toString();
}

QString DefaultUpdateProgramName()
{
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (name.isEmpty())
        return QStringLiteral("Quillet");
    return name.section(u'.', 0, 0);
}

TUpdateTransferOptions TQorAppUpdate::TransferOptions() const
{
    TUpdateTransferOptions options;
    options.ProxyAddress = ProxyAddress;
    options.ProxyPort = ProxyPort.toInt();
    options.TimeoutMs = TimeoutMs;
    options.DeadlineMs = DeadlineMs;
    // Only a file the user pointed at may name files of this machine.
    options.WebOnly = UpdateSourceKind(UpdateFileURL) != TUpdateSourceKind::Path;
    return options;
}

namespace {

// "1.02.08" as {1, 2, 8}; a part's text after its digits ("08b1") breaks ties.
int ComparePart(QStringView a, QStringView b)
{
    auto digits = [](QStringView part) {
        qsizetype n = 0;
        while (n < part.size() && part[n].isDigit() && part[n].unicode() < 128)
            ++n;
        return n;
    };
    const qsizetype da = digits(a), db = digits(b);
    // Leading zeros say nothing about the value.
    QStringView na = a.left(da), nb = b.left(db);
    while (na.size() > 1 && na.front() == u'0')
        na = na.mid(1);
    while (nb.size() > 1 && nb.front() == u'0')
        nb = nb.mid(1);
    if (na.size() != nb.size())
        return na.size() < nb.size() ? -1 : 1;
    if (const int byValue = na.compare(nb); byValue != 0)
        return byValue < 0 ? -1 : 1;
    const int rest = a.mid(da).compare(b.mid(db), Qt::CaseInsensitive);
    return rest < 0 ? -1 : rest > 0 ? 1 : 0;
}

// "0.01.00b7" is release 0.01.00, build 7; a version without a build is
// build 0, as a missing part is 0: "0.01.00" and "0.01.00b0" are the same.
struct VersionParts
{
    QStringView Release;
    QStringView Build; // digits; empty when there is none
};

VersionParts SplitBuild(QStringView version)
{
    const qsizetype b = version.lastIndexOf(u'b', -1, Qt::CaseInsensitive);
    if (b <= 0 || b + 1 == version.size() || !version[b - 1].isDigit())
        return {version, {}};
    const QStringView build = version.mid(b + 1);
    for (const QChar c : build)
        if (!c.isDigit() || c.unicode() >= 128)
            return {version, {}};
    return {version.left(b), build};
}

int CompareReleases(QStringView a, QStringView b)
{
    const QList<QStringView> left = a.split(u'.');
    const QList<QStringView> right = b.split(u'.');
    for (qsizetype i = 0; i < qMax(left.size(), right.size()); ++i) {
        // A missing part counts as 0: "1.2" is "1.2.0".
        const QStringView l = i < left.size() ? left[i] : QStringView(u"0");
        const QStringView r = i < right.size() ? right[i] : QStringView(u"0");
        if (const int order = ComparePart(l, r); order != 0)
            return order;
    }
    return 0;
}

} // namespace

int CompareVersions(const QString &a, const QString &b)
{
    const VersionParts left = SplitBuild(QStringView(a).trimmed());
    const VersionParts right = SplitBuild(QStringView(b).trimmed());
    if (const int order = CompareReleases(left.Release, right.Release); order != 0)
        return order;
    return ComparePart(left.Build.isEmpty() ? QStringView(u"0") : left.Build,
                       right.Build.isEmpty() ? QStringView(u"0") : right.Build);
}

TQorAppUpdate::TCheckResult TQorAppUpdate::Check() const
{
    TCheckResult result;
    if (UpdateFileURL.isEmpty())
        return result;
    const TUpdateTransferOptions options = TransferOptions();
    TUpdateTransferOptions configured = options;
    configured.WebOnly = false; // the address the user gave
    QByteArray text;
    if (FetchUpdateText(UpdateFileURL, configured, text, result.FailureText))
        ReadUpdateSection(text, ProgramName, result.Info);
    // The page goes to the browser: a published file may name a web page only.
    if (options.WebOnly && UpdateSourceKind(result.Info.UpdatePageURL) != TUpdateSourceKind::Web)
        result.Info.UpdatePageURL.clear();
    TakeIfEmpty(result.Info.UpdatePageURL, UpdatePageURL);
    if (!result.Info.ReadmeFileURL.isEmpty()) {
        QByteArray readme;
        QString ignored;
        if (FetchUpdateText(result.Info.ReadmeFileURL, options, readme, ignored))
            result.Info.Readme = QString::fromUtf8(readme);
    }
    if (!result.FailureText.isEmpty())
        result.Outcome = TOutcome::Failed;
    else
        result.Outcome = !result.Info.Version.isEmpty() && CompareVersions(Version, result.Info.Version) < 0
                             ? TOutcome::NewerVersion
                             : TOutcome::UpToDate;
    return result;
}

bool TQorAppUpdate::Execute(bool noMessageDlg, UserPrompts &prompts, platform::DesktopServices &desktop) const
{
    if (UpdateFileURL.isEmpty()) {
        if (!noMessageDlg)
            prompts.ShowError(QCoreApplication::translate(
                "TQorAppUpdate", "No update address is configured: set UpdateFileURL in the settings or the "
                                 "environment variable CARDOLIN_UPDATE_URL."));
        return false;
    }
    TCheckResult result;
    {
        BusyCursor busy(prompts);
        result = Check();
    }
    if (result.Outcome == TOutcome::NewerVersion) {
        if (ShowNotifyBox)
            ShowNotifyBox(result.Info);
        return true;
    }
    if (noMessageDlg)
        return false;
    if (result.Outcome == TOutcome::Failed) {
        // A failed check must not pass for "up to date" nor for "nothing
        // advertised": the page is still offered, with the reason.
        const QString failure = QCoreApplication::translate("TQorAppUpdate", "The update file could not be read (%1).")
                                    .arg(result.FailureText);
        if (result.Info.UpdatePageURL.isEmpty())
            prompts.ShowError(failure);
        else if (prompts.AskYesNo(failure + u'\n'
                                  + QCoreApplication::translate("TQorAppUpdate",
                                                                "Do you want to open the update web page?")))
            desktop.OpenAddress(result.Info.UpdatePageURL);
        return false;
    }
    if (!result.Info.Version.isEmpty() || result.Info.UpdatePageURL.isEmpty()) {
        prompts.ShowInformation(QStringLiteral("There are no new versions available."));
        return false;
    }
    if (prompts.AskYesNo(QStringLiteral("There are no advertised versions available.\n"
                                        "Do you want to open the update web page?")))
        desktop.OpenAddress(result.Info.UpdatePageURL);
    return false;
}

void ConfigureAppUpdate(TQorAppUpdate &update, const TQorRegistryEnhanced &registry)
{
    update.UpdateFileURL = ConfiguredUpdateFileURL(registry);
    update.UpdatePageURL = UpdatePageBeside(update.UpdateFileURL);
    // With its build: a published build of the same release is then told
    // from the running one.
    update.Version = ProgramVersionText();
    update.ProgramName = QStringLiteral("Quillet");
    update.FileSizeUnit = TQorAppUpdateFileSizeUnit::KiloBytes;
    const bool proxy = ReadBoolSetting(registry, SettingId::UseProxyServer);
    update.ProxyAddress = proxy ? ReadTextSetting(registry, SettingId::ProxyAddress) : QString();
    update.ProxyPort = proxy ? ReadTextSetting(registry, SettingId::ProxyPort) : QStringLiteral("80");
}

} // namespace cardolin
