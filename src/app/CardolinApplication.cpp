#include "app/CardolinApplication.h"

#include <QMessageBox>

#include <exception>

namespace cardolin::app {

CardolinApplication::CardolinApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Cardolin"));
    setApplicationDisplayName(QStringLiteral("Cardolin"));
}

bool CardolinApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        // The window keeps the state it had when the command failed.
        QMessageBox::critical(activeWindow(), applicationDisplayName(), QString::fromUtf8(error.what()));
    }
    return false;
}

} // namespace cardolin::app
