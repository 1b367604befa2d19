#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace cardolin::platform {
class DesktopServices;
}

namespace cardolin::app {

// What the program is, which libraries it runs on and where its files are,
// in a text a bug report can take as it is.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    AboutBox(const QString &settingsFile, const QString &bookFile, platform::DesktopServices &desktop,
             QWidget *parent = nullptr);

    // The program's name, version, build date, libraries, system and files.
    static QString SystemInformation(const QString &settingsFile, const QString &bookFile);

    void CopyButtonClick();

    QPlainTextEdit *InformationMemo;
    QPushButton *CopyButton;

private:
    platform::DesktopServices &m_desktop;
};

} // namespace cardolin::app
