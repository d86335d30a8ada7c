#pragma once

#include "interpreter/ConversionLog.h"
#include "interpreter/GhostscriptSession.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
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
        InputEnded, // the whole input was converted; the interpreter was shut down
        Interrupted, // a signal cut the read short; nothing was fed
        Failed, // the run ended without converting all of it: failure() says why
    };

    // Why a run failed. The output is kept closed, with the pages made before
    // the failure, only where outputKept() says so; otherwise it was deleted.
    enum class Failure {
        None,
        EmptyInput, // nothing at all arrived
        NotPostScript, // neither PostScript nor PDF
        ReadError, // the input could not be read to its end: readError()
        PostScriptError, // the job stopped with an error: errorCode()
        OutOfMemory, // the interpreter ran out of the memory it may use
        StampRemoved, // the job switched the page stamp off
        PdfUnreadable, // a PDF damaged beyond reading, or one it cannot open
        PdfProtected, // a PDF that needs a password to be read
        SpoolFailed, // standard input's PDF could not be written down
    };

    PostScriptFeed();
    ~PostScriptFeed();

    PostScriptFeed(const PostScriptFeed&) = delete;
    PostScriptFeed& operator=(const PostScriptFeed&) = delete;

    // Opens an existing file (not a folder) for reading. False when it cannot
    // be opened; the run then has no input. A PDF, known by its content, is
    // run page by page by the interpreter's PDF reader instead of being fed.
    bool openSource(const std::string& path);
    // Names the file openSource will be given once it has been written, so
    // that an interpreter started before then may read it if it is a PDF.
    void expectSource(const std::string& path);
    // Asked about a PDF before it is run (true: it needs a password), by
    // whoever can tell without running it.
    void setPasswordCheck(std::function<bool(const std::string& pdfPath)> check)
    {
        m_needsPassword = std::move(check);
    }
    // Takes the process's standard input. A PDF arriving there is first
    // written into a private folder: the interpreter reads PDF from a file.
    void useStandardInput();
    // The private folders the run writes into (the interpreter's and standard
    // input's PDF's), for whoever must remove them when the process cannot.
    std::vector<std::string> scratchFolders() const;
    // Makes the interpreter's folder before start, so that it is among the
    // scratch folders while the interpreter starts.
    bool prepareScratchFolder() { return m_session.prepareScratchFolder(); }
    // Whether the input is a PDF (for standard input: once it has shown so).
    bool isPdf() const { return m_mode == Mode::PdfPages || m_mode == Mode::Spooling; }
    bool hasInput() const { return m_input >= 0; }
    // The PDF the last run read to its end (the file given, or standard
    // input's copy), for whoever repairs what the interpreter wrote from it;
    // empty when the input was no PDF. Standard input's copy stays until the
    // next input is named, or the feed ends.
    const std::string& pdfRead() const { return m_pdfRead; }
    // The input's size when it is a regular file.
    std::optional<std::uint64_t> inputSize() const { return m_inputSize; }

    // Clears the log and the count, then creates and initialises the
    // interpreter with the arguments and sends the prologue. 0 on success or
    // when an interpreter exists, -1 when none could be created,
    // GhostscriptSession::kNoScratchFolder when a private folder could not be
    // made, otherwise the interpreter's refusal code. SAFER stays on: reading is granted only
    // for the PDF being converted (or the private folder standard input's
    // PDF goes to).
    StartResult start(const std::vector<std::string>& arguments);

    void sendPostScript(std::string_view text);
    // Installs the stamp so that the job cannot take it off; whether it
    // stayed on is checked when the input ends.
    void sendPageStamp(const std::string& libFolder);

    // One chunk of input (or one page of a PDF) to the interpreter, or the
    // end of the run. outputPath is deleted when a PDF fails.
    Step feedStep(const std::string& outputPath = {});

    // Stops a run without completing it and deletes what it wrote at
    // outputPath; an interpreter that refused its arguments wrote nothing, and
    // nothing is deleted. False when no interpreter existed.
    bool cancel(const std::string& outputPath);

    bool hasInterpreter() const { return m_session.hasInstance(); }
    bool hasFailed() const { return m_failure != Failure::None; }
    Failure failure() const { return m_failure; }
    // Whether the failed run's output was closed with the pages made so far.
    bool outputKept() const { return m_outputKept; }
    // The interpreter's code of a PostScript error (see gs::errorName).
    int errorCode() const { return m_errorCode; }
    // The errno of a failed read.
    int readError() const { return m_readError; }
    // The page count a job's header promises ("%%Pages: N", or at the end
    // for "(atend)"), once the input has ended.
    std::optional<int> promisedPages() const { return m_promisedPages; }
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
    void dropPdfRead();
    Step postScriptStep(const std::string& outputPath, ssize_t got);
    Step pdfStep(const std::string& outputPath);
    // Ends a failed run: kept, the interpreter closes the output with the
    // pages made so far; otherwise the output is deleted.
    Step fail(Failure failure, const std::string& outputPath, bool keepOutput = false);
    // Closes the run once its input is used up, checking that the stamp
    // stayed on and that the interpreter could end it.
    Step endRun(const std::string& outputPath);
    void notePageComments(std::string_view chunk);

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
    std::string m_pdfRead; // the PDF of the run that ended, see pdfRead()
    std::string m_pdfReadFolder; // its private folder, when it is standard input's
    int m_pages = -1; // the PDF's pages, once opened
    int m_pagesDone = 0;
    Failure m_failure = Failure::None;
    bool m_outputKept = false;
    int m_errorCode = 0;
    int m_readError = 0;
    std::string m_stampToken; // names the stamp's check; empty without a stamp
    std::optional<int> m_promisedPages;
    std::function<bool(const std::string&)> m_needsPassword;
    bool m_pagesAtEnd = false; // "%%Pages: (atend)": the count is in the trailer
    std::string m_tail; // the input's last bytes, for a trailer's page count
};

} // namespace folyant::gs
