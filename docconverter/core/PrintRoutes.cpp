#include "docconverter/core/PrintRoutes.h"

#include "docconverter/core/FontListRepair.h"
#include "docconverter/core/OfficeProgram.h"
#include "docconverter/core/StartCommand.h"
#include "installation/Handoff.h"
#include "platform/Folders.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Spooler.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

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

// The office program prints the document into the temporary file through
// the queue; its file lands in a folder of its own first, named after the
// document whatever its content.
void printToFile(const RouteContext& context, const std::string& document, const std::string& temporary,
    const char* missingText)
{
    const auto program = OfficeProgram::locate();
    bool started = false;
    if (const RunFolder folder(kPrintFolderPrefix); program && !folder.path().empty()) {
        OfficeProgram office(*program, context.programLimitMilliseconds);
        started = office.run({"--print-to-file", "--printer-name", context.queue, "--outdir", folder.path(),
                                 process::pathArgument(document)},
            context.cancelled);
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path(), ignored)) {
            handoff::takeOverSpoolFile(entry.path().string(), temporary);
            break;
        }
    }
    if (!started)
        context.messages.show(
            missingText, MessageButtons::Ok, MessageIcon::Warning, MessageAnswer::Ok, kProgramTitle);
}

void takeOver(const RouteContext& context, ArmedHandoff& armed, const std::string& spool,
    const std::string& temporary, int pause)
{
    armed.end();
    handoff::takeOverSpoolFile(spool, temporary);
    context.clock.sleep(pause);
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

constexpr auto kEnded = [] { return true; };
} // namespace

WaitClock WaitClock::real()
{
    return {[](int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }};
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
    return route == Route::HwpViewer || route == Route::HwpShellPrint || route == Route::ShellPrint;
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
        context.clock.sleep(kPollMilliseconds);
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
    case Route::PrintTo: {
        ArmedHandoff armed(context.home, spool);
        pid_t printer = -1;
        if (const auto program = OfficeProgram::locate()) {
            OfficeProgram office(*program, context.programLimitMilliseconds);
            printer = office.start({"--pt", context.queue, process::pathArgument(document)});
            WaitForSpoolFile(spool, printer, context);
        }
        takeOver(context, armed, spool, temporary, 500);
        return;
    }
    case Route::HwpViewer: {
        ArmedHandoff armed(context.home, spool);
        if (runToEnd(context, {trimmed(context.hwpViewerPath), "/pt", process::pathArgument(document)},
                context.attended ? -1 : context.programLimitMilliseconds))
            pollSpoolFile(spool, context, kEnded);
        context.clock.sleep(1000);
        takeOver(context, armed, spool, temporary, 1000);
        return;
    }
    case Route::HwpShellPrint: {
        FontListRepair repair(context.fonts, context.libFolder);
        repair.ReplaceFontList(now);
        {
            ArmedHandoff armed(context.home, spool);
            if (const auto program = OfficeProgram::locate()) {
                OfficeProgram office(*program, context.programLimitMilliseconds);
                if (office.run({"-p", process::pathArgument(document)}, context.cancelled))
                    pollSpoolFile(spool, context, kEnded);
            }
            takeOver(context, armed, spool, temporary, 500);
        }
        repair.RestoreFontList();
        return;
    }
    case Route::ShellPrint:
        if (const auto program = OfficeProgram::locate(); program && opensInOffice(document)) {
            OfficeProgram office(*program, context.programLimitMilliseconds);
            office.run({"-p", process::pathArgument(document)}, context.cancelled);
        } else {
            runToEnd(
                context, {"/usr/bin/lp", process::pathArgument(document)}, context.programLimitMilliseconds);
        }
        return;
    }
}

} // namespace folyant::docconverter
