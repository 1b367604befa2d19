#include "app/UpdateNotifyBox.h"

#include "app/UpdateDownloadBox.h"
#include "platform/DesktopServices.h"
#include "platform/SystemFolders.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cardolin::app {

UpdateNotifyBox::UpdateNotifyBox(const TUpdateInfo &info, const TQorAppUpdate &update, UserPrompts &prompts,
                                 platform::DesktopServices &desktop, QWidget *parent)
    : QDialog(parent), DownloadFolder(platform::UpdateDownloadFolder()), ReadmeMemo(new QPlainTextEdit(this)),
      DownloadButton(new QPushButton(tr("Download"), this)),
      OpenWebPageButton(new QPushButton(tr("Open Web Page"), this)), OKButton(new QPushButton(tr("OK"), this)),
      m_info(info), m_unit(update.FileSizeUnit), m_hashType(update.HashType), m_transfer(update.TransferOptions()),
      m_prompts(prompts), m_desktop(desktop)
{
    setObjectName(QStringLiteral("QorAppUpdateNotifyBox"));
    setWindowTitle(tr("New Version Available"));
    auto *heading = new QLabel(tr("Version %1 is available.").arg(info.Version), this);
    heading->setObjectName(QStringLiteral("VersionLabel"));
    ReadmeMemo->setObjectName(QStringLiteral("ReadmeMemo"));
    ReadmeMemo->setReadOnly(true);
    ReadmeMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    ReadmeMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ReadmeMemo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ReadmeMemo->setPlainText(info.Readme);
    DownloadButton->setObjectName(QStringLiteral("DownloadButton"));
    DownloadButton->setEnabled(!info.DownloadFileURL.isEmpty());
    OpenWebPageButton->setObjectName(QStringLiteral("OpenWebPageButton"));
    OpenWebPageButton->setEnabled(!info.UpdatePageURL.isEmpty());
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(DownloadButton, &QPushButton::clicked, this, &UpdateNotifyBox::DownloadButtonClick);
    connect(OpenWebPageButton, &QPushButton::clicked, this, &UpdateNotifyBox::OpenWebPageButtonClick);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(DownloadButton);
    buttons->addWidget(OpenWebPageButton);
    buttons->addStretch();
    buttons->addWidget(OKButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(ReadmeMemo, 1);
    layout->addLayout(buttons);
    resize(560, 380);
}

void UpdateNotifyBox::DownloadButtonClick()
{
    UpdateDownloadBox download(m_info, m_unit, m_hashType, m_transfer, m_prompts, parentWidget());
    download.setFont(font());
    download.DestinationFolder = DownloadFolder;
    accept();
    if (RunDownload)
        RunDownload(download);
    else
        download.Run();
}

void UpdateNotifyBox::OpenWebPageButtonClick()
{
    m_desktop.OpenAddress(m_info.UpdatePageURL);
}

} // namespace cardolin::app
