#pragma once

#include <string>

namespace folyant {
class MessageBox;
} // namespace folyant

namespace folyant::converter {

// Result codes of CheckFolderPath.
inline constexpr int kFolderGood = 0;
inline constexpr int kFolderMalformed = 1;
inline constexpr int kFolderNotCreated = 2;
// ConfirmFolder's code when the user declined to create the folder.
inline constexpr int kFolderDeclined = -1;

// Longest folder path the picker takes.
inline constexpr std::size_t kMaxFolderPath = 259;

// A folder name that can stand in a path: not empty, no blank, tab or full
// stop at either end, none of  " * / : < > ? \ |
bool IsValidFolderName(const std::string& name);

// Judges an absolute folder path component by component ("/" alone is the
// root). Without checkOnly, every missing folder along the path is created
// from the root down. 0 good, 1 malformed, 2 a folder could not be created.
int CheckFolderPath(const std::string& path, bool checkOnly);

// 0 when the folder exists or was created after the user agreed, -1 when the
// user declined, otherwise CheckFolderPath's code after telling the user.
int ConfirmFolder(const std::string& path, MessageBox& messages);

} // namespace folyant::converter
