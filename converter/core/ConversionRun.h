#pragma once

#include "converter/core/ConversionJob.h"
#include "interpreter/PostScriptFeed.h"

#include <string_view>

namespace folyant {
struct Platform;
class TerminationWatch;
} // namespace folyant

namespace folyant::converter {

// What a run shows as it goes. The dialog shows all of it; a run that nobody
// watches shows nothing.
class RunView {
public:
    virtual ~RunView() = default;
    // The job's values or the feed's amount and log have changed.
    virtual void showState() { }
    // Between 0 and PostScriptFeed::kProgressRange.
    virtual void showProgress(int /*position*/) { }
    // The interpreter takes input (true) or no longer does: what can be cancelled.
    virtual void showConverting(bool /*converting*/) { }
    // A chunk has gone in: the run is not to be left until it ends.
    virtual void showFeeding() { }
    // The chain has run and the job's window is to close.
    virtual void finish() { }
    // The mail program runs (true) or has returned: the window waits for it.
    virtual void showMailProgram(bool /*running*/) { }
};

// One conversion and the chain of steps after it (protection, mail, opening),
// the same for the dialog and for a run without one. The dialog calls
// feedStep() whenever it is idle; runToEnd() calls it in a loop.
class ConversionRun {
public:
    ConversionRun(ConversionJob job, Platform& platform, RunView& view);

    // Reads the settings, opens the input and starts the conversion.
    void begin();
    // 0 when the interpreter runs; else the run has failed and says why.
    int startInterpreter();
    void sendPostScript(std::string_view text) { m_feed.sendPostScript(text); }
    // One chunk of input, or the end of the input and the chain.
    void feedStep();
    // Stops the conversion and removes its partial PDF.
    void cancel();

    // Ends the run and the process's run when it is asked to terminate.
    void setTerminationWatch(TerminationWatch* watch) { m_termination = watch; }
    TerminationWatch* terminationWatch() const { return m_termination; }

    const ConversionJob& job() const { return m_job; }
    ConversionJob& job() { return m_job; }
    const gs::PostScriptFeed& feed() const { return m_feed; }
    gs::PostScriptFeed& feed() { return m_feed; }
    // True from a started interpreter until the input has ended or the run
    // was cancelled.
    bool isFeeding() const { return m_feeding; }
    // True once the run's PDF was not written or a step it was asked for
    // (the protection) failed.
    bool hasFailed() const { return m_failed; }
    // True when the run failed and kept what it made as an incomplete PDF.
    bool keptIncomplete() const { return m_incomplete; }

private:
    // The run did not produce its PDF: the message, and nothing of the chain.
    void failRun(int message);
    void failRun(const std::string& text);
    // The same for a run that nobody watches; in the dialog the user acts.
    void failUnattendedRun(int message);
    void runPostProcessing();
    // The whole input was converted: the PDF takes its name, protected first
    // when that was asked for.
    void completeOutput();
    // The run failed: why, in words, and what was kept of it.
    void failedOutput();
    // Keeps the pages made under a name that says they are not the whole job.
    void keepIncomplete(const std::string& reason);
    // Whether the PDF to add the job to can take it: not protected, readable.
    bool checkAppendTarget();
    // Makes the working file the PDF added to followed by the job's pages;
    // false, with nothing left, when it could not.
    bool appendToExisting();
    // Protects the working file; false when it stays open.
    bool protectWorkingFile();
    void removeWorkingFile();
    void mailOutput();

    ConversionJob m_job;
    Platform& m_platform;
    RunView& m_view;
    gs::PostScriptFeed m_feed;
    // Where the interpreter writes until the PDF is finished.
    std::string m_workingPath;
    TerminationWatch* m_termination = nullptr;
    bool m_feeding = false;
    bool m_failed = false;
    bool m_incomplete = false;
    bool m_pdfInput = false;
};

// Runs a job that nobody watches to its end: until its input ends, it fails
// or the process is asked to terminate.
void runToEnd(ConversionRun& run);

} // namespace folyant::converter
