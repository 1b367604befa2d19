#pragma once

#include <QString>
#include <QStringList>

namespace cardolin::platform {

// The current user's profile folder: $HOME, else the user database's entry.
QString HomeFolder();

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
QString ConfigFolder();

// The file that holds the current user's settings store.
QString SettingsStoreFileName();

// The folders of shared read-only data, most important first: the absolute
// ones of $XDG_DATA_DIRS, else /usr/local/share and /usr/share.
QStringList DataFolders();

// The first of them: where the settings point by default.
QString CommonDataFolder();

// Where an installed copy of the program keeps its shared data files
// ("/usr/local/share/Velmora/Cardolin" for the default prefix).
QString InstalledDataFolder();

// Where downloaded installers go: the program's "Downloaded Installations"
// folder when the user made one, else the desktop's download folder, else the
// temporary folder.
QString UpdateDownloadFolder();

// The program's own data of the current user: $XDG_DATA_HOME/Cardolin,
// ~/.local/share/Cardolin by default.
QString UserDataFolder();

// This machine's host name.
QString ComputerName();

} // namespace cardolin::platform
