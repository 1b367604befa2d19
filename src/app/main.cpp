#include "app/CardolinApplication.h"
#include "app/DesktopSession.h"
#include "app/listview/QorListView.h"
#include "platform/FileSystem.h"
#include "platform/SingleInstance.h"

#include <QTimer>

#include <cstdio>

using namespace cardolin;

namespace {

// With CARDOLIN_EXIT_AFTER_FIRST_PAINT set, the program ends once the list has
// been painted with its rows and says so on stdout: how benchmarks time a start.
class FirstPaintProbe : public QObject
{
public:
    explicit FirstPaintProbe(app::TQorListView &list) : QObject(&list), m_list(list)
    {
        list.viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_list.Items().Count() > 0 && !m_done) {
            m_done = true;
            // Queued, so that this paint ends before the program does.
            QTimer::singleShot(0, qApp, [] {
                std::puts("list painted");
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    app::TQorListView &m_list;
    bool m_done = false;
};

} // namespace

int main(int argc, char *argv[])
{
    platform::IgnoreFileSizeSignal();
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
    if (!qEnvironmentVariableIsEmpty("CARDOLIN_EXIT_AFTER_FIRST_PAINT"))
        new FirstPaintProbe(*window.QorListView1());
    session.Start(arguments);
    return application.exec();
}
