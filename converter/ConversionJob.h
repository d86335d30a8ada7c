#pragma once

#include <array>
#include <string>

namespace folyant {

class CDu2RorCommandLineInfo;
class MachineSettings;
class MessageBox;
class UserProfile;

// The values of one converter run, filled at start-up and changed by the
// dialogs and the post-processing steps.
struct ConversionJob {
    std::string outputPath;
    bool closeAfterProcess = true;
    std::string libFolder;
    std::string fontFolder;
    int quality = 1;
    int paperSizeMode = 0;
    int paperWidthMm = 0;
    int paperHeightMm = 0;
    std::string sourcePath;

    bool securityRequested = false;
    bool mailRequested = false;
    bool showRequested = false;

    bool watermarkSeen = false;
    bool hftSeen = false;
    std::string watermarkText;
    std::string watermarkFont;
    std::array<int, 5> watermarkNumbers{};

    std::string ownerPassword;
    std::string userPassword;
    std::string permissionText;
    std::string fourthSecurityValue;
};

// Profile value names, as stored.
namespace profile {
inline constexpr const char* kQuality = "Quality";
inline constexpr const char* kPaperSize = "PaperSize";
inline constexpr const char* kPaperWidth = "PaperW";
inline constexpr const char* kPaperHeight = "PaperH";
inline constexpr const char* kCloseAfterProcess = "CloseAfterProcess";
} // namespace profile

// Machine value names, as stored.
namespace machine {
inline constexpr const char* kLibPath = "GSLibPath";
inline constexpr const char* kFontPath = "GSFontPath";
// The buffer the values are read into, terminator included.
inline constexpr std::size_t kValueBuffer = 65535;
// What every failure to read or write them shows.
inline constexpr const char* kInvalidInstallation = "Invalid Installation.";
} // namespace machine

// The job from the command line and the profile, reading Quality, PaperW and
// PaperH in that order.
ConversionJob buildJob(const CDu2RorCommandLineInfo& commandLine, const UserProfile& profile);

// The folders of the installation this program belongs to: the suite's lib
// folder beside the program's bin folder, and Ghostscript's font folder.
struct InstallationFolders {
    std::string libFolder;
    std::string fontFolder;
};
InstallationFolders installedFolders();

// GSLibPath and GSFontPath into the job. Each failure (the settings, then each
// value) shows "Invalid Installation."; the conversion then goes on with the
// folder of the fallback.
void readInstallationFolders(const MachineSettings& machine, MessageBox& messages, ConversionJob& job,
    const InstallationFolders& fallback = {});

// What the user leaves with: CloseAfterProcess, Quality, PaperSize, PaperW and
// PaperH, in this order.
void saveSettings(UserProfile& profile, const ConversionJob& job);

} // namespace folyant
