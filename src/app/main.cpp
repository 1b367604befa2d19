#include "app/CardolinApplication.h"
#include "app/DesktopSession.h"
#include "platform/SingleInstance.h"

using namespace cardolin;

int main(int argc, char *argv[])
{
    app::CardolinApplication application(argc, argv);
    // Closing the window ends the program even while its tray icon is shown.
    QApplication::setQuitOnLastWindowClosed(false);
    // Lets the desktop match the windows with the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.velmora.Cardolin"));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    platform::SingleInstanceGuard guard(platform::SingleInstanceName());
    if (!guard.Claim(arguments))
        return 0;

    app::DesktopSession session;
    app::MainWindow &window = session.Window();
    // A later start only brings this window forward; its arguments are ignored.
    guard.OnActivation = [&window](const QStringList &) { window.OpenCardolinClick(); };
    QObject::connect(&window, &app::MainWindow::Closed, &application, &QApplication::quit, Qt::QueuedConnection);
    session.Start(arguments);
    return application.exec();
}
