#include "converter/core/ConversionRun.h"

#include "converter/core/CMailMessage.h"
#include "converter/core/CPdfSecurity.h"
#include "converter/core/MuPdfRewriter.h"
#include "converter/core/OutputFile.h"
#include "converter/core/SecurityStep.h"
#include "converter/core/StringTable.h"
#include "installation/InstallationFolders.h"
#include "installation/MachineSettings.h"
#include "interpreter/LostText.h"
#include "platform/Platform.h"
#include "platform/TerminationWatch.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
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
    // Without this the interpreter takes a locked PDF for a damaged one.
    m_feed.setPasswordCheck([](const std::string& pdf) { return mupdf::inspect(pdf.c_str()).needsPassword; });
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
    if (!m_job.appendPath.empty() && !checkAppendTarget())
        return;

    if (startInterpreter() == 0)
        m_feed.sendPageStamp(m_job.libFolder);
}

int ConversionRun::startInterpreter()
{
    m_view.showProgress(0);
    removeWorkingFile();
    m_workingPath = makeWorkingFile(m_job.outputPath);
    if (m_workingPath.empty()) {
        failRun(formatString(strings::kOutputNotWritable, {std::strerror(errno)}));
        return -1;
    }
    // The interpreter writes as it starts: from then on an ending without
    // this thread must remove what it wrote.
    if (m_termination) {
        m_termination->setPartialOutput(m_workingPath);
        m_feed.prepareScratchFolder();
        m_termination->setScratchFolders(m_feed.scratchFolders());
    }
    ConversionJob working = m_job;
    working.outputPath = m_workingPath;
    const gs::StartResult started = converter::startInterpreter(m_feed, working);
    if (m_termination)
        m_termination->setScratchFolders(m_feed.scratchFolders());
    if (started.started()) {
        m_feeding = true;
        m_view.showConverting(true);
    } else {
        removeWorkingFile();
        failRun(started.outcome == gs::StartResult::Outcome::NoScratchFolder
                ? strings::kNoScratchFolder
                : strings::kInterpreterNotStarted);
    }
    return started.dialogCode();
}

