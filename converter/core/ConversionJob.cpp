#include "converter/core/ConversionJob.h"

#include "converter/core/CDu2RorCommandLineInfo.h"
#include "converter/core/TextNumbers.h"
#include "interpreter/GhostscriptArguments.h"
#include "interpreter/PostScriptFeed.h"
#include "platform/UserProfile.h"

namespace folyant::converter {

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
    job.appendPath = commandLine.m_appendPath;
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
    job.watermarkNumbers = commandLine.m_watermarkNumbers;
    return job;
}

std::vector<std::string> interpreterArguments(const ConversionJob& job)
{
    gs::ConverterArguments arguments;
    arguments.libFolder = job.libFolder;
    arguments.fontFolder = job.fontFolder;
    arguments.outputPath = job.outputPath;
    arguments.quality = job.quality;
    arguments.paperSizeMode = job.paperSizeMode;
    arguments.paperWidthMm = job.paperWidthMm;
    arguments.paperHeightMm = job.paperHeightMm;
    return gs::converterArgumentVector(arguments);
}

gs::StartResult startInterpreter(gs::PostScriptFeed& feed, const ConversionJob& job)
{
    return feed.start(interpreterArguments(job));
}

void saveSettings(UserProfile& settings, const ConversionJob& job)
{
    settings.writeInt(profile::kCloseAfterProcess, job.closeAfterProcess ? 1 : 0);
    settings.writeInt(profile::kQuality, job.quality);
    settings.writeInt(profile::kPaperSize, job.paperSizeMode);
    settings.writeInt(profile::kPaperWidth, job.paperWidthMm);
    settings.writeInt(profile::kPaperHeight, job.paperHeightMm);
}

} // namespace folyant::converter
