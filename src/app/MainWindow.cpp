#include "app/MainWindow.h"

namespace cardolin::app {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Cardolin"));
    resize(900, 600);
}

} // namespace cardolin::app
