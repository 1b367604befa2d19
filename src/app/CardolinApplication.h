#pragma once

#include <QApplication>

namespace cardolin::app {

// The application object of the desktop program: a command that fails with an
// exception shows its message and the program goes on.
class CardolinApplication : public QApplication
{
public:
    CardolinApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace cardolin::app
