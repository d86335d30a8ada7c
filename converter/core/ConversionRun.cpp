#include "converter/core/ConversionRun.h"

#include "converter/core/CMailMessage.h"
#include "converter/core/CPdfSecurity.h"
#include "converter/core/SecurityStep.h"
#include "converter/core/StringTable.h"
#include "platform/InstallationFolders.h"
#include "platform/Platform.h"
#include "platform/TerminationWatch.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <utility>

namespace folyant::converter {

ConversionRun::ConversionRun(ConversionJob job, Platform& platform, RunView& view)
    : m_job(std::move(job))
    , m_platform(platform)
    , m_view(view)
{
    m_job.closeAfterProcess = true;
}

void ConversionRun::begin()
{
    m_view.showState();
    m_job.closeAfterProcess = m_platform.profile.getInt(profile::kCloseAfterProcess, 1) != 0;
    const InstallationFolders folders
        = readInstallationFolders(m_platform.machine, m_platform.messages, installedFolders());
    m_job.libFolder = folders.libFolder;
    m_job.fontFolder = folders.fontFolder;
    m_view.showState();
    // Asked to end while a message of the settings was open: nothing starts.
    if (m_termination && m_termination->wasRequested())
        return;

    if (!m_job.sourcePath.empty()) {
        // "/source in.ps" alone names in.ps as the output too: the job file
        // is never written over.
        std::error_code ignored;
        if (std::filesystem::equivalent(m_job.sourcePath, m_job.outputPath, ignored)
            || m_job.sourcePath == m_job.outputPath) {
            m_failed = true;
            m_platform.messages.show(loadString(strings::kOutputIsSource));
            return;
        }
        if (!m_feed.openSource(m_job.sourcePath)) {
            failUnattendedRun(strings::kSourceNotReadable);
            return;
        }
    } else if (!m_job.outputPath.empty()) {
        m_feed.useStandardInput();
    } else {
        failUnattendedRun(strings::kNothingToConvert);
        return;
    }

    if (startInterpreter() == 0)
        m_feed.sendPageStamp(m_job.libFolder);
}

int ConversionRun::startInterpreter()
{
    m_view.showProgress(0);
    // The interpreter creates the output as it starts: from then on an
    // ending without this thread must remove it.
    if (m_termination) {
        m_termination->setPartialOutput(m_job.outputPath);
        m_termination->setScratchFolders(m_feed.scratchFolders());
    }
    const int code = converter::startInterpreter(m_feed, m_job);
    if (m_termination) {
        m_termination->setPartialOutput(code == 0 ? m_job.outputPath : std::string());
        m_termination->setScratchFolders(m_feed.scratchFolders());
    }
    if (code == 0) {
        m_feeding = true;
        m_view.showConverting(true);
    } else {
        failRun(code == gs::GhostscriptSession::kNoScratchFolder ? strings::kNoScratchFolder
                                                                 : strings::kInterpreterNotStarted);
    }
    return code;
}

void ConversionRun::feedStep()
{
    // A termination request is handled by whoever runs the loop; reading on
    // could block on a pipe whose writer has gone.
    if (m_termination && m_termination->wasRequested())
        return;

    const gs::PostScriptFeed::Step step = m_feed.feedStep(m_job.outputPath);
    if (m_platform.unattended && m_feed.log().ranOutOfMemory()) {
        // A print job at its memory limit: the pages after it would be
        // missing from a PDF that looks whole, and the interpreter's memory
        // goes only with the interpreter.
        cancel();
        failRun(strings::kOutOfMemory);
        runPostProcessing();
        return;
    }
    switch (step) {
    case gs::PostScriptFeed::Step::Fed:
        m_view.showState();
        if (const auto position = m_feed.progressPosition())
            m_view.showProgress(*position);
        m_view.showFeeding();
        break;
    case gs::PostScriptFeed::Step::InputEnded:
        if (m_termination)
            m_termination->setPartialOutput({});
        if (isCutShortPdf(m_job.outputPath)) {
            // Written only in part (a full disk): no PDF, and nothing of the chain.
            ::unlink(m_job.outputPath.c_str());
            failRun(strings::kPdfNotWritten);
        }
        runPostProcessing();
        break;
    case gs::PostScriptFeed::Step::Failed:
        // A PDF that cannot be read: nothing was written, and nothing follows.
        if (m_termination)
            m_termination->setPartialOutput({});
        failRun(strings::kPdfNotReadable);
        runPostProcessing();
        break;
    case gs::PostScriptFeed::Step::Idle:
    case gs::PostScriptFeed::Step::Interrupted:
        break;
    }

    if (!m_feed.log().shown()) {
        m_view.showState();
        m_feed.log().markShown();
    }
}

void ConversionRun::failRun(int message)
{
    m_failed = true;
    m_job.securityRequested = m_job.mailRequested = m_job.showRequested = false;
    m_platform.messages.show(loadString(message));
}

void ConversionRun::failUnattendedRun(int message)
{
    // Someone at the dialog sees that nothing runs and can open a file; a
    // print job's log must say why it left no PDF.
    if (m_platform.unattended)
        failRun(message);
}

void ConversionRun::runPostProcessing()
{
    if (m_job.securityRequested) {
        protectOutput();
        m_job.securityRequested = false;
    }
    if (m_job.mailRequested)
        mailOutput();
    if (m_job.showRequested)
        m_platform.shell.open(m_job.outputPath);
    m_view.showConverting(false);
    // Nobody could close a window left open by an unattended run.
    if (m_job.closeAfterProcess || m_platform.unattended)
        m_view.finish();
    m_view.showState();
    m_feeding = false;
    m_view.showProgress(gs::PostScriptFeed::kProgressRange);
}

void ConversionRun::protectOutput()
{
    // A user who asked for protection is never left with an open PDF unawares,
    // nor with one where the protected one was expected.
    const PdfEncryption encryption = encryptionNamed(m_job.fourthSecurityValue);
    if (!isUsablePassword(m_job.userPassword, encryption)
        || !isUsablePassword(m_job.ownerPassword, encryption)) {
        m_platform.messages.show(loadString(strings::kPasswordNotUsable));
    } else {
        const auto request = std::make_unique<CPdfSecurity>(
            m_job.userPassword, m_job.ownerPassword, permissionValue(m_job.permissionText), encryption);
        if (protectInPlace(m_job.outputPath, *request) == 0)
            return;
        if (const int message = securityFailureMessage(GetLastPdfError()))
            m_platform.messages.show(loadString(message));
    }
    m_failed = true;
    // Not mailed or shown either: that would hand out what was to be protected.
    m_job.mailRequested = m_job.showRequested = false;
    const std::string kept = unprotectedNameFor(m_job.outputPath);
    if (::rename(m_job.outputPath.c_str(), kept.c_str()) == 0) {
        m_platform.messages.show(loadString(strings::kUnprotectedKept) + "\n" + kept);
        m_job.outputPath = kept;
    }
}

void ConversionRun::mailOutput()
{
    CMailMessage mail(m_platform.mail, m_platform.messages);
    mail.m_message.subject = mailSubjectFor(m_job.outputPath);
    std::error_code ignored;
    mail.AddAttachment(std::filesystem::absolute(m_job.outputPath, ignored).string());
    mail.m_note.clear();
    mail.onModal = [this](bool running) { m_view.showMailProgram(running); };
    mail.Send(MAPI_LOGON_UI);
}

void ConversionRun::cancel()
{
    if (m_feed.cancel(m_job.outputPath) && m_termination)
        m_termination->setPartialOutput({});
    m_feeding = false;
    m_view.showConverting(false);
}

void runToEnd(ConversionRun& run)
{
    TerminationWatch* termination = run.terminationWatch();
    if (!run.isFeeding()) {
        // A refused interpreter stays until it is cancelled; nobody is there
        // to cancel it. It wrote nothing, so nothing at the output is touched.
        run.feed().cancel({});
        return;
    }
    while (run.isFeeding()) {
        if (termination && termination->wasRequested()) {
            run.cancel();
            termination->acknowledge();
            return;
        }
        run.feedStep();
    }
}

} // namespace folyant::converter
