#include "interpreter/PostScriptFeed.h"

#include "interpreter/PageStamp.h"
#include "interpreter/PostScriptString.h"
#include "platform/FileIo.h"
#include "platform/Folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ghostscript/gserrors.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <utility>

namespace folyant::gs {

namespace {
constexpr std::string_view kPdfMagic = "%PDF-";
constexpr std::string_view kPagesMarker = "\nFolyantPages ";

// Whether the bytes begin a PDF: its header within the first kilobyte, as
// readers allow some bytes before it.
bool looksLikePdf(std::string_view head)
{
    return head.substr(0, 1024).find(kPdfMagic) != std::string_view::npos;
}

// Whether the bytes begin a PostScript job: "%!" after what print systems
// put before it (white space, a Ctrl-D, a printer-language escape and its
// command lines) or the binary header of an encapsulated file.
bool looksLikePostScript(std::string_view head)
{
    if (head.substr(0, 4) == "\xC5\xD0\xD3\xC6")
        return true;
    if (head.substr(0, 3) == "\xEF\xBB\xBF")
        head.remove_prefix(3);
    constexpr std::string_view kUniversalExit = "\x1B%-12345X";
    for (;;) {
        while (!head.empty()
            && (head.front() == '\x04' || std::isspace(static_cast<unsigned char>(head.front()))))
            head.remove_prefix(1);
        if (head.substr(0, kUniversalExit.size()) == kUniversalExit) {
            head.remove_prefix(kUniversalExit.size());
        } else if (head.substr(0, 4) == "@PJL") {
            const std::size_t end = head.find('\n');
            if (end == std::string_view::npos)
                return false;
            head.remove_prefix(end + 1);
        } else {
            return head.substr(0, 2) == "%!";
        }
    }
}

// The count of "%%Pages: N" in a DSC comment block; -1 for "(atend)".
std::optional<int> pagesComment(std::string_view text)
{
    constexpr std::string_view kPages = "\n%%Pages:";
    const std::size_t at = text.rfind(kPages);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::string_view value = text.substr(at + kPages.size());
    value = value.substr(0, value.find_first_of("\r\n"));
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    if (value.substr(0, 7) == "(atend)")
        return -1;
    int pages = 0;
    std::size_t digits = 0;
    for (; digits < value.size() && digits < 7 && std::isdigit(static_cast<unsigned char>(value[digits]));
         ++digits)
        pages = pages * 10 + (value[digits] - '0');
    if (digits == 0)
        return std::nullopt;
    return pages;
}

// A name no job can guess, for the run's own definitions.
std::string secretToken()
{
    std::random_device random;
    char text[32];
    std::snprintf(text, sizeof text, "Fv%08x%08x", random(), random());
    return text;
}

constexpr std::size_t kTailBytes = 4096;
} // namespace

PostScriptFeed::PostScriptFeed()
    : m_buffer(kChunkBytes)
{
}

PostScriptFeed::~PostScriptFeed()
{
    closeInput();
    dropPdfRead();
}

bool PostScriptFeed::openSource(const std::string& path)
{
    closeInput();
    dropPdfRead();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat info { };
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return false;
    }
    m_input = fd;
    m_ownsInput = true;
    if (S_ISREG(info.st_mode)) {
        m_inputSize = static_cast<std::uint64_t>(info.st_size);
        char head[1024];
        const ssize_t got = ::pread(fd, head, sizeof head, 0);
        if (got > 0 && looksLikePdf(std::string_view(head, static_cast<std::size_t>(got)))) {
            m_mode = Mode::PdfPages;
            m_pdfPath = path;
        }
    }
    return true;
}

void PostScriptFeed::expectSource(const std::string& path)
{
    closeInput();
    dropPdfRead();
    m_pdfPath = path;
}

