#pragma once

#include <QString>

namespace cardolin::app {

// Saves a picture of each page of the contact dialog, filled with a sample
// contact, and of the dial-number and postal-address dialogs into folder.
// Returns the number of pictures that could not be written.
int SaveContactDialogPictures(const QString &folder);

} // namespace cardolin::app