void ConversionRun::feedStep()
{
    // A termination request is handled by whoever runs the loop; reading on
    // could block on a pipe whose writer has gone.
    if (m_termination && m_termination->wasRequested())
        return;

    const gs::PostScriptFeed::Step step = m_feed.feedStep(m_workingPath);
    // Asked now: the feed forgets what its input was once the input ends.
    m_pdfInput = m_pdfInput || m_feed.isPdf();
    if (m_feed.log().ranOutOfMemory()) {
        // Not even the interpreter's words could be kept: the pages after
        // this would be missing from a PDF that looks whole.
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
        completeOutput();
        runPostProcessing();
        break;
    case gs::PostScriptFeed::Step::Failed:
        failedOutput();
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

void ConversionRun::completeOutput()
{
    // Only a PDF job's ToUnicode comes out with its bytes swapped or its
    // pairs cut short, and only a PDF job has marked content to lose; a PDF
    // whose update could not be finished is found cut short below.
    if (m_pdfInput && !isCutShortPdf(m_workingPath))
        gs::putBackLostText(m_workingPath, m_feed.pdfRead());
    if (isCutShortPdf(m_workingPath)) {
        // Written only in part (a full disk): no PDF, and nothing of the chain.
        removeWorkingFile();
        failRun(strings::kPdfNotWritten);
        return;
    }
    if (const auto promised = m_feed.promisedPages()) {
        const int made = mupdf::inspect(m_workingPath.c_str()).pages;
        if (made < *promised) {
            keepIncomplete(
                formatString(strings::kFewerPages, {std::to_string(*promised), std::to_string(made)}));
            return;
        }
    }
    if (!m_job.appendPath.empty() && !appendToExisting())
        return;
    if (m_job.securityRequested && !protectWorkingFile()) {
        // Never an open PDF where the protected one was expected.
        const std::string kept = keepAs(m_workingPath, m_job.outputPath, "unprotected");
        if (kept.empty()) {
            removeWorkingFile();
        } else {
            m_platform.messages.show(loadString(strings::kUnprotectedKept) + "\n" + kept);
            m_job.outputPath = kept;
        }
        m_workingPath.clear();
        if (m_termination)
            m_termination->setPartialOutput({});
        return;
    }
    m_job.securityRequested = false;
    if (!publish(m_workingPath, m_job.outputPath)) {
        const int error = errno;
        removeWorkingFile();
        failRun(formatString(strings::kOutputNotWritable, {std::strerror(error)}));
        return;
    }
    m_workingPath.clear();
    if (m_termination)
        m_termination->setPartialOutput({});
}

bool ConversionRun::checkAppendTarget()
{
    // Said before anything is converted: the job is not lost in a PDF that
    // cannot take it.
    const mupdf::PdfFacts facts = mupdf::inspect(m_job.appendPath.c_str());
    if (facts.encrypted) {
        failRun(formatString(strings::kAppendProtected, {m_job.appendPath}));
        return false;
    }
    if (!facts.opens || facts.pages == 0) {
        failRun(formatString(strings::kAppendUnreadable,
            {m_job.appendPath,
                ::access(m_job.appendPath.c_str(), R_OK) != 0 ? std::strerror(errno) : "PDF"}));
        return false;
    }
    return true;
}

bool ConversionRun::appendToExisting()
{
    // A new working file again: the PDF added to is only read, and whatever
    // ends the run before the rename leaves it as it was.
    const std::string combined = makeWorkingFile(m_job.outputPath);
    if (combined.empty()) {
        const int error = errno;
        removeWorkingFile();
        failRun(formatString(strings::kOutputNotWritable, {std::strerror(error)}));
        return false;
    }
    if (m_termination)
        m_termination->setPartialOutput(combined);
    const mupdf::AppendResult appended
        = mupdf::appendPages(m_job.appendPath.c_str(), m_workingPath.c_str(), combined.c_str());
    removeWorkingFile();
    m_workingPath = combined;
    if (m_termination)
        m_termination->setPartialOutput(m_workingPath);
    switch (appended.outcome) {
    case mupdf::AppendResult::Outcome::Appended:
        return true;
    case mupdf::AppendResult::Outcome::Protected:
        failRun(formatString(strings::kAppendProtected, {m_job.appendPath}));
        break;
    case mupdf::AppendResult::Outcome::Unreadable:
        failRun(formatString(strings::kAppendUnreadable, {m_job.appendPath, appended.message}));
        break;
    case mupdf::AppendResult::Outcome::NotWritten:
        failRun(formatString(strings::kAppendFailed, {m_job.appendPath, appended.message}));
        break;
    }
    removeWorkingFile();
    return false;
}

void ConversionRun::failedOutput()
{
    using Failure = gs::PostScriptFeed::Failure;
    switch (m_feed.failure()) {
    case Failure::PostScriptError:
    case Failure::ReadError: {
        const int page = mupdf::inspect(m_workingPath.c_str()).pages + 1;
        if (m_feed.failure() == Failure::ReadError)
            keepIncomplete(formatString(strings::kReadError, {std::strerror(m_feed.readError())}));
        else if (const std::string_view name = gs::errorName(m_feed.errorCode());
                 name.empty() || name == "syntaxerror")
            keepIncomplete(formatString(strings::kJobCutShort, {std::to_string(page)}));
        else
            keepIncomplete(formatString(strings::kJobError, {std::string(name), std::to_string(page)}));
        return;
    }
    case Failure::EmptyInput:
        failRun(strings::kEmptyInput);
        break;
    case Failure::NotPostScript:
        failRun(strings::kNotPostScript);
        break;
    case Failure::OutOfMemory:
        failRun(strings::kOutOfMemory);
        break;
    case Failure::StampRemoved:
        failRun(strings::kStampRemoved);
        break;
    case Failure::PdfProtected:
        failRun(strings::kPdfProtected);
        break;
    case Failure::SpoolFailed:
        failRun(strings::kPdfNotWritten);
        break;
    case Failure::PdfUnreadable:
    case Failure::None:
        failRun(strings::kPdfNotReadable);
        break;
    }
    removeWorkingFile();
}

void ConversionRun::keepIncomplete(const std::string& reason)
{
    const int pages = mupdf::inspect(m_workingPath.c_str()).pages;
    // A protected job stays protected, whole or not; what cannot be is not kept.
    if (pages == 0 || (m_job.securityRequested && !protectWorkingFile())) {
        removeWorkingFile();
        failRun(reason + "\n" + loadString(strings::kNoPageKept));
        return;
    }
    const std::string kept = keepAs(m_workingPath, m_job.outputPath, "incomplete");
    if (kept.empty()) {
        removeWorkingFile();
        failRun(reason + "\n" + loadString(strings::kNoPageKept));
        return;
    }
    m_workingPath.clear();
    if (m_termination)
        m_termination->setPartialOutput({});
    m_job.outputPath = kept;
    m_incomplete = true;
    failRun(reason + "\n" + loadString(strings::kIncompleteKept) + "\n" + kept);
}

bool ConversionRun::protectWorkingFile()
{
    const PdfEncryption encryption = encryptionNamed(m_job.fourthSecurityValue);
    if (!isUsablePassword(m_job.userPassword, encryption)
        || !isUsablePassword(m_job.ownerPassword, encryption)) {
        m_platform.messages.show(loadString(strings::kPasswordNotUsable));
    } else {
        const auto request = std::make_unique<CPdfSecurity>(
            m_job.userPassword, m_job.ownerPassword, permissionValue(m_job.permissionText), encryption);
        if (protectInPlace(m_workingPath, *request) == 0)
            return true;
        if (const int message = securityFailureMessage(GetLastPdfError()))
            m_platform.messages.show(loadString(message));
    }
    m_failed = true;
    // Not mailed or shown either: that would hand out what was to be protected.
    m_job.securityRequested = m_job.mailRequested = m_job.showRequested = false;
    return false;
}

void ConversionRun::removeWorkingFile()
{
    if (!m_workingPath.empty())
        ::unlink(m_workingPath.c_str());
    m_workingPath.clear();
    if (m_termination)
        m_termination->setPartialOutput({});
}

void ConversionRun::failRun(int message)
{
    failRun(loadString(message));
}

void ConversionRun::failRun(const std::string& text)
{
    m_failed = true;
    m_job.securityRequested = m_job.mailRequested = m_job.showRequested = false;
    m_platform.messages.show(text);
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
    // The target is left as it was: the interpreter never wrote there.
    m_feed.cancel(m_workingPath);
    removeWorkingFile();
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