void PostScriptFeed::useStandardInput()
{
    closeInput();
    dropPdfRead();
    m_input = STDIN_FILENO;
    m_ownsInput = false;
    // What arrives is known only from its first bytes; the folder a PDF
    // would go to must be named to the interpreter when it starts.
    m_mode = Mode::Unknown;
    std::string pattern = folders::tempFolder() + "/folyant-pdf-XXXXXX";
    if (mkdtemp(pattern.data())) {
        m_pdfFolder = pattern;
        m_pdfPath = m_pdfFolder + "/job.pdf";
    }
    struct stat info { };
    if (::fstat(STDIN_FILENO, &info) == 0 && S_ISREG(info.st_mode)) {
        // A redirected file may be read from an offset already.
        const off_t at = ::lseek(STDIN_FILENO, 0, SEEK_CUR);
        m_inputSize = static_cast<std::uint64_t>(info.st_size - (at > 0 ? at : 0));
    }
}

std::vector<std::string> PostScriptFeed::scratchFolders() const
{
    std::vector<std::string> folders;
    for (std::string folder : {m_session.scratchFolder(), m_pdfFolder, m_pdfReadFolder})
        if (!folder.empty())
            folders.push_back(std::move(folder));
    return folders;
}

void PostScriptFeed::dropPdfRead()
{
    if (!m_pdfReadFolder.empty()) {
        ::unlink(m_pdfRead.c_str());
        ::rmdir(m_pdfReadFolder.c_str());
    }
    m_pdfReadFolder.clear();
    m_pdfRead.clear();
}

void PostScriptFeed::closeInput()
{
    if (m_input >= 0 && m_ownsInput)
        ::close(m_input);
    m_input = -1;
    m_ownsInput = false;
    m_inputSize.reset();
    if (m_spool >= 0)
        ::close(m_spool);
    m_spool = -1;
    if (!m_pdfFolder.empty()) {
        ::unlink(m_pdfPath.c_str());
        ::rmdir(m_pdfFolder.c_str());
    }
    m_pdfFolder.clear();
    m_pdfPath.clear();
    m_mode = Mode::PostScript;
    m_pages = -1;
    m_pagesDone = 0;
}

StartResult PostScriptFeed::start(const std::vector<std::string>& arguments)
{
    m_log.clear();
    m_bytesFed = 0;
    m_titleMark.clear();
    if (m_session.hasInstance())
        return {};
    m_failure = Failure::None;
    m_outputKept = false;
    m_errorCode = m_readError = 0;
    m_stampToken.clear();
    m_promisedPages.reset();
    m_pagesAtEnd = false;
    m_tail.clear();
    // Standard input that turns out to be a PDF needs its folder.
    if (m_mode == Mode::Unknown && m_pdfFolder.empty())
        return {StartResult::Outcome::NoScratchFolder};
    std::vector<std::string> granted = arguments;
    if (!m_pdfFolder.empty())
        granted.push_back("--permit-file-read=" + m_pdfFolder + "/");
    else if (!m_pdfPath.empty())
        granted.push_back("--permit-file-read=" + m_pdfPath);
    const StartResult result = m_session.start(granted);
    if (result.started())
        sendPostScript(kPrologue);
    return result;
}

void PostScriptFeed::sendPostScript(std::string_view text)
{
    m_session.send(text);
}

void PostScriptFeed::sendPageStamp(const std::string& libFolder)
{
    if (!m_session.isRunning())
        return;
    m_stampToken = secretToken();
    sendPostScript(protectedStampProcedure(stampPathFor(libFolder), m_stampToken));
}

