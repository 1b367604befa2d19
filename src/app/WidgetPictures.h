#pragma once

#include <QString>

class QWidget;

namespace cardolin::app {

// Saves a picture of a window for the documentation, after letting the window
// system map and paint it; a window that was hidden is hidden again. False
// (with a message on stderr) when the file cannot be written.
bool SaveWidgetPicture(QWidget &widget, const QString &path);

} // namespace cardolin::app
