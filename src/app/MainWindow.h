#pragma once

#include <QMainWindow>

namespace cardolin::app {

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
};

} // namespace cardolin::app
