#pragma once

#include "ConversionLog.h"
#include "GhostscriptSession.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace folyant {

struct ConversionJob;

// One conversion of a PostScript stream into the job's PDF, fed in chunks by
// whoever drives it (the dialog's timer). Knows nothing of windows.
class ConversionRun {
public:
    // The largest chunk handed to the interpreter at once.
    static constexpr std::size_t kChunkBytes = 65535;
    // The progress scale: 300 is the whole input.
    static constexpr int kProgressRange = 300;

    enum class Step {
        Idle, // no interpreter: nothing was fed
        Fed, // one chunk went to the interpreter
        InputEnded, // the input is exhausted; the interpreter was shut down
        Interrupted, // a signal cut the read short; nothing was fed
    };

    ConversionRun();
    ~ConversionRun();

    ConversionRun(const ConversionRun&) = delete;
    ConversionRun& operator=(const ConversionRun&) = delete;

    // Opens an existing file (not a folder) for reading. False when it cannot
    // be opened; the run then has no input.
    bool openSource(const std::string& path);
    // Takes the process's standard input.
    void useStandardInput();
    bool hasInput() const { return m_input >= 0; }
    // The input's size when it is a regular file.
    std::optional<std::uint64_t> inputSize() const { return m_inputSize; }

    // Clears the log and the count, then creates and initialises the
    // interpreter for the job and sends the prologue. 0 on success or when
    // an interpreter exists, -1 when none could be created, otherwise the
    // interpreter's refusal code.
    int startInterpreter(const ConversionJob& job);

    void sendPostScript(std::string_view text);
    void sendPageStamp(const std::string& libFolder);

    // One chunk of input to the interpreter, or the end of the run.
    Step feedStep();

    // Stops a run without completing it and deletes what it wrote at
    // outputPath. False when no interpreter existed (nothing is deleted).
    bool cancel(const std::string& outputPath);

    bool hasInterpreter() const { return m_session.hasInstance(); }
    std::int64_t bytesFed() const { return m_bytesFed; }
    // Kilobytes fed, in decimal, as the dialog shows them.
    std::string amountText() const;
    // Position on the progress scale, or nothing when the size is unknown.
    std::optional<int> progressPosition() const;

    gs::ConversionLog& log() { return m_log; }
    const gs::ConversionLog& log() const { return m_log; }

private:
    void closeInput();

    gs::ConversionLog m_log;
    gs::GhostscriptSession m_session{&m_log};
    int m_input = -1;
    bool m_ownsInput = false;
    std::optional<std::uint64_t> m_inputSize;
    std::int64_t m_bytesFed = 0;
    std::vector<char> m_buffer;
};

} // namespace folyant
