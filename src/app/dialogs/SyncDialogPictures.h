#pragma once

#include <QString>

namespace cardolin::app {

// Saves pictures of the Manage Google Accounts and Sync Results dialogs, filled
// with sample accounts and counters, into folder. The number of pictures that
// could not be written.
int SaveSyncDialogPictures(const QString &folder);

} // namespace cardolin::app
