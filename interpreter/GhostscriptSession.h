#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace folyant::gs {

class ConversionLog;
class ScratchFolder;

// How a start went. Our own outcomes are kinds of their own, so that none can
// be mistaken for one of the interpreter's codes (-1 is its "unknownerror").
struct StartResult {
    enum class Outcome {
        Started,
        NoInstance, // the library gave no instance (another one runs)
        NoScratchFolder, // no private temporary folder could be made
        Refused, // the interpreter refused its arguments: code says why
    };
    Outcome outcome = Outcome::Started;
    int code = 0; // the interpreter's own code, for Refused

    bool started() const { return outcome == Outcome::Started; }
    // The number the converter's dialog answers with: 0 started, -1 no
    // instance, otherwise a negative code.
    int dialogCode() const;
};

// The interpreter's name of a PostScript error code ("undefined" for -21), or
// an empty text for a code that is not one.
std::string_view errorName(int code);

// One Ghostscript interpreter instance, driven through gsapi on the calling
// thread. At most one session holds an instance in a process at a time;
// the destructor shuts down whatever is still running.
class GhostscriptSession {
public:
    // Text the interpreter prints goes to log, or nowhere when log is null.
    explicit GhostscriptSession(ConversionLog* log);
    ~GhostscriptSession();

    GhostscriptSession(const GhostscriptSession&) = delete;
    GhostscriptSession& operator=(const GhostscriptSession&) = delete;

    // Creates the instance and initialises it with the arguments, then begins
    // a run-string sequence. A refused instance stays until abort() or
    // destruction; an existing one counts as started.
    StartResult start(const std::vector<std::string>& arguments);

    bool hasInstance() const { return m_instance != nullptr; }
    // An instance that accepted its arguments and takes input.
    bool isRunning() const { return m_instance != nullptr && m_running; }

    // Hands text to the running sequence; ignored without a running one. The
    // interpreter's code for the text: 0, or its (negative) error code.
    int send(std::string_view text);

    // Ends the sequence and shuts down; the output is complete afterwards.
    // 0, or the interpreter's negative code when the input ended inside a
    // construct it could not finish or the output could not be closed.
    int finish();

    // Ends the sequence and begins a new one: after a PostScript error the
    // interpreter takes further commands only so.
    void restart();

    // Shuts down without ending the sequence.
    void abort();

    // Makes the private temporary folder ahead of start, so that a caller can
    // have it removed should the process end while the interpreter starts.
    bool prepareScratchFolder();

    // The private temporary folder of the running (or prepared) instance;
    // empty for none.
    std::string scratchFolder() const;

private:
    int release();

    ConversionLog* m_log;
    std::unique_ptr<ScratchFolder> m_scratch;
    void* m_instance = nullptr;
    bool m_running = false;
};

} // namespace folyant::gs
