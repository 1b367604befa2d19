#pragma once

#include <QObject>
#include <QTimer>

class QProgressBar;

namespace cardolin::app {

// The window's progress bar during long work on the window's thread: shows
// how far the work has come, lets the window paint now and then, and empties
// once the work is over, so an idle window never shows a half-full bar.
class WorkProgress : public QObject
{
public:
    explicit WorkProgress(QProgressBar &bar, QObject *parent = nullptr);

    void Show(int min, int max, int position);

private:
    QProgressBar &m_bar;
    // Fires at the first turn of an event loop after the work, never inside
    // the paints the work asks for itself.
    QTimer m_idle;
    qint64 m_lastPaint = 0;
};

} // namespace cardolin::app
