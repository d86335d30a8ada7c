#pragma once

#include <array>
#include <string>
#include <vector>

namespace folyant {
class UserProfile;
namespace gs {
class PostScriptFeed;
struct StartResult;
} // namespace gs
} // namespace folyant

namespace folyant::converter {

class CDu2RorCommandLineInfo;

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
    // A PDF whose pages come first in the PDF written (which may be itself).
    std::string appendPath;

    bool securityRequested = false;
    bool mailRequested = false;
    bool showRequested = false;

    bool watermarkSeen = false;
    bool hftSeen = false;
    std::string watermarkText;
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

// The job from the command line and the profile, reading Quality, PaperW and
// PaperH in that order.
ConversionJob buildJob(const CDu2RorCommandLineInfo& commandLine, const UserProfile& profile);

// The interpreter's arguments for the job: its folders, output, quality preset
// and custom page size.
std::vector<std::string> interpreterArguments(const ConversionJob& job);

// Starts the feed's interpreter for the job, as PostScriptFeed::start answers.
gs::StartResult startInterpreter(gs::PostScriptFeed& feed, const ConversionJob& job);

// What the user leaves with: CloseAfterProcess, Quality, PaperSize, PaperW and
// PaperH, in this order.
void saveSettings(UserProfile& profile, const ConversionJob& job);

} // namespace folyant::converter
