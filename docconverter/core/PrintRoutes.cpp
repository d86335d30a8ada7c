#include "docconverter/core/PrintRoutes.h"

#include "docconverter/core/FontListRepair.h"
#include "docconverter/core/OfficeProgram.h"
#include "docconverter/core/RunFolder.h"
#include "docconverter/core/StartCommand.h"
#include "docconverter/office/WarmOffice.h"
#include "installation/Handoff.h"
#include "platform/Folders.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Spooler.h"

#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

namespace folyant::docconverter {

namespace {
constexpr int kPolls = 1200;
constexpr int kPollsWithoutFile = 180;
constexpr int kPollMilliseconds = 1000;
constexpr int kSettleMilliseconds = 300;
constexpr int kPrinterEndMilliseconds = 10000;

constexpr const char* kWordMissing = "MS Word가 시스템에 설치 되어야 합니다.";
constexpr const char* kExcelMissing = "MS Excel이 시스템에 설치 되어야 합니다.";
constexpr const char* kProgramTitle = "zevConverter";

// The types LibreOffice opens, for the routes that print "through the
// document's program": everything else goes to lp.
constexpr const char* kOfficeTypes[]
    = {".odt", ".ods", ".odp", ".odg", ".ott", ".docx", ".xlsx", ".pptx", ".rtf", ".txt", ".csv", ".htm",
        ".html", ".xml", ".wpd", ".wps", ".doc", ".xls", ".ppt", ".pps", ".hwp", ".sxw", ".sxc"};

std::string lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool opensInOffice(const std::string& document)
{
    const std::string name = lowered(folders::fileNameOf(document));
    return std::any_of(std::begin(kOfficeTypes), std::end(kOfficeTypes), [&](const char* type) {
        const std::string ending = type;
        return name.size() > ending.size()
            && name.compare(name.size() - ending.size(), ending.size(), ending) == 0;
    });
}

bool exists(const std::string& path)
{
    struct stat info { };
    return ::lstat(path.c_str(), &info) == 0;
}

constexpr auto kEnded = [] { return true; };

// After a change is seen, ready() is asked again for a while: the backend's
// lock on the spool file goes a moment after its close is reported.
constexpr int kRecheckMilliseconds = 10;
constexpr int kRecheckWindowMilliseconds = 500;

class WatchDescriptor {
public:
    WatchDescriptor()
        : m_fd(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK))
    {
    }
    ~WatchDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    WatchDescriptor(const WatchDescriptor&) = delete;
    WatchDescriptor& operator=(const WatchDescriptor&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// The real clock's watch: inotify on the folder, woken by every file made,
// closed after writing, moved in or removed there. Without a watch (no such
// folder, no inotify left), it sleeps the time as a plain poll would.
bool watchFolder(int milliseconds, const std::string& folder, const std::function<bool()>& ready)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    const WatchDescriptor watch;
    if (watch.fd() < 0
        || ::inotify_add_watch(watch.fd(), folder.c_str(),
               IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE | IN_ONLYDIR | IN_DONT_FOLLOW)
            < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return false;
    }
    // A change made before the watch was set is seen here.
    if (ready())
        return true;
    auto recheckUntil = Clock::now();
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count() + 1;
        if (now < recheckUntil)
            wait = std::min<long long>(wait, kRecheckMilliseconds);
        pollfd events{watch.fd(), POLLIN, 0};
        const int changed = ::poll(&events, 1, static_cast<int>(wait));
        if (changed > 0) {
            char buffer[4096];
            while (::read(watch.fd(), buffer, sizeof buffer) > 0) { }
            recheckUntil = Clock::now() + std::chrono::milliseconds(kRecheckWindowMilliseconds);
        }
        if ((changed > 0 || Clock::now() < recheckUntil) && ready())
            return true;
    }
    return false;
}

// Ends the hand-off however the route is left.
class ArmedHandoff {
public:
    ArmedHandoff(const std::string& home, const std::string& spool)
        : m_home(home)
    {
        handoff::beginHandoff(home, spool);
    }
    ~ArmedHandoff() { end(); }
    ArmedHandoff(const ArmedHandoff&) = delete;
    ArmedHandoff& operator=(const ArmedHandoff&) = delete;
    void end()
    {
        if (m_armed)
            handoff::endHandoff(m_home);
        m_armed = false;
    }

private:
    std::string m_home;
    bool m_armed = true;
};

void takeOver(ArmedHandoff& armed, const std::string& spool, const std::string& temporary)
{
    armed.end();
    handoff::takeOverSpoolFile(spool, temporary);
}

// The route's import filters: a document is loaded only as a type its name
// says (random bytes named .doc would otherwise print as text), of any of the
// program's versions the office reads.
std::vector<std::string> filtersFor(const std::string& document)
{
    const std::string name = lowered(folders::fileNameOf(document));
    static const std::pair<const char*, std::vector<std::string>> kFilters[] = {
        {".doc", {"MS Word 97", "MS Word 95", "MS WinWord 6.0"}},
        {".rtf", {"Rich Text Format"}},
        {".xls", {"MS Excel 97", "MS Excel 95", "MS Excel 5.0/95", "MS Excel 4.0"}},
        {".ppt", {"MS PowerPoint 97"}},
    };
    for (const auto& [ending, filters] : kFilters) {
        const std::string end = ending;
        if (name.size() > end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0)
            return filters;
    }
    return {};
}

// The user's warm office prints the document with the virtual printer named
// on it: to the queue, or into the file. False when it printed nothing; what
// went wrong is told, except that no office exists (the caller's words).
bool printInOffice(const RouteContext& context, const std::string& document, const std::string& file)
{
    const auto program = locateOffice();
    if (!program)
        return false;
    OfficeLimits limits;
    limits.documentMilliseconds = context.programLimitMilliseconds;
    limits.turnMilliseconds = context.programLimitMilliseconds + 30000;
    limits.idleSeconds = context.officeIdleSeconds;
    WarmOffice office(*program, printingEnvironment(), limits);
    const OfficeResult result
        = office.print({document, filtersFor(document), context.queue, file}, context.cancelled);
    std::string text;
    switch (result.outcome) {
    case OfficeOutcome::Printed:
        return true;
    case OfficeOutcome::Cancelled:
        return false;
    case OfficeOutcome::NoOffice:
        text = "LibreOffice could not be started, or did not answer";
        break;
    case OfficeOutcome::Refused:
        text = kOfficeRefused;
        break;
    case OfficeOutcome::UnknownPrinter:
        text = "LibreOffice does not know the printer " + context.queue + ".";
        break;
    case OfficeOutcome::Busy:
        text = "LibreOffice is busy with another of your documents; try again later.";
        break;
    case OfficeOutcome::TimedOut:
        text = "LibreOffice did not finish printing the document in time and was ended.";
        break;
    case OfficeOutcome::Unsafe:
    case OfficeOutcome::Failed:
        text = "LibreOffice could not print the document";
        break;
    }
    if (!result.message.empty())
        text += " (" + result.message + ")";
    context.messages.show(text, MessageButtons::Ok, MessageIcon::Warning, MessageAnswer::Ok, kProgramTitle);
    return false;
}

// The office prints the document into the temporary file through the
// queue; its file lands in a folder of its own first.
void printToFile(const RouteContext& context, const std::string& document, const std::string& temporary,
    const char* missingText)
{
    if (!locateOffice()) {
        context.messages.show(
            missingText, MessageButtons::Ok, MessageIcon::Warning, MessageAnswer::Ok, kProgramTitle);
        return;
    }
    const RunFolder folder(kPrintFolderPrefix);
    if (folder.path().empty())
        return;
    const std::string printed = folder.path() + "/printed.pdf";
    if (printInOffice(context, document, printed))
        handoff::takeOverSpoolFile(printed, temporary);
}

// The office prints the document to the queue, and the backend hands the job
// over through the spool file. Nothing is waited for after the take-over: the
// file was seen whole and closed by the backend, and once renamed no one else
// writes it, so a pause there would only keep the user waiting.
void printToQueue(const RouteContext& context, const std::string& document, const std::string& spool,
    const std::string& temporary)
{
    ArmedHandoff armed(context.home, spool);
    if (printInOffice(context, document, {}))
        pollSpoolFile(spool, context, kEnded);
    takeOver(armed, spool, temporary);
}

// The route's own program, started and waited for within the limit; false
// when it could not be started.
bool runToEnd(const RouteContext& context, const std::vector<std::string>& argv, int limitMilliseconds)
{
    int error = 0;
    const pid_t pid = process::start({argv.front(), argv, printingEnvironment(), -1, -1, true}, error);
    if (pid > 0)
        waitForProgram(pid, limitMilliseconds, context.cancelled);
    return pid > 0;
}
} // namespace

