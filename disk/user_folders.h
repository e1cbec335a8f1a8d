// The user's own folders, where the program writes what it cannot write beside itself.
// One small file per platform.
#pragma once
#include <string>

// The user's pictures folder: XDG_PICTURES_DIR as xdg-user-dirs names it (POSIX), the
// Pictures known folder (Windows). Where none is named, the user's home (profile) folder;
// "" when not even that is known. UTF-8, as the folder was written.
std::string UserPicturesFolder();
// The user's data folder for Tessarine, where a game in play is kept: on POSIX
// $XDG_DATA_HOME/tessarine (an absolute XDG_DATA_HOME only), else ~/.local/share/tessarine;
// on Windows %APPDATA%\\Tessarine (the roaming application data known folder). "" when
// not even the home folder is known. Not made here.
std::string UserDataFolder();
