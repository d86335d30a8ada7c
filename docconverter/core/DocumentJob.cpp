#include "docconverter/core/DocumentJob.h"

#include "docconverter/core/DocumentInspection.h"
#include "docconverter/core/EofScan.h"
#include "docconverter/core/OfficeProgram.h"
#include "docconverter/core/RunFolder.h"
#include "docconverter/core/StartCommand.h"
#include "docconverter/office/WarmOffice.h"
#include "installation/Handoff.h"
#include "installation/MachineSettings.h"
#include "platform/DefaultDestination.h"
#include "platform/FileBeside.h"
#include "platform/Folders.h"
#include "platform/MessageBox.h"
#include "platform/TerminationWatch.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <future>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

namespace folyant::docconverter {

namespace {
// What the user is told when the interpreter cannot take the job; the Part's
// messages have nothing for it.
constexpr const char* kInterpreterRefused
    = "The PDF converter (Ghostscript) could not be started with this installation's folders; "
      "nothing was converted.";
constexpr const char* kCannotWriteBeside
    = "No new file can be created beside the PDF; nothing was converted.";

// The per-user lock of document jobs, in the hand-off folder.
class JobLock {
public:
    explicit JobLock(const std::string& folder)
    {
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        m_fd = ::open((folder + "/job.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    }
    ~JobLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    JobLock(const JobLock&) = delete;
    JobLock& operator=(const JobLock&) = delete;
    // True once taken; a folder where no lock can be made does not stop the job.
    bool tryTake()
    {
        if (m_fd < 0 || ::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return false;
    }

private:
    int m_fd = -1;
};

// The user's default destination switched to the virtual printer, and put
// back on every path out: the job's own end, an early return, an exception,
// a termination signal (which ends the job through its pump). A killed run
// leaves the record that the next job's recover() puts back.
class DefaultSwitch {
public:
    // needed: the route can print only to the default destination; the
    // others name the printer and leave the user's default alone.
    DefaultSwitch(DefaultDestination& destinations, const std::string& queue, bool needed)
        : m_destinations(destinations)
        , m_saved(needed && destinations.save())
        , m_switched(!needed || (m_saved && destinations.makeDefault(queue)))
    {
    }
    ~DefaultSwitch() { restore(); }
    DefaultSwitch(const DefaultSwitch&) = delete;
    DefaultSwitch& operator=(const DefaultSwitch&) = delete;
    bool switched() const { return m_switched; }
    // True when there was nothing to put back or it was put back.
    bool restore()
    {
        const bool restored = !m_saved || m_destinations.restore();
        m_saved = false;
        return restored;
    }

private:
    DefaultDestination& m_destinations;
    bool m_saved;
    bool m_switched;
};

// Runs work on a thread of its own; what it returns waits for the work's
// result. Where no thread can be made, the work runs when its result is asked for.
std::function<int()> startAside(const std::function<int()>& work)
{
    try {
        auto result = std::make_shared<std::future<int>>(std::async(std::launch::async, work));
        return [result] { return result->get(); };
    } catch (const std::system_error&) {
        return work;
    }
}
} // namespace

DocumentJob::DocumentJob(InstallationFolders folders, JobPlatform platform, DocumentInterpreter::Pump pump)
    : m_folders(std::move(folders))
    , m_platform(platform)
    , m_pump(std::move(pump))
    , m_interpreter(m_folders.libFolder, m_folders.fontFolder)
    , m_home(folders::accountHome())
{
}

int DocumentJob::PrintThroughApplication(
    const std::string& document, const std::string& pdf, const std::string& temporary)
{
    if (m_print) {
        m_print(document, pdf, temporary);
    } else {
        const Route route = routeFor(document, m_hwpViewerPath);
        const RouteContext context{m_home, m_hwpViewerPath, m_folders.libFolder, m_platform.fonts,
            m_platform.messages, [this] { return !m_pump(); }, m_clock, m_programLimit, kVirtualPrinterQueue,
            m_attended, m_officeIdle};
        printThrough(route, context, document, pdf, temporary, std::time(nullptr));
        const bool complete = IsPostScriptComplete(temporary);
        if (route == Route::HwpShellPrint && !complete)
            m_platform.messages.show(
                kHwpNeedsImport, MessageButtons::Ok, MessageIcon::Warning, MessageAnswer::Ok, kResultCaption);
        return complete ? 1 : -2;
    }
    return IsPostScriptComplete(temporary) ? 1 : -2;
}

DocumentJob::Outcome DocumentJob::RunConversionJob(
    const std::string& document, const std::string& pdf, const std::string& temporary)
{
    // The user's default destination and the hand-off are the user's, not the
    // job's: a second job waits until the first has put them back.
    JobLock lock(handoff::folderFor(m_home));
    while (!lock.tryTake())
        if (!m_pump())
            return Outcome::Cancelled;

    // What a run that was killed left behind: the user's default, the
    // office's private folders.
    m_platform.destinations.recover();
    RunFolder::removeStale(kOfficeProfilePrefix);
    RunFolder::removeStale(kPrintFolderPrefix);

    if (!m_platform.destinations.exists(kVirtualPrinterQueue)) {
        m_platform.messages.show(
            kNoVirtualPrinter, MessageButtons::Ok, MessageIcon::Stop, MessageAnswer::Ok, kErrorCaption);
        return Outcome::Failed;
    }
    // A document that cannot print is told before anything changes. A viewer
    // that someone watches asks for a password itself.
    const Route route = routeFor(document, m_hwpViewerPath);
    const bool viewerAsks = m_attended && route == Route::HwpViewer;
    const DocumentState state = inspectDocument(document);
    if (state == DocumentState::Unreadable || (state == DocumentState::Protected && !viewerAsks)) {
        const std::string why = state == DocumentState::Protected ? protectedDocumentText(document)
                                                                  : unreadableDocumentText(document);
        m_platform.messages.show(
            why, MessageButtons::Ok, MessageIcon::Warning, MessageAnswer::Ok, kResultCaption);
        report(kConversionFailed);
        return Outcome::Failed;
    }
    DefaultSwitch defaultPrinter(m_platform.destinations, kVirtualPrinterQueue, printsToDefault(route));
    if (!defaultPrinter.switched()) {
        defaultPrinter.restore();
        m_platform.messages.show(
            kSwitchFailed, MessageButtons::Ok, MessageIcon::Stop, MessageAnswer::Ok, kErrorCaption);
        report(kConversionFailed);
        return Outcome::Failed;
    }
    Outcome outcome = convert(document, pdf, temporary);
    if (!defaultPrinter.restore())
        m_platform.messages.show(
            kRestoreFailed, MessageButtons::Ok, MessageIcon::Warning, MessageAnswer::Ok, kResultCaption);
    switch (outcome) {
    case Outcome::Converted:
        report(kConverted);
        break;
    case Outcome::Failed:
        report(kConversionFailed);
        break;
    case Outcome::Cancelled:
        break;
    }
    return outcome;
}

DocumentJob::Outcome DocumentJob::convert(
    const std::string& document, const std::string& pdf, const std::string& temporary)
{
    // The PDF's folder may be shared (/tmp, a project share): what is printed
    // and what is written there are new files of this run's own, and the PDF
    // takes its name only when it is whole.
    const FileBeside postScript(temporary, ".tmp", 0600);
    FileBeside written(pdf, ".pdf.tmp", 0666);
    if (postScript.path().empty() || written.path().empty()) {
        const std::string text = std::string(kCannotWriteBeside) + " (" + folders::folderOf(pdf) + ")";
        m_platform.messages.show(
            text, MessageButtons::Ok, MessageIcon::Stop, MessageAnswer::Ok, kErrorCaption);
        return Outcome::Failed;
    }
    // The interpreter starts while the application prints: its start-up takes
    // about as long as a warm office needs to print a short document.
    auto starting
        = startAside([&] { return m_interpreter.StartInterpreter(written.path(), postScript.path()); });
    const int printed = PrintThroughApplication(document, pdf, postScript.path());
    const int started = starting();
    if (printed != 1) {
        m_interpreter.DiscardInterpreter();
        return m_pump() ? Outcome::Failed : Outcome::Cancelled;
    }
    if (started != 0) {
        m_platform.messages.show(
            kInterpreterRefused, MessageButtons::Ok, MessageIcon::Stop, MessageAnswer::Ok, kErrorCaption);
        return Outcome::Failed;
    }
    switch (m_interpreter.FeedPostScriptFile(postScript.path(), m_pump)) {
    case 1:
        return written.commit(pdf) ? Outcome::Converted : Outcome::Failed;
    case -1:
        return Outcome::Cancelled;
    default:
        return Outcome::Failed;
    }
}

DocumentInstallation readDocumentInstallation(const MachineSettings& machine, MessageBox& messages)
{
    const int idle = machine.readInt(kOfficeIdleSetting).value_or(0);
    return {readInstallationFolders(machine, messages, installedFolders(), kErrorCaption),
        machine.readString(installation::kHwpViewerPath, installation::kValueBuffer).value_or(""),
        idle > 0 ? idle : 300};
}

bool pumpUnlessTerminated(TerminationWatch* watch)
{
    if (!watch || !watch->wasRequested())
        return true;
    watch->acknowledge();
    return false;
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
    m_platform.messages.show(
        text, MessageButtons::Ok, MessageIcon::Information, MessageAnswer::Ok, kResultCaption);
}

} // namespace folyant::docconverter