bool WaitClock::sleepWatching(
    int milliseconds, const std::string& folder, const std::function<bool()>& ready) const
{
    if (watch)
        return watch(milliseconds, folder, ready);
    sleep(milliseconds);
    return false;
}

WaitClock WaitClock::real()
{
    return {[](int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); },
        watchFolder};
}

Route routeFor(const std::string& document, const std::string& hwpViewerPath)
{
    const std::string ending
        = lowered(document.size() >= 4 ? document.substr(document.size() - 4) : std::string());
    if (ending == ".doc" || ending == ".rtf")
        return Route::WordAutomation;
    if (ending == ".xls")
        return Route::ExcelAutomation;
    if (ending == ".ppt" || ending == ".hwd")
        return Route::PrintTo;
    if (ending == ".hwp")
        return trimmed(hwpViewerPath).empty() ? Route::HwpShellPrint : Route::HwpViewer;
    return Route::ShellPrint;
}

bool printsToDefault(Route route)
{
    return route == Route::HwpViewer || route == Route::ShellPrint;
}

bool pollSpoolFile(
    const std::string& spool, const RouteContext& context, const std::function<bool()>& programGone)
{
    for (int count = 0; count < kPolls && !context.cancelled(); ++count) {
        if (!exists(spool)) {
            if (count > kPollsWithoutFile)
                return false;
            // Looked at again after the queue: the job may have ended in between.
            if (programGone() && !spooler::HasActiveJobs(context.queue) && !exists(spool))
                return false;
        } else if (handoff::isSpoolFileComplete(spool)) {
            return true;
        }
        if (context.clock.sleepWatching(kPollMilliseconds, folders::folderOf(spool),
                [&spool] { return handoff::isSpoolFileComplete(spool); }))
            return true;
    }
    return false;
}

