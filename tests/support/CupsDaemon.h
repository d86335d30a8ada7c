#pragma once

#include "tests/support/TestSupport.h"

#include <string>
#include <sys/types.h>

namespace folyant::test {

// A private cupsd for one test: its own ServerRoot, spool and log folders,
// a Unix socket, the system's filters and our backend in its ServerBin, and
// CUPS_SERVER pointing at it while it runs. No test touches the machine's
// own print system. Jobs are converted with the development installation,
// and their PDFs land in outputFolder().
class CupsDaemon {
public:
    // extraBackends: names of system backends to offer beside ours; charsets:
    // a file to take the place of the text filter's font mapping (pdf.utf-8).
    explicit CupsDaemon(const std::vector<std::string>& extraBackends = {}, const std::string& charsets = {});
    ~CupsDaemon();
    CupsDaemon(const CupsDaemon&) = delete;
    CupsDaemon& operator=(const CupsDaemon&) = delete;

    bool running() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }
    const std::string& socket() const { return m_socket; }
    std::string outputFolder() const { return m_root.file("out"); }
    std::string sysconf() const { return m_root.file("etc"); }
    // Where the backend looks for the users' runtime folders (in place of
    // /run/user), so that no test job reaches a real desktop agent.
    std::string runtimeRoot() const { return m_root.file("run"); }
    std::string errorLog() const;
    std::string ppdFile(const std::string& queue) const { return m_root.file("conf/ppd/" + queue + ".ppd"); }
    // Environment for the CUPS tools and our setup tools.
    Environment environment() const;

private:
    TempFolder m_root;
    std::string m_socket;
    std::string m_oldServer;
    pid_t m_pid = -1;
};

} // namespace folyant::test
