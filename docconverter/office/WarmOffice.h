#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace folyant::docconverter {

// How long and how much the user's office may take.
struct OfficeLimits {
    // One document, load to close; past it the office is taken for hung and ended.
    int documentMilliseconds = 300000;
    // From the start until it answers on its pipe.
    int startMilliseconds = 60000;
    // The longest wait for the office while another document of the user's
    // is printed in it.
    int turnMilliseconds = 330000;
    // Without a document for this long, the office ends itself.
    int idleSeconds = 300;
    // It is started afresh after this many documents, or when its processes
    // hold more memory than this: its memory grows with every document and
    // is never returned.
    int documentsPerStart = 200;
    long memoryKiB = 1024L * 1024L;
};

// The machine setting that holds the idle time, in seconds.
inline constexpr const char* kOfficeIdleSetting = "OfficeIdleSeconds";

struct OfficeRequest {
    std::string document;
    // The route's import filters, tried in turn; none: the office detects the type.
    std::vector<std::string> filters;
    std::string printer; // the queue named on the document
    std::string file; // print into this file; empty: to the queue
};

enum class OfficeOutcome {
    Printed,
    NoOffice, // it could not be started, or never answered
    Unsafe, // its folders or its pipe are not the user's alone
    Busy, // another document held it past the wait
    Refused, // the document was not loaded
    UnknownPrinter,
    Failed, // the office reported an error printing
    TimedOut, // hung: ended
    Cancelled,
};

struct OfficeResult {
    OfficeOutcome outcome;
    std::string message;
};

// The user's own LibreOffice, kept running between documents and driven over
// UNO. One per user: a persistent profile of the suite's under
// $XDG_STATE_HOME/folyant/office (~/.local/state/...), never the user's own;
// its pipe is a socket the office makes in the shared temporary folder
// (/tmp/OSL_PIPE_UID_NAME, whatever TMPDIR says), so the name is new and
// unguessable at every start, the socket is made with umask 077, and the
// client connects only to a socket of the user's own that nobody else may
// write. It gets the caller's environment (CUPS_SERVER included) and is
// started afresh when that names another print server, or when the
// extensions installed for all users have changed. A keeper process ends it
// after the idle time.
class WarmOffice {
public:
    // environment: the office's, as the caller would print (CUPS_SERVER kept).
    WarmOffice(std::string program, std::vector<std::string> environment, OfficeLimits limits);

    // Prints one document, starting the office when none runs; a dead office,
    // or one that does not know the printer (a queue added after it started),
    // is ended and started afresh once. One document at a time per office;
    // cancelled() is asked while the document prints and ends the office.
    OfficeResult print(const OfficeRequest& request, const std::function<bool()>& cancelled);

    // The user's office folder: $XDG_STATE_HOME/folyant/office.
    static std::string folder();
    // Ends the user's office, if one runs.
    static void end();
    // The process id of the user's running office, if any.
    static std::optional<pid_t> running();

private:
    OfficeResult printOnce(const OfficeRequest& request, const std::function<bool()>& cancelled, bool& retry);

    std::string m_program;
    std::vector<std::string> m_environment;
    OfficeLimits m_limits;
};

} // namespace folyant::docconverter
