#include "app/CardolinApplication.h"
#include "app/DesktopSession.h"
#include "app/dialogs/DialogPictures.h"
#include "app/options/OptionsPictures.h"
#include "app/UpdatePictures.h"
#include "app/dialogs/SyncDialogPictures.h"

#include <QPalette>
#include <QStyleFactory>
#include <QTimer>

#include <cstdio>
#include <functional>

using namespace cardolin;

namespace {

// CARDOLIN_SCREENSHOT_DARK=1 pictures the window under a dark Fusion palette.
void UseDarkPaletteIfAsked()
{
    if (qEnvironmentVariableIntValue("CARDOLIN_SCREENSHOT_DARK") == 0)
        return;
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette dark;
    const QColor window(0x35, 0x35, 0x35), base(0x23, 0x26, 0x29), text(0xef, 0xf0, 0xf1);
    for (auto [role, color] : {std::pair{QPalette::Window, window}, {QPalette::Base, base},
                               {QPalette::AlternateBase, window}, {QPalette::Button, window},
                               {QPalette::WindowText, text}, {QPalette::Text, text}, {QPalette::ButtonText, text},
                               {QPalette::Highlight, QColor(0x1d, 0x4e, 0x80)}, {QPalette::Link, QColor(0x2a, 0x5f, 0x8f)},
                               {QPalette::HighlightedText, text}, {QPalette::ToolTipBase, base},
                               {QPalette::ToolTipText, text}})
        dark.setColor(role, color);
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x5d, 0x61, 0x63));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x5d, 0x61, 0x63));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x5d, 0x61, 0x63));
    QApplication::setPalette(dark);
}

// CARDOLIN_SCREENSHOT_SIZE=800x600 pictures the window at that size.
void ResizeIfAsked(QWidget &window)
{
    const QStringList size = qEnvironmentVariable("CARDOLIN_SCREENSHOT_SIZE").split(u'x');
    if (size.size() == 2 && size[0].toInt() > 0 && size[1].toInt() > 0)
        window.resize(size[0].toInt(), size[1].toInt());
}

} // namespace

// Starts the program as a user would and saves a picture of its main window:
//   quillet-screenshot OUT.png [ARGUMENTS...]
// The caller chooses whose book shows through HOME and XDG_CONFIG_HOME.
// With --dialogs FOLDER it saves the contact dialogs over a sample contact instead.
// With --options FOLDER it saves the pages of the Options dialog instead.
// With --update-dialogs FOLDER it saves the About box and the update dialogs instead.
// With --sync-dialogs FOLDER it saves the Google account and sync dialogs instead.
int main(int argc, char *argv[])
{
    app::CardolinApplication application(argc, argv);
    QStringList arguments = QApplication::arguments();
    const bool folderMode = arguments.size() >= 2 && (arguments.at(1) == QStringLiteral("--dialogs")
                                                      || arguments.at(1) == QStringLiteral("--options")
                                                      || arguments.at(1) == QStringLiteral("--update-dialogs")
                                                      || arguments.at(1) == QStringLiteral("--sync-dialogs"));
    if (arguments.size() < 2 || (folderMode && arguments.size() != 3)) {
        std::fputs("usage: quillet-screenshot OUT.png [ARGUMENTS...]\n"
                   "       quillet-screenshot --dialogs FOLDER\n"
                   "       quillet-screenshot --options FOLDER\n"
                   "       quillet-screenshot --update-dialogs FOLDER\n"
                   "       quillet-screenshot --sync-dialogs FOLDER\n",
                   stderr);
        return 2;
    }
    if (arguments.at(1) == QStringLiteral("--dialogs"))
        return app::SaveContactDialogPictures(arguments.at(2)) == 0 ? 0 : 1;
    if (arguments.at(1) == QStringLiteral("--options"))
        return app::SaveOptionsDialogPictures(arguments.at(2)) == 0 ? 0 : 1;
    if (arguments.at(1) == QStringLiteral("--update-dialogs"))
        return arguments.size() == 3 && app::SaveUpdateDialogPictures(arguments.at(2)) == 0 ? 0 : 1;
    if (arguments.at(1) == QStringLiteral("--sync-dialogs"))
        return app::SaveSyncDialogPictures(arguments.at(2)) == 0 ? 0 : 1;
    const QString output = arguments.at(1);
    arguments = arguments.mid(2);

    UseDarkPaletteIfAsked();
    app::DesktopSession session;
    int status = 0;
    bool taken = false;
    const auto save = [&](QWidget &widget, const QString &file) {
        if (!widget.grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            status = 1;
        }
    };
    // Give the window system time to map and paint the window first. Set
    // before the start, so that a message the start shows (a damaged book)
    // is pictured beside the window, then answered, and the window after it.
    std::function<void()> shoot = [&] {
        if (QWidget *message = QApplication::activeModalWidget()) {
            save(*message, QString(output).replace(QStringLiteral(".png"), QStringLiteral("-message.png")));
            message->close();
            QTimer::singleShot(500, &application, shoot);
            return;
        }
        save(session.Window(), output);
        taken = true;
        application.quit();
    };
    QTimer::singleShot(1500, &application, shoot);
    ResizeIfAsked(session.Window());
    session.Start(arguments);
    if (!taken)
        application.exec();
    return status;
}
