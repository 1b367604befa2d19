#include "app/ApplicationIcon.h"

namespace cardolin::app {

QIcon ApplicationIcon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/cardolin-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace cardolin::app
