#pragma once

#include <QString>

namespace cardolin::app {

// Saves pictures of the About box and the two update dialogs over sample
// values into folder (about.png, update-notify.png, update-download.png);
// answers the number of pictures that could not be written.
int SaveUpdateDialogPictures(const QString &folder);

} // namespace cardolin::app
