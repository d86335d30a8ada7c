#include "ConversionJob.h"

#include "CDu2RorCommandLineInfo.h"
#include "Folders.h"
#include "MachineSettings.h"
#include "MessageBox.h"
#include "TextNumbers.h"
#include "UserProfile.h"

#include <tuple>

namespace folyant {

ConversionJob buildJob(const CDu2RorCommandLineInfo& commandLine, const UserProfile& settings)
{
    ConversionJob job;
    job.outputPath = commandLine.m_strFileName;
    job.quality = settings.getInt(profile::kQuality, 1);
    job.paperSizeMode = 0;
    job.paperWidthMm = settings.getInt(profile::kPaperWidth, 0);
    job.paperHeightMm = settings.getInt(profile::kPaperHeight, 0);
    if (commandLine.m_sourceSeen)
        job.sourcePath = commandLine.m_sourcePath;
    if (commandLine.m_qualitySeen)
        job.quality = leadingInt(commandLine.m_qualityText);
    if (commandLine.m_securitySeen) {
        job.securityRequested = true;
        job.userPassword = commandLine.m_userPassword;
        job.ownerPassword = commandLine.m_ownerPassword;
        job.permissionText = commandLine.m_permissionText;
        job.fourthSecurityValue = commandLine.m_fourthSecurityValue;
    }
    job.mailRequested = commandLine.m_mailSeen;
    job.showRequested = commandLine.m_showSeen;
    job.watermarkSeen = commandLine.m_watermarkSeen;
    job.hftSeen = commandLine.m_hftSeen;
    job.watermarkText = commandLine.m_watermarkText;
    job.watermarkFont = commandLine.m_watermarkFont;
    job.watermarkNumbers = commandLine.m_watermarkNumbers;
    return job;
}

InstallationFolders installedFolders()
{
    InstallationFolders installed{{}, FOLYANT_GS_FONT_FOLDER};
    if (const std::string bin = folders::programFolder(); !bin.empty())
        installed.libFolder = folders::folderOf(bin) + "/share/folyant/lib";
    return installed;
}

void readInstallationFolders(const MachineSettings& machineSettings, MessageBox& messages, ConversionJob& job,
    const InstallationFolders& fallback)
{
    if (!machineSettings.isAvailable())
        messages.show(machine::kInvalidInstallation);
    for (auto [name, folder, fallbackFolder] :
        {std::tuple{machine::kLibPath, &job.libFolder, &fallback.libFolder},
            std::tuple{machine::kFontPath, &job.fontFolder, &fallback.fontFolder}}) {
        if (auto value = machineSettings.readString(name, machine::kValueBuffer)) {
            *folder = std::move(*value);
        } else {
            messages.show(machine::kInvalidInstallation);
            *folder = *fallbackFolder;
        }
    }
}

void saveSettings(UserProfile& settings, const ConversionJob& job)
{
    settings.writeInt(profile::kCloseAfterProcess, job.closeAfterProcess ? 1 : 0);
    settings.writeInt(profile::kQuality, job.quality);
    settings.writeInt(profile::kPaperSize, job.paperSizeMode);
    settings.writeInt(profile::kPaperWidth, job.paperWidthMm);
    settings.writeInt(profile::kPaperHeight, job.paperHeightMm);
}

} // namespace folyant
