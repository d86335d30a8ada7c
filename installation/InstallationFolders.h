#pragma once

#include "platform/MessageBox.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace folyant {

class MachineSettings;

// The values of the machine settings that the suite's programs share, and the
// buffers each reader takes them into, terminator included.
namespace installation {
inline constexpr const char* kLibPath = "GSLibPath";
inline constexpr const char* kFontPath = "GSFontPath";
inline constexpr const char* kHwpViewerPath = "HwpvwPath";
inline constexpr const char* kOutputFolder = "OutputFolder";
// How long an unattended conversion may run, in seconds, and how much memory
// it may take, in MiB; 0 for no limit.
inline constexpr const char* kTimeLimit = "TimeLimit";
inline constexpr const char* kMemoryLimit = "MemoryLimit";
inline constexpr int kDefaultTimeLimit = 600;
inline constexpr int kDefaultMemoryLimit = 2048;
// How many conversions the machine runs at once, over every queue of the
// backend; the number of cores when unset or not above 0.
inline constexpr const char* kConcurrentConversions = "ConcurrentConversions";

// The encryption a program of the suite asks the converter for when it
// protects a PDF for a user: the fourth value of the converter's security
// option, RC4-40 unless the machine says AES256.
inline constexpr const char* kEncryption = "Encryption";
inline constexpr const char* kRc4Bits40 = "RC4-40";
inline constexpr const char* kAes256 = "AES256";

// The converters' buffer for every value.
inline constexpr std::size_t kValueBuffer = 65535;
// The font map generator reads the lib folder into a smaller one.
inline constexpr std::size_t kFontMapValueBuffer = 512;
// The backend's buffer for the output folder.
inline constexpr std::size_t kOutputFolderBuffer = 1024;

// What every failure to read or write the folders shows.
inline constexpr const char* kInvalidInstallation = "Invalid Installation.";
} // namespace installation

// The interpreter's folders: the suite's lib folder and Ghostscript's font folder.
struct InstallationFolders {
    std::string libFolder;
    std::string fontFolder;
};

// The folders of the installation this program belongs to: the suite's lib
// folder beside the program's bin folder, and Ghostscript's font folder.
InstallationFolders installedFolders();

// GSLibPath and GSFontPath. Each failure (the settings, then each value) shows
// "Invalid Installation." (with the caption given, else the program's) and
// leaves that folder as the fallback's.
InstallationFolders readInstallationFolders(const MachineSettings& machine, MessageBox& messages,
    const InstallationFolders& fallback = {}, const std::string& caption = {});

// Whether the text names AES-256 as the security option's fourth value does:
// "AES256" in any case.
bool namesAes256(std::string_view text);

// The machine's Encryption as the converter's security option takes it:
// "AES256" when the value says so in any case, "RC4-40" for every other value
// and when there is none.
std::string protectionEncryption(const MachineSettings& machine);

// GSLibPath, then GSFontPath. Each value that does not fit the buffer or cannot
// be stored shows "Invalid Installation.".
void writeInstallationFolders(
    MachineSettings& machine, MessageBox& messages, const InstallationFolders& folders);

} // namespace folyant
