#pragma once

#include "interpreter/ConversionLog.h"
#include "interpreter/GhostscriptSession.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace folyant::gs {

// One conversion of a PostScript stream by the interpreter, fed in chunks of
// input by whoever drives it (a dialog's timer, or a loop that keeps a window
// painted between chunks). Knows nothing of windows.
class PostScriptFeed {
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

    PostScriptFeed();
    ~PostScriptFeed();

    PostScriptFeed(const PostScriptFeed&) = delete;
    PostScriptFeed& operator=(const PostScriptFeed&) = delete;

    // Opens an existing file (not a folder) for reading. False when it cannot
    // be opened; the run then has no input.
    bool openSource(const std::string& path);
    // Takes the process's standard input.
    void useStandardInput();
    bool hasInput() const { return m_input >= 0; }
    // The input's size when it is a regular file.
    std::optional<std::uint64_t> inputSize() const { return m_inputSize; }

    // Clears the log and the count, then creates and initialises the
    // interpreter with the arguments and sends the prologue. 0 on success or
    // when an interpreter exists, -1 when none could be created, otherwise
    // the interpreter's refusal code.
    int start(const std::vector<std::string>& arguments);

    void sendPostScript(std::string_view text);
    void sendPageStamp(const std::string& libFolder);

    // One chunk of input to the interpreter, or the end of the run.
    Step feedStep();

    // Stops a run without completing it and deletes what it wrote at
    // outputPath; an interpreter that refused its arguments wrote nothing, and
    // nothing is deleted. False when no interpreter existed.
    bool cancel(const std::string& outputPath);

    bool hasInterpreter() const { return m_session.hasInstance(); }
    std::int64_t bytesFed() const { return m_bytesFed; }
    // Kilobytes fed, in decimal, as the dialog shows them.
    std::string amountText() const;
    // Position on the progress scale, or nothing when the size is unknown.
    std::optional<int> progressPosition() const;

    ConversionLog& log() { return m_log; }
    const ConversionLog& log() const { return m_log; }

private:
    void closeInput();

    ConversionLog m_log;
    GhostscriptSession m_session{&m_log};
    int m_input = -1;
    bool m_ownsInput = false;
    std::optional<std::uint64_t> m_inputSize;
    std::int64_t m_bytesFed = 0;
    std::vector<char> m_buffer;
    std::string m_titleMark;
};

} // namespace folyant::gs