void WaitForSpoolFile(const std::string& spool, pid_t printer, const RouteContext& context)
{
    if (printer <= 0)
        return;
    // Once collected, the process id is no longer ours to signal.
    bool collected = false;
    const auto gone = [&collected, printer] {
        collected = collected || process::wait(printer, 0).has_value();
        return collected;
    };
    if (!pollSpoolFile(spool, context, gone)) {
        if (!collected)
            process::terminate(printer, 0);
        return;
    }
    context.clock.sleep(kSettleMilliseconds);
    // Left running after that is its own business, as long as it has printed.
    if (!collected)
        process::wait(printer, kPrinterEndMilliseconds);
}

void printThrough(Route route, const RouteContext& context, const std::string& document, const std::string&,
    const std::string& temporary, std::time_t now)
{
    const std::string spool = handoff::spoolPathFor(context.home);
    switch (route) {
    case Route::WordAutomation:
        printToFile(context, document, temporary, kWordMissing);
        return;
    case Route::ExcelAutomation:
        printToFile(context, document, temporary, kExcelMissing);
        return;
    case Route::PrintTo:
        printToQueue(context, document, spool, temporary);
        return;
    case Route::HwpViewer: {
        ArmedHandoff armed(context.home, spool);
        if (runToEnd(context, {trimmed(context.hwpViewerPath), "/pt", process::pathArgument(document)},
                context.attended ? -1 : context.programLimitMilliseconds))
            pollSpoolFile(spool, context, kEnded);
        context.clock.sleep(1000);
        takeOver(armed, spool, temporary);
        context.clock.sleep(1000);
        return;
    }
    case Route::HwpShellPrint: {
        FontListRepair repair(context.fonts, context.libFolder);
        repair.ReplaceFontList(now);
        printToQueue(context, document, spool, temporary);
        repair.RestoreFontList();
        return;
    }
    case Route::ShellPrint:
        if (locateOffice() && opensInOffice(document))
            printInOffice(context, document, {});
        else
            runToEnd(
                context, {"/usr/bin/lp", process::pathArgument(document)}, context.programLimitMilliseconds);
        return;
    }
}

} // namespace folyant::docconverter
