#include "app/AboutBox.h"
#include "app/UpdateCommands.h"
#include "app/UpdateDownloadBox.h"
#include "app/UpdateNotifyBox.h"
#include "fakes/FakeUpdateServer.h"
#include "support/UpdateDownload.h"

#include "MainWindowFixture.h"

#include <QCryptographicHash>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

using namespace cardolin;
using cardolin::testing::FakeUpdateServer;
using cardolin::testing::RecordingPrompts;

namespace {

const QByteArray kInstaller(40000, 'i');

QString Sha256(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

// A download box on its own, against the local site.
struct Download
{
    Download(FakeUpdateServer &server, const QString &path, const QString &sha256 = {})
    {
        info.DownloadFileURL = server.Url(path);
        info.SHA256Hash = sha256;
        box = std::make_unique<app::UpdateDownloadBox>(info, TQorAppUpdateFileSizeUnit::KiloBytes,
                                                       THashType::htNone, TUpdateTransferOptions(), prompts);
        box->DestinationFolder = folder.path();
        box->OnReadyToInstall = [this](const QString &file) { handedOver.append(file); };
    }
    QStringList Files() const { return QDir(folder.path()).entryList(QDir::Files); }

    QTemporaryDir folder;
    TUpdateInfo info;
    RecordingPrompts prompts;
    std::unique_ptr<app::UpdateDownloadBox> box;
    QStringList handedOver;
};

TEST(UpdateDownloadBox, VerifiedFileIsHandedOverAndCorruptedOneDeleted)
{
    FakeUpdateServer server;
    server.Publish(QStringLiteral("/velmora/cardolin_1.02.09_amd64.deb"), kInstaller);

    Download good(server, QStringLiteral("/velmora/cardolin_1.02.09_amd64.deb"), Sha256(kInstaller).toUpper());
    EXPECT_TRUE(good.box->Run());
    EXPECT_EQ(good.prompts.information, QStringList{"The application will close to start the update."});
    ASSERT_EQ(good.handedOver.size(), 1);
    EXPECT_EQ(QFileInfo(good.handedOver[0]).fileName(), "cardolin_1.02.09_amd64.deb");
    EXPECT_EQ(QFileInfo(good.handedOver[0]).size(), kInstaller.size());
    EXPECT_EQ(good.box->FileLabel->text(), "cardolin_1.02.09_amd64.deb");
    EXPECT_EQ(good.box->TransferLabel->text(), "39 KB of 39 KB (100%)");
    EXPECT_TRUE(server.requestLines.first().startsWith("HEAD "));

    Download bad(server, QStringLiteral("/velmora/cardolin_1.02.09_amd64.deb"), Sha256("something else"));
    EXPECT_FALSE(bad.box->Run());
    EXPECT_EQ(bad.prompts.errors, QStringList{"The downloaded file is corrupted."});
    EXPECT_TRUE(bad.handedOver.isEmpty());
    EXPECT_TRUE(bad.Files().isEmpty());
}

TEST(UpdateDownloadBox, UnannouncedLengthAndRefusedRequests)
{
    FakeUpdateServer server;
    server.Publish(QStringLiteral("/open-ended.deb"), {200, kInstaller, false, -1, {}});
    Download unknown(server, QStringLiteral("/open-ended.deb"));
    EXPECT_TRUE(unknown.box->Run());
    EXPECT_EQ(unknown.box->ProgressBar1->maximum(), kUnknownDownloadSize);
    EXPECT_EQ(QFileInfo(unknown.handedOver.value(0)).size(), kInstaller.size());

    Download missing(server, QStringLiteral("/missing.deb"));
    EXPECT_FALSE(missing.box->Run());
    EXPECT_EQ(missing.prompts.errors, QStringList{"Failed: 404 Not Found"});
    EXPECT_TRUE(missing.Files().isEmpty());

    Download nameless(server, QStringLiteral("/"));
    EXPECT_FALSE(nameless.box->Run());
    EXPECT_EQ(nameless.prompts.errors, QStringList{'"' + server.Url("/") + "\" is an invalid source."});
}

TEST(UpdateDownloadBox, CancelAsksAndLeavesNoPartialFile)
{
    FakeUpdateServer server;
    server.Publish(QStringLiteral("/slow.deb"), {200, kInstaller, true, 1000, {}});
    for (const bool answerYes : {false, true}) {
        Download slow(server, QStringLiteral("/slow.deb"));
        slow.prompts.answerYes = answerYes;
        QTimer::singleShot(300, slow.box.get(), [&slow] {
            slow.box->CancelButton->click();
            if (!slow.prompts.answerYes) // still running: now for real
                QTimer::singleShot(0, slow.box.get(), [&slow] {
                    slow.prompts.answerYes = true;
                    slow.box->CancelButton->click();
                });
        });
        EXPECT_FALSE(slow.box->Run());
        EXPECT_EQ(slow.prompts.questions.first(), "Do you want to cancel the download?");
        EXPECT_EQ(slow.prompts.questions.size(), answerYes ? 1 : 2);
        EXPECT_EQ(slow.prompts.errors, QStringList{"The update was not completed."});
        EXPECT_TRUE(slow.Files().isEmpty());
        EXPECT_TRUE(slow.handedOver.isEmpty());
    }
}

// The download is written aside and named only once complete: a cancelled
// one leaves an earlier file of the same name as it was, and no leftovers.
TEST(UpdateDownloadBox, CancelledDownloadKeepsTheFileAlreadyThere)
{
    FakeUpdateServer server;
    server.Publish(QStringLiteral("/slow.deb"), {200, kInstaller, true, 1000, {}});
    Download slow(server, QStringLiteral("/slow.deb"));
    QFile earlier(slow.folder.filePath("slow.deb"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
    earlier.close();
    slow.prompts.answerYes = true;
    QTimer::singleShot(300, slow.box.get(), [&slow] { slow.box->CancelButton->click(); });
    EXPECT_FALSE(slow.box->Run());
    EXPECT_EQ(slow.Files(), QStringList{"slow.deb"});
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "earlier");
}

struct UpdateWindow : cardolin::testing::MainWindowFixture
{
    FakeUpdateServer server;
    QTemporaryDir downloads;
    QList<app::UpdateNotifyBox *> notifyBoxes;

    void Publish(const QByteArray &section)
    {
        server.Publish(QStringLiteral("/velmora/VelmoraUpdates.txt"), section);
        SetOption(SettingId::UpdateFileURL, server.Url(QStringLiteral("/velmora/VelmoraUpdates.txt")));
    }
    void StartWith(const std::function<void(app::UpdateNotifyBox &)> &atNotify)
    {
        Start();
        window->Updates().PrepareNotifyBox = [this](app::UpdateNotifyBox &box) { box.DownloadFolder = downloads.path(); };
        window->ExecDialog = [this, atNotify](QDialog &dialog) {
            shownDialogs.append(dialog.windowTitle());
            if (auto *box = qobject_cast<app::UpdateNotifyBox *>(&dialog); box && atNotify)
                atNotify(*box);
        };
    }
    void ClickCheck() { Child<QToolButton>("CheckForUpdatesSpeedButton")->click(); }
};

TEST_F(UpdateWindow, NewerVersionOffersItsReadmeAndPage)
{
    Publish("[Quillet]\nVersion=99.00.00\nReadmeFileURL=" + server.Url("/velmora/readme.txt").toUtf8() + "\n");
    server.Publish(QStringLiteral("/velmora/readme.txt"), "Line one\nLine two\n");
    bool downloadEnabled = true;
    QString readme;
    StartWith([&](app::UpdateNotifyBox &box) {
        downloadEnabled = box.DownloadButton->isEnabled();
        readme = box.ReadmeMemo->toPlainText();
        box.OpenWebPageButton->click();
    });
    ClickCheck();
    EXPECT_EQ(shownDialogs, QStringList{"New Version Available"});
    EXPECT_FALSE(downloadEnabled); // no DownloadFileURL
    EXPECT_EQ(readme, "Line one\nLine two\n");
    EXPECT_EQ(desktop.opened, QStringList{server.Url("/velmora/")});
}

TEST_F(UpdateWindow, DownloadClosesTheProgramAndOpensTheFile)
{
    server.Publish(QStringLiteral("/velmora/cardolin.deb"), kInstaller);
    Publish("[Quillet]\nVersion=99.00.00\nDownloadFileURL=" + server.Url("/velmora/cardolin.deb").toUtf8()
            + "\nSHA256Hash=" + Sha256(kInstaller).toUtf8() + "\n");
    StartWith([](app::UpdateNotifyBox &box) { box.DownloadButton->click(); });
    bool closed = false;
    QObject::connect(window.get(), &app::MainWindow::Closed, [&closed] { closed = true; });
    ClickCheck();
    EXPECT_TRUE(closed);
    EXPECT_EQ(desktop.opened, QStringList{downloads.filePath("cardolin.deb")});
    EXPECT_TRUE(prompts.information.contains("The application will close to start the update."));
}

// Where nothing could open the installer (no xdg-open, no program for its
// type) the program must not close for it: the file stays and the user learns
// where. So too when the user keeps the window open at the save question.
TEST_F(UpdateWindow, WithoutAnOpenerTheProgramKeepsRunningAndSaysWhereTheFileIs)
{
    server.Publish(QStringLiteral("/velmora/cardolin.deb"), kInstaller);
    Publish("[Quillet]\nVersion=99.00.00\nDownloadFileURL=" + server.Url("/velmora/cardolin.deb").toUtf8() + "\n");
    StartWith([](app::UpdateNotifyBox &box) { box.DownloadButton->click(); });
    bool closed = false;
    QObject::connect(window.get(), &app::MainWindow::Closed, [&closed] { closed = true; });
    const QString saved = downloads.filePath("cardolin.deb");

    desktop.canOpenFiles = false;
    ClickCheck();
    EXPECT_FALSE(closed);
    EXPECT_TRUE(desktop.opened.isEmpty());
    EXPECT_FALSE(prompts.information.contains("The application will close to start the update."));
    ASSERT_EQ(prompts.warnings.size(), 1);
    EXPECT_TRUE(prompts.warnings[0].contains('"' + saved + '"')) << prompts.warnings[0].toStdString();
    EXPECT_EQ(QFileInfo(saved).size(), kInstaller.size());

    desktop.canOpenFiles = true;
    window->SetModified(true);
    prompts.cancel = true; // at the save question
    ClickCheck();
    EXPECT_FALSE(closed);
    EXPECT_TRUE(desktop.opened.isEmpty());
    EXPECT_TRUE(prompts.information.contains("The new version waits in \"" + saved + "\"."));
}

TEST_F(UpdateWindow, WithoutAnAddressNothingIsAsked)
{
    Start();
    ClickCheck();
    EXPECT_TRUE(server.requests.isEmpty());
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].startsWith("No update address is configured"));
}

TEST_F(UpdateWindow, AboutBoxTellsVersionsAndFilesAndCopiesThem)
{
    Start();
    QString text;
    window->ExecDialog = [&](QDialog &dialog) {
        auto *about = qobject_cast<app::AboutBox *>(&dialog);
        ASSERT_NE(about, nullptr);
        text = about->InformationMemo->toPlainText();
        about->CopyButton->click();
    };
    Child<QToolButton>("AboutSpeedButton")->click();
    EXPECT_TRUE(text.startsWith("Cardolin " + ProgramVersionText() + "\n"));
    EXPECT_TRUE(text.contains("Qt: " + QString::fromLatin1(qVersion())));
    EXPECT_TRUE(text.contains("OpenSSL: OpenSSL 3"));
    EXPECT_TRUE(text.contains("Contacts book: " + Book("ann")));
    EXPECT_TRUE(text.contains("Settings file: /"));
    EXPECT_EQ(desktop.clipboard, text);
}

} // namespace
