#include "support/QorLogFile.h"

#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/SystemFolders.h"
#include "platform/UserAccounts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

namespace cardolin {

TQorLogFile::TQorLogFile(const Clock &clock)
    : UserNameSource([] { return platform::SystemUserDatabase().LogonName(); }),
      ComputerNameSource(platform::ComputerName), m_clock(clock), m_dateTimeFormat(DefaultDateTimeFormat())
{
    SetFileName(QString());
}

QString TQorLogFile::DefaultFileName()
{
    const QFileInfo executable(platform::ExecutableFilePath());
    return executable.dir().filePath(executable.completeBaseName() + QStringLiteral(".log"));
}

QString TQorLogFile::DefaultDateTimeFormat()
{
    const QLocale locale = QLocale::system();
    // The long time format names the time zone; a log line has no use for it.
    QString time = locale.timeFormat(QLocale::LongFormat);
    time.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*$")));
    return locale.dateFormat(QLocale::ShortFormat) + u' ' + time;
}

void TQorLogFile::SetFileName(const QString &value)
{
    m_fileName = value.isEmpty() ? DefaultFileName() : value;
    if (!m_enabled)
        return;
    QDir().mkpath(QFileInfo(m_fileName).path());
    if (m_deleteOnChangeName && QFileInfo(m_fileName).isFile())
        QFile::remove(m_fileName);
}

void TQorLogFile::SetDateTimeFormatStr(const QString &value)
{
    m_dateTimeFormat = value.isEmpty() ? DefaultDateTimeFormat() : value;
}

QString TQorLogFile::Prefix() const
{
    QString prefix;
    const auto append = [&prefix](const QString &part) { prefix += (prefix.isEmpty() ? QString() : QStringLiteral(" ")) + part; };
    if (m_timeStamp)
        append(QLocale::system().toString(m_clock.NowUtc().toLocalTime(), m_dateTimeFormat) + QStringLiteral(" :"));
    if (!m_prefixText.isEmpty())
        append(m_prefixText + QStringLiteral(" -"));
    const QString user = m_userName && UserNameSource ? UserNameSource() : QString();
    const QString computer = m_computerName && ComputerNameSource ? ComputerNameSource() : QString();
    if (!user.isEmpty() || !computer.isEmpty()) {
        const QString at = !user.isEmpty() && !computer.isEmpty() ? QStringLiteral("@") : QString();
        append(u'(' + user + at + computer + u')');
    }
    return prefix;
}

bool TQorLogFile::SetLogText(const QString &message)
{
    if (!m_enabled || m_fileName.isEmpty())
        return false;
    const QString prefix = Prefix();
    const QString line = prefix.isEmpty() ? message : prefix + u' ' + message;
    if (!platform::AppendToFile(m_fileName, (line + u'\n').toUtf8()))
        return false;
    m_logText = line;
    return true;
}

} // namespace cardolin
