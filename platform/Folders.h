#pragma once

#include <string>

namespace folyant::folders {

// $HOME, else the account's home, else "/".
std::string homeFolder();

// The account's home from the password database, whatever $HOME says: the
// home the backend acting as this user sees. "/" when there is none.
std::string accountHome();

// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute.
std::string userConfigFolder();

// The folder for temporary files ($TMPDIR, else /tmp).
std::string tempFolder();

// The folder the running program lies in, or empty when it cannot be told.
std::string programFolder();

// Makes the folder and those above it that are missing, each new one mode
// 0700; whether the folder exists afterwards.
bool makeFolders(const std::string& path);

// The folder part of a path ("." when it has none) and the name part.
std::string folderOf(const std::string& path);
std::string fileNameOf(const std::string& path);
// The name part without its last extension; a leading dot is no extension.
std::string titleOf(const std::string& path);

} // namespace folyant::folders
