#include "docconverter/core/DocumentJob.h"

#include "docconverter/core/EofScan.h"
#include "docconverter/core/StartCommand.h"
#include "platform/MessageBox.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

namespace folyant::docconverter {

namespace {
// What the user is told when the interpreter cannot take the job; the Part's
// messages have nothing for it.
constexpr const char* kInterpreterRefused
    = "The PDF converter (Ghostscript) could not be started with this installation's folders; "
      "nothing was converted.";

bool copyFile(const std::string& from, const std::string& to)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (in < 0)
        return false;
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    bool copied = out >= 0;
    char buffer[65536];
    while (copied) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            copied = got == 0;
            break;
        }
        for (ssize_t done = 0; copied && done < got;) {
            const ssize_t put = ::write(out, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno != EINTR)
                copied = false;
            else if (put > 0)
                done += put;
        }
    }
    if (out >= 0 && ::close(out) != 0)
        copied = false;
    ::close(in);
    return copied;
}
} // namespace

void printReadyPostScript(const std::string& document, const std::string&, const std::string& temporary)
{
    char head[2] = {};
    const int fd = ::open(document.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return;
    const bool isPostScript = ::read(fd, head, sizeof head) == 2 && head[0] == '%' && head[1] == '!';
    ::close(fd);
    if (isPostScript && !copyFile(document, temporary))
        std::remove(temporary.c_str());
}

DocumentJob::DocumentJob(InstallationFolders folders, MessageBox& messages, DocumentInterpreter::Pump pump)
    : m_folders(std::move(folders))
    , m_messages(messages)
    , m_pump(std::move(pump))
    , m_interpreter(m_folders.libFolder, m_folders.fontFolder)
    , m_print(printReadyPostScript)
{
}

int DocumentJob::PrintThroughApplication(
    const std::string& document, const std::string& pdf, const std::string& temporary)
{
    m_print(document, pdf, temporary);
    return IsPostScriptComplete(temporary) ? 1 : -2;
}

DocumentJob::Outcome DocumentJob::RunConversionJob(
    const std::string& document, const std::string& pdf, const std::string& temporary)
{
    if (PrintThroughApplication(document, pdf, temporary) != 1) {
        std::remove(temporary.c_str());
        report(kConversionFailed);
        return Outcome::Failed;
    }
    if (m_interpreter.StartInterpreter(pdf) != 0) {
        std::remove(temporary.c_str());
        m_messages.show(
            kInterpreterRefused, MessageButtons::Ok, MessageIcon::Stop, MessageAnswer::Ok, kErrorCaption);
        report(kConversionFailed);
        return Outcome::Failed;
    }
    switch (m_interpreter.FeedPostScriptFile(temporary, m_pump)) {
    case 1:
        std::remove(temporary.c_str());
        report(kConverted);
        return Outcome::Converted;
    case -1:
        std::remove(temporary.c_str());
        return Outcome::Cancelled;
    default:
        report(kConversionFailed);
        return Outcome::Failed;
    }
}

StartOutcome runStartCommand(StartNames& names, MessageBox& messages, DocumentJob& job)
{
    const StartVerdict verdict = checkStartNames(names);
    switch (verdict.check) {
    case StartCheck::Empty:
        return StartOutcome::NothingToDo;
    case StartCheck::Refused:
        messages.show(
            verdict.message, MessageButtons::Ok, MessageIcon::Stop, MessageAnswer::Ok, kErrorCaption);
        return StartOutcome::Refused;
    case StartCheck::Ready:
        break;
    }
    switch (job.RunConversionJob(names.documentPath, names.pdfPath, temporaryPathFor(names.pdfPath))) {
    case DocumentJob::Outcome::Converted:
        return StartOutcome::Converted;
    case DocumentJob::Outcome::Cancelled:
        return StartOutcome::Cancelled;
    case DocumentJob::Outcome::Failed:
        break;
    }
    return StartOutcome::Failed;
}

void DocumentJob::report(const char* text)
{
    m_messages.show(text, MessageButtons::Ok, MessageIcon::Information, MessageAnswer::Ok, kResultCaption);
}

} // namespace folyant::docconverter
