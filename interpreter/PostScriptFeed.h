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
        Failed, // a PDF that could not be read: the run was stopped, its output deleted
    };

    PostScriptFeed();
    ~PostScriptFeed();

    PostScriptFeed(const PostScriptFeed&) = delete;
    PostScriptFeed& operator=(const PostScriptFeed&) = delete;

    // Opens an existing file (not a folder) for reading. False when it cannot
    // be opened; the run then has no input. A PDF, known by its content, is
    // run page by page by the interpreter's PDF reader instead of being fed.
    bool openSource(const std::string& path);
    // Takes the process's standard input. A PDF arriving there is first
    // written into a private folder: the interpreter reads PDF from a file.
    void useStandardInput();
    // The private folders the run writes into (the interpreter's and standard
    // input's PDF's), for whoever must remove them when the process cannot.
    std::vector<std::string> scratchFolders() const;
    // Whether the input is a PDF (for standard input: once it has shown so).
    bool isPdf() const { return m_mode == Mode::PdfPages || m_mode == Mode::Spooling; }
    bool hasInput() const { return m_input >= 0; }
    // The input's size when it is a regular file.
    std::optional<std::uint64_t> inputSize() const { return m_inputSize; }

    // Clears the log and the count, then creates and initialises the
    // interpreter with the arguments and sends the prologue. 0 on success or
    // when an interpreter exists, -1 when none could be created,
    // GhostscriptSession::kNoScratchFolder when a private folder could not be
    // made, otherwise the interpreter's refusal code. SAFER stays on: reading is granted only
    // for the PDF being converted (or the private folder standard input's
    // PDF goes to).
    int start(const std::vector<std::string>& arguments);

    void sendPostScript(std::string_view text);
    void sendPageStamp(const std::string& libFolder);

    // One chunk of input (or one page of a PDF) to the interpreter, or the
    // end of the run. outputPath is deleted when a PDF fails.
    Step feedStep(const std::string& outputPath = {});

    // Stops a run without completing it and deletes what it wrote at
    // outputPath; an interpreter that refused its arguments wrote nothing, and
    // nothing is deleted. False when no interpreter existed.
    bool cancel(const std::string& outputPath);

    bool hasInterpreter() const { return m_session.hasInstance(); }
    // True once a PDF could not be converted.
    bool hasFailed() const { return m_failed; }
    std::int64_t bytesFed() const { return m_bytesFed; }
    // Kilobytes fed, in decimal, as the dialog shows them.
    std::string amountText() const;
    // Position on the progress scale, or nothing when the size is unknown.
    std::optional<int> progressPosition() const;

    ConversionLog& log() { return m_log; }
    const ConversionLog& log() const { return m_log; }

private:
    enum class Mode { PostScript, Unknown, Spooling, PdfPages };
    void closeInput();
    Step pdfStep(const std::string& outputPath);
    Step fail(const std::string& outputPath);

    ConversionLog m_log;
    GhostscriptSession m_session{&m_log};
    int m_input = -1;
    bool m_ownsInput = false;
    std::optional<std::uint64_t> m_inputSize;
    std::int64_t m_bytesFed = 0;
    std::vector<char> m_buffer;
    std::string m_titleMark;
    Mode m_mode = Mode::PostScript;
    std::string m_pdfPath; // the PDF the interpreter reads
    std::string m_pdfFolder; // the private folder of standard input's PDF
    int m_spool = -1; // where standard input's PDF is being written
    int m_pages = -1; // the PDF's pages, once opened
    int m_pagesDone = 0;
    bool m_failed = false;
};

} // namespace folyant::gs
