#pragma once

#include <sys/types.h>

#include <ctime>
#include <functional>
#include <optional>
#include <string>

namespace folyant {
class MessageBox;
class WordProcessorFonts;
} // namespace folyant

namespace folyant::docconverter {

// How a document reaches the virtual printer, chosen by the last four
// characters of its name in lower case.
enum class Route {
    WordAutomation, // .doc, .rtf: printed straight into the temporary file
    ExcelAutomation, // .xls: the same
    PrintTo, // .ppt, .hwd: printed to the queue, handed over by the backend
    HwpViewer, // .hwp with a viewer program: the viewer prints, handed over
    HwpShellPrint, // .hwp without one: printed by the office to the queue, handed over
    ShellPrint, // anything else: printed, not handed over
};
Route routeFor(const std::string& document, const std::string& hwpViewerPath);

// Whether the route can print only to the user's default destination (the
// HWP viewer, lp), so that the job must switch it. The office routes name the
// virtual printer on the document instead, and another program printing
// meanwhile still reaches the user's own printer.
bool printsToDefault(Route route);

// The waits of the routes, in milliseconds; a test makes them pass quickly
// without changing how many there are.
struct WaitClock {
    std::function<void(int)> sleep;
    // Waits up to the time, asking ready() again as soon as something changes
    // in the folder; true once it says so. Unset: sleep, and ready() is not
    // asked (a test's clock counts the waits).
    std::function<bool(int, const std::string& folder, const std::function<bool()>& ready)> watch;
    // The wait of one poll: woken by a change in the folder where the real
    // clock watches.
    bool sleepWatching(int milliseconds, const std::string& folder, const std::function<bool()>& ready) const;
    static WaitClock real();
};

// What the routes need from the job.
struct RouteContext {
    std::string home; // whose hand-off record and spool file
    std::string hwpViewerPath;
    std::string libFolder;
    const WordProcessorFonts& fonts;
    MessageBox& messages;
    std::function<bool()> cancelled;
    WaitClock clock;
    // How long one run of a printing program may take.
    int programLimitMilliseconds = 300000;
    // The queue of the virtual printer.
    std::string queue = "Folyant_Velmo";
    // Someone watches the run: the HWP viewer, a program the user sees, is
    // then waited for without a limit.
    bool attended = false;
    // Without a document for this long, the user's warm office ends itself.
    int officeIdleSeconds = 300;
};

// Prints the document by its route so that its PostScript ends up at the
// temporary path (or does not: the completeness test judges). Every hand-off
// armed here is ended on every path out.
void printThrough(Route route, const RouteContext& context, const std::string& document,
    const std::string& pdf, const std::string& temporary, std::time_t now);

// The wait for the spooled file after a printing program was started: polls
// the spool file once a second, up to 1,200 times (a poll ends early when the
// file is complete, seen as a change in its folder), and gives up after 180
// polls without a file, or as soon as the program has ended without a job of
// the user's in the queue (it printed nothing, and nothing will come); a
// complete file lets the program end on its own within 10 s. When it gives
// up, the program is ended.
void WaitForSpoolFile(const std::string& spool, pid_t printer, const RouteContext& context);

// The polls of the wait with the printing program gone: a program that
// prints to the print system ends before the backend has written its job.
// True when the spool file is complete. Without a spool file, it waits only
// while the user has a job in the queue: a program that printed nothing is
// not waited for.
// programGone tells whether the printing program has ended.
bool pollSpoolFile(
    const std::string& spool, const RouteContext& context, const std::function<bool()>& programGone);

// What the user is told when the office refused to open the document.
inline constexpr const char* kOfficeRefused
    = "LibreOffice could not open the document as the type its name says: it is damaged, "
      "encrypted, or of another type";

// What the user is told besides the failure when an HWP document did not print.
inline constexpr const char* kHwpNeedsImport
    = "LibreOffice could not print this HWP document. HWP 5 documents need an HWP import extension "
      "installed in LibreOffice for all users (for example Debian's libreoffice-h2orestart).";

} // namespace folyant::docconverter
