#include "app/WorkProgress.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QProgressBar>

namespace cardolin::app {

namespace {
constexpr qint64 kPaintEveryMs = 50;
}

WorkProgress::WorkProgress(QProgressBar &bar, QObject *parent) : QObject(parent), m_bar(bar)
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(0);
    connect(&m_idle, &QTimer::timeout, this, [this] {
        // An empty range would leave Qt's busy animation running.
        m_bar.setRange(0, 1);
        m_bar.reset();
    });
}

void WorkProgress::Show(int min, int max, int position)
{
    m_idle.stop();
    // Work of a single step reports an empty range, which Qt shows as
    // "busy"; show it as done instead.
    if (max <= min) {
        max = min + 1;
        position = max;
    }
    m_bar.setRange(min, max);
    m_bar.setValue(position);
    // Let the bar paint, keeping the user's input for afterwards.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_lastPaint >= kPaintEveryMs) {
        m_lastPaint = now;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    m_idle.start();
}

} // namespace cardolin::app
