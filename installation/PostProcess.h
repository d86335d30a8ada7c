#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace folyant {

class MachineSettings;

// The administrator's action after each PDF: the rules the backend (for the
// PDFs it saves unattended) and the desktop agent (for those it saves where
// the user chose) both follow. Each runs the program its own way; which
// program, on which PDFs, within which limit and what the log says of it are
// decided here.
namespace postprocess {

// The machine setting naming the program. Only the administrator's settings
// name it: a user's own would reach nobody's jobs but could be mistaken for it.
inline constexpr const char* kPostProcess = "PostProcess";

// What the log keeps of the program's standard error; the rest is counted.
inline constexpr std::size_t kKeptErrorBytes = 16384;
// How long a program past its limit has to end when asked before it (and
// what it started) is killed.
inline constexpr int kGraceMilliseconds = 5000;

// The program the machine settings name; empty when none is named.
std::string configuredProgram(const MachineSettings& settings);

// The machine's TimeLimit in seconds (0: none), bounded so that twice its
// milliseconds fit in an int (five days).
int timeLimitSeconds(const MachineSettings& settings);

// Whether the file at path is a PDF written to its end by a converter that
// succeeded: a regular file, not empty, that begins as a PDF. Only such a
// PDF is reported as saved and given to the program.
bool isFinishedPdf(const std::string& path);

// How a run of the program ended.
struct Ending {
    enum class Kind {
        NotAbsolute, // the setting names no full path: never run
        NotStarted, // detail: the errno value why
        PastTimeLimit, // ended by the limit
        Signalled, // detail: the signal
        Abnormal, // no status could be had
        Exited, // detail: the exit status
    };
    Kind kind = Kind::Abnormal;
    int detail = 0;

    // From a wait status (negative: none) and whether the limit ended it.
    static Ending fromWaitStatus(int status, bool pastTimeLimit);
    bool succeeded() const { return kind == Kind::Exited && detail == 0; }
};

// Whether the setting names a program by its full path: a bare name would
// be looked up on a PATH the job's user sets.
bool mayRun(const std::string& program);

// One line of the job's log. A warning when the program failed, could not
// be run or hung: the PDF stays all the same, and the log says so.
struct LogLine {
    bool warning = false;
    std::string text; // without a level prefix, never a control character
};

// What the job's log says of a run: the program's standard error, a line of
// the log for each of its lines (at the level of the run's outcome), how
// much of it was not kept, and how the run ended.
std::vector<LogLine> report(const std::string& program, int limitSeconds, const Ending& ending,
    const std::string& errorText = {}, std::size_t droppedBytes = 0);

} // namespace postprocess
} // namespace folyant
