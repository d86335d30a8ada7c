#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace folyant::gs {

class ConversionLog;
class ScratchFolder;

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

    // Answer of start() when no private temporary folder could be made; far
    // outside the interpreter's own error codes.
    static constexpr int kNoScratchFolder = -1000;

    // Creates the instance and initialises it with the arguments, then begins
    // a run-string sequence. Returns 0 when the run began or an instance
    // exists already, -1 when no instance could be created, kNoScratchFolder,
    // or the interpreter's negative code when it refused the arguments; the
    // refused instance stays until abort() or destruction.
    int start(const std::vector<std::string>& arguments);

    bool hasInstance() const { return m_instance != nullptr; }
    // An instance that accepted its arguments and takes input.
    bool isRunning() const { return m_instance != nullptr && m_running; }

    // Hands text to the running sequence; ignored without a running one. The
    // interpreter's code for the text: 0, or its (negative) error code.
    int send(std::string_view text);

    // Ends the sequence and shuts down; the output is complete afterwards.
    void finish();

    // Shuts down without ending the sequence.
    void abort();

    // The private temporary folder of the running instance; empty for none.
    std::string scratchFolder() const;

private:
    void release();

    ConversionLog* m_log;
    std::unique_ptr<ScratchFolder> m_scratch;
    void* m_instance = nullptr;
    bool m_running = false;
};

} // namespace folyant::gs
