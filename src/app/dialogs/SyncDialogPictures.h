#pragma once

#include <QString>

namespace cardolin::app {

// Saves pictures of the Manage Google Accounts, Sync Results and Google sign-in
// dialogs, filled with sample accounts, counters and address, into folder. The
// number of pictures that could not be written.
int SaveSyncDialogPictures(const QString &folder);

} // namespace cardolin::app
