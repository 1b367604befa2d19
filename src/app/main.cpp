#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    cardolin::app::MainWindow window;
    window.show();
    return application.exec();
}
