#pragma once

#include "support/Clock.h"

#include <QString>

#include <functional>

namespace cardolin {

// Appends one line per message to a text file (UTF-8), optionally preceded by a
// time stamp, a fixed prefix and the user and computer names:
//   15/03/2024 14:03:07 : DEBUG - (ann@desk) Start ImportFromGoogleContactsService
// The file is opened and closed for every line.
class TQorLogFile
{
public:
    // Takes the default file name, which (being enabled) deletes an older log
    // beside the executable: each run starts a fresh default log.
    explicit TQorLogFile(const Clock &clock = SystemClock::Instance());

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value) { m_enabled = value; }
    const QString &FileName() const { return m_fileName; }
    // Empty chooses the default. While enabled, creates the file's folder and,
    // with DeleteOnChangeName, deletes an existing file of that name.
    void SetFileName(const QString &value);
    bool DeleteOnChangeName() const { return m_deleteOnChangeName; }
    void SetDeleteOnChangeName(bool value) { m_deleteOnChangeName = value; }
    bool TimeStamp() const { return m_timeStamp; }
    void SetTimeStamp(bool value) { m_timeStamp = value; }
    // A QDateTime format; empty chooses the default.
    const QString &DateTimeFormatStr() const { return m_dateTimeFormat; }
    void SetDateTimeFormatStr(const QString &value);
    const QString &PrefixText() const { return m_prefixText; }
    void SetPrefixText(const QString &value) { m_prefixText = value; }
    bool UserName() const { return m_userName; }
    void SetUserName(bool value) { m_userName = value; }
    bool ComputerName() const { return m_computerName; }
    void SetComputerName(bool value) { m_computerName = value; }
    // The last line written.
    const QString &LogText() const { return m_logText; }
    // Logs message; false when disabled, without a file name, or the file
    // cannot be written (LogText then keeps its previous line).
    bool SetLogText(const QString &message);

    // The executable's full path with the extension ".log".
    static QString DefaultFileName();
    // The user's short date format, a blank, and the user's long time format.
    static QString DefaultDateTimeFormat();

    // Where the names come from; tests substitute them.
    std::function<QString()> UserNameSource;
    std::function<QString()> ComputerNameSource;

private:
    QString Prefix() const;

    const Clock &m_clock;
    bool m_enabled = true;
    QString m_fileName;
    bool m_deleteOnChangeName = true;
    bool m_timeStamp = false;
    QString m_dateTimeFormat;
    QString m_prefixText;
    bool m_userName = false;
    bool m_computerName = false;
    QString m_logText;
};

} // namespace cardolin