PostScriptFeed::Step PostScriptFeed::feedStep(const std::string& outputPath)
{
    if (!m_session.hasInstance())
        return Step::Idle;
    if (m_mode == Mode::PdfPages)
        return pdfStep(outputPath);

    ssize_t got = -1;
    if (m_input >= 0) {
        got = io::read(m_input, m_buffer.data(), m_buffer.size());
        if (got < 0 && errno == EINTR)
            return Step::Interrupted;
    }
    if (got < 0) {
        // What could not be read is missing from the PDF, like a cut-off job.
        m_readError = m_input >= 0 ? errno : EBADF;
        return fail(Failure::ReadError, outputPath, m_bytesFed > 0);
    }
    if (got > 0 && m_mode == Mode::Unknown)
        m_mode = looksLikePdf(std::string_view(m_buffer.data(), static_cast<std::size_t>(got))) && m_spool < 0
            ? Mode::Spooling
            : Mode::PostScript;
    if (m_mode == Mode::Spooling) {
        if (m_spool < 0)
            m_spool = ::open(m_pdfPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (got > 0) {
            for (ssize_t done = 0; done < got;) {
                const ssize_t put = m_spool < 0
                    ? -1
                    : io::write(m_spool, m_buffer.data() + done, static_cast<std::size_t>(got - done));
                if (put < 0 && errno == EINTR)
                    continue;
                if (put < 0)
                    return fail(Failure::SpoolFailed, outputPath);
                done += put;
            }
            m_bytesFed += got;
            return Step::Fed;
        }
        if (m_spool < 0 || ::close(m_spool) != 0) {
            m_spool = -1;
            return fail(Failure::SpoolFailed, outputPath);
        }
        m_spool = -1;
        m_mode = Mode::PdfPages;
        return pdfStep(outputPath);
    }
    return postScriptStep(outputPath, got);
}

PostScriptFeed::Step PostScriptFeed::postScriptStep(const std::string& outputPath, ssize_t got)
{
    if (got == 0)
        return m_bytesFed == 0 ? fail(Failure::EmptyInput, outputPath) : endRun(outputPath);

    const std::string_view chunk(m_buffer.data(), static_cast<std::size_t>(got));
    if (m_bytesFed == 0) {
        // Random bytes would come out as a blank page that looks converted.
        if (!looksLikePostScript(chunk))
            return fail(Failure::NotPostScript, outputPath);
        m_titleMark = titlePdfmarkFor(chunk);
        const std::size_t comments = chunk.find("\n%%EndComments");
        if (const auto pages = pagesComment(chunk.substr(0, comments))) {
            m_pagesAtEnd = *pages < 0;
            if (!m_pagesAtEnd)
                m_promisedPages = *pages;
        }
    }
    m_bytesFed += got;
    if (m_pagesAtEnd) {
        m_tail.append(chunk.substr(chunk.size() > kTailBytes ? chunk.size() - kTailBytes : 0));
        if (m_tail.size() > kTailBytes)
            m_tail.erase(0, m_tail.size() - kTailBytes);
    }
    const int code = m_session.send(chunk);
    if (!m_session.isRunning() && (code == gs_error_Quit || code == gs_error_InterpreterExit)) {
        // Our "quit" ends nothing; the interpreter's own, taken round it,
        // would leave the stamp unchecked.
        if (!m_stampToken.empty())
            return fail(Failure::StampRemoved, outputPath);
        return endRun(outputPath);
    }
    if (code == gs_error_VMerror)
        return fail(Failure::OutOfMemory, outputPath);
    if (code < 0) {
        m_errorCode = code;
        return fail(Failure::PostScriptError, outputPath, true);
    }
    return Step::Fed;
}

PostScriptFeed::Step PostScriptFeed::endRun(const std::string& outputPath)
{
    // Standard input's copy outlives the input: the repairs of what the
    // interpreter wrote read it again.
    if (m_mode == Mode::PdfPages) {
        m_pdfRead = m_pdfPath;
        m_pdfReadFolder = std::exchange(m_pdfFolder, {});
    }
    closeInput();
    if (m_pagesAtEnd) {
        const std::size_t trailer = m_tail.rfind("%%Trailer");
        if (const auto pages
            = trailer == std::string::npos ? std::nullopt : pagesComment(m_tail.substr(trailer));
            pages && *pages >= 0)
            m_promisedPages = *pages;
    }
    // Sent last, so that it takes the place of the title the header gave.
    if (!m_titleMark.empty())
        m_session.send(m_titleMark);
    if (!m_stampToken.empty() && m_session.isRunning() && m_session.send(stampCheck(m_stampToken)) < 0)
        return fail(Failure::StampRemoved, outputPath);
    if (const int code = m_session.finish(); code < 0) {
        // Input that ends inside a string or procedure: a job cut short.
        m_errorCode = code;
        m_failure = Failure::PostScriptError;
        m_outputKept = true;
        return Step::Failed;
    }
    return Step::InputEnded;
}

PostScriptFeed::Step PostScriptFeed::pdfStep(const std::string& outputPath)
{
    if (m_pages < 0) {
        if (m_needsPassword && m_needsPassword(m_pdfPath))
            return fail(Failure::PdfProtected, outputPath);
        // The page count comes back through the log, the interpreter's only
        // way of answering; without it the PDF could not be opened.
        const std::size_t logged = m_log.text().size();
        m_session.send(
            postScriptString(m_pdfPath) + " (r) file runpdfbegin (\\nFolyantPages ) print pdfpagecount =\n");
        const std::string answer = m_log.text().substr(logged);
        const std::size_t marker = answer.find(kPagesMarker.substr(1));
        m_pages
            = marker == std::string::npos ? 0 : std::atoi(answer.c_str() + marker + kPagesMarker.size() - 1);
        if (m_pages <= 0)
            return fail(Failure::PdfUnreadable, outputPath);
        return Step::Fed;
    }
    if (m_pagesDone < m_pages) {
        ++m_pagesDone;
        const int code = m_session.send(std::to_string(m_pagesDone) + " pdfgetpage pdfshowpage\n");
        if (code == gs_error_VMerror)
            return fail(Failure::OutOfMemory, outputPath);
        if (code < 0 || !m_session.isRunning())
            return fail(Failure::PdfUnreadable, outputPath);
        if (m_inputSize)
            m_bytesFed = static_cast<std::int64_t>(
                *m_inputSize * static_cast<std::uint64_t>(m_pagesDone) / static_cast<std::uint64_t>(m_pages));
        return Step::Fed;
    }
    m_session.send("runpdfend\n");
    return endRun(outputPath);
}

PostScriptFeed::Step PostScriptFeed::fail(Failure failure, const std::string& outputPath, bool keepOutput)
{
    m_failure = failure;
    if (keepOutput && m_session.isRunning()) {
        closeInput();
        // After an error the interpreter takes commands only in a sequence
        // of their own.
        m_session.restart();
        if (!m_stampToken.empty() && m_session.send(stampCheck(m_stampToken)) < 0) {
            m_failure = Failure::StampRemoved;
            cancel(outputPath);
            return Step::Failed;
        }
        m_session.finish();
        m_outputKept = true;
        return Step::Failed;
    }
    cancel(outputPath);
    return Step::Failed;
}

bool PostScriptFeed::cancel(const std::string& outputPath)
{
    if (!m_session.hasInstance())
        return false;
    closeInput();
    // Only an interpreter that took its arguments has opened the output: a
    // refused one leaves whatever lies there, a PDF from before included.
    const bool wrote = m_session.isRunning();
    m_session.abort();
    if (wrote && !outputPath.empty())
        ::unlink(outputPath.c_str());
    return true;
}

std::string PostScriptFeed::amountText() const
{
    return std::to_string(m_bytesFed / 1024);
}

std::optional<int> PostScriptFeed::progressPosition() const
{
    if (m_mode == Mode::PdfPages && m_pages > 0)
        return m_pagesDone * kProgressRange / m_pages;
    if (!m_inputSize || *m_inputSize == 0)
        return std::nullopt;
    const double share = static_cast<double>(m_bytesFed) / static_cast<double>(*m_inputSize);
    const double position = share * kProgressRange;
    return position >= kProgressRange ? kProgressRange : static_cast<int>(position);
}

} // namespace folyant::gs
