#include "app/WidgetPictures.h"

#include <QApplication>
#include <QThread>
#include <QWidget>

#include <cstdio>

namespace cardolin::app {

bool SaveWidgetPicture(QWidget &widget, const QString &path)
{
    const bool wasHidden = !widget.isVisible();
    widget.show();
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(25);
    }
    const bool saved = widget.grab().save(path);
    if (!saved)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    if (wasHidden)
        widget.hide();
    return saved;
}

} // namespace cardolin::app
