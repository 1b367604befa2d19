#include "app/AboutBox.h"

#include "app/ApplicationIcon.h"
#include "platform/DesktopServices.h"
#include "platform/SystemInformation.h"
#include "support/StartupSettings.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <openssl/crypto.h>

namespace cardolin::app {

namespace {

QString Licence()
{
    return QCoreApplication::translate(
        "AboutBox", "Cardolin is free software: you can redistribute it and/or modify it under the terms of the "
                    "GNU General Public License as published by the Free Software Foundation, either version 3 of "
                    "the License, or (at your option) any later version. It comes with ABSOLUTELY NO WARRANTY.");
}

} // namespace

QString AboutBox::SystemInformation(const QString &settingsFile, const QString &bookFile)
{
    const QStringList lines = {
        QStringLiteral("Cardolin %1").arg(ProgramVersionText()),
        tr("Built: %1").arg(QStringLiteral(CARDOLIN_BUILD_DATE)),
        tr("Qt: %1 (built with %2)").arg(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR)),
        tr("OpenSSL: %1").arg(QString::fromLatin1(OpenSSL_version(OPENSSL_VERSION))),
        tr("System: %1").arg(platform::OperatingSystemDescription()),
        tr("Display: %1").arg(QGuiApplication::platformName()),
        tr("Settings file: %1").arg(settingsFile),
        tr("Contacts book: %1").arg(bookFile.isEmpty() ? tr("(none)") : bookFile),
    };
    return lines.join(u'\n');
}

AboutBox::AboutBox(const QString &settingsFile, const QString &bookFile, platform::DesktopServices &desktop,
                   QWidget *parent)
    : QDialog(parent), InformationMemo(new QPlainTextEdit(this)), CopyButton(new QPushButton(tr("Copy"), this)),
      m_desktop(desktop)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(tr("About Cardolin"));
    auto *icon = new QLabel(this);
    icon->setPixmap(ApplicationIcon().pixmap(64, 64));
    auto *name = new QLabel(QStringLiteral("<b>Cardolin</b> %1<br>%2")
                                .arg(ProgramVersionText().toHtmlEscaped(), tr("Address book for the desktop")),
                            this);
    auto *heading = new QHBoxLayout;
    heading->addWidget(icon);
    heading->addWidget(name, 1);
    InformationMemo->setObjectName(QStringLiteral("InformationMemo"));
    InformationMemo->setReadOnly(true);
    InformationMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    InformationMemo->setPlainText(SystemInformation(settingsFile, bookFile));
    InformationMemo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto *licence = new QLabel(Licence(), this);
    licence->setObjectName(QStringLiteral("LicenceLabel"));
    licence->setWordWrap(true);
    CopyButton->setObjectName(QStringLiteral("CopyButton"));
    auto *close = new QPushButton(tr("Close"), this);
    close->setDefault(true);
    connect(CopyButton, &QPushButton::clicked, this, &AboutBox::CopyButtonClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CopyButton);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(InformationMemo, 1);
    layout->addWidget(licence);
    layout->addLayout(buttons);
    resize(600, 380);
}

void AboutBox::CopyButtonClick()
{
    m_desktop.SetClipboardText(InformationMemo->toPlainText());
}

} // namespace cardolin::app
