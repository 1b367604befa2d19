#include "app/CardolinApplication.h"
#include "app/DesktopSession.h"
#include "app/dialogs/DialogPictures.h"
#include "app/options/OptionsPictures.h"
#include "app/UpdatePictures.h"
#include "app/dialogs/SyncDialogPictures.h"

#include <QTimer>

#include <cstdio>

using namespace cardolin;

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

    app::DesktopSession session;
    session.Start(arguments);
    int status = 0;
    // Give the window system time to map and paint the window first.
    QTimer::singleShot(1500, &application, [&] {
        if (!session.Window().grab().save(output)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
            status = 1;
        }
        application.quit();
    });
    application.exec();
    return status;
}
