#pragma once

#include <QString>

namespace cardolin::app {

// Saves a picture of every page of the Options dialog (options-<page>.png) and
// of the String List Editor (string-list-editor.png) into folder, with the
// options a first start shows. Returns the number of pictures that failed.
int SaveOptionsDialogPictures(const QString &folder);

} // namespace cardolin::app
