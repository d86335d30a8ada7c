#pragma once

#include "platform/Process.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace folyant {

// Turns SIGTERM, SIGINT, SIGHUP and the time limit's SIGALRM into a request that the
// run polls (wasRequested) or is told of (setRequestHandler). When the run
// does not acknowledge within the grace period (it may be stuck inside
// the interpreter on a job that never ends), the watch removes the file named
// by setPartialOutput() and ends the process itself, so that a cancelled print
// job never hangs and never leaves a partial PDF. One watch per process.
class TerminationWatch final {
public:
    explicit TerminationWatch(int graceMilliseconds = 3000);
    ~TerminationWatch();

    TerminationWatch(const TerminationWatch&) = delete;
    TerminationWatch& operator=(const TerminationWatch&) = delete;

    // True once a termination signal has arrived; safe from any thread.
    bool wasRequested() const { return requestedInProcess(); }
    // The same for code that has no watch at hand, such as a message box.
    static bool requestedInProcess();
    // True when that was the end of the run's time limit (SIGALRM).
    bool wasTimeLimit() const;

    // The file to remove if the process has to end without the GUI thread;
    // empty for none.
    void setPartialOutput(const std::string& path);
    // The private folders to remove, with all they hold, in the same case.
    // (At most two; the interpreter makes none inside them.)
    void setScratchFolders(const std::vector<std::string>& folders);

    // Called on the watch's own thread when a request arrives; a window
    // passes it on to its own thread. Empty: none.
    void setRequestHandler(std::function<void()> handler);

    // The run has dealt with the request and is about to end.
    void acknowledge();

private:
    void watch();

    int m_grace;
    process::SignalCatch m_signals;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_acknowledgedChanged;
    bool m_acknowledged = false;
    std::function<void()> m_requestHandler;
};

} // namespace folyant
