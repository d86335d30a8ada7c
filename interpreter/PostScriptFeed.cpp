#include "interpreter/PostScriptFeed.h"

#include "interpreter/PageStamp.h"
#include "platform/Folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

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

// A path as a PostScript string literal.
std::string postScriptString(const std::string& text)
{
    std::string literal = "(";
    for (const char c : text) {
        if (c == '(' || c == ')' || c == '\\')
            literal += '\\';
        literal += c;
    }
    return literal + ")";
}
} // namespace

PostScriptFeed::PostScriptFeed()
    : m_buffer(kChunkBytes)
{
}

PostScriptFeed::~PostScriptFeed()
{
    closeInput();
}

bool PostScriptFeed::openSource(const std::string& path)
{
    closeInput();
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

void PostScriptFeed::useStandardInput()
{
    closeInput();
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
    for (std::string folder : {m_session.scratchFolder(), m_pdfFolder})
        if (!folder.empty())
            folders.push_back(std::move(folder));
    return folders;
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

int PostScriptFeed::start(const std::vector<std::string>& arguments)
{
    m_log.clear();
    m_bytesFed = 0;
    m_titleMark.clear();
    if (m_session.hasInstance())
        return 0;
    // Standard input that turns out to be a PDF needs its folder.
    if (m_mode == Mode::Unknown && m_pdfFolder.empty())
        return GhostscriptSession::kNoScratchFolder;
    std::vector<std::string> granted = arguments;
    if (!m_pdfFolder.empty())
        granted.push_back("--permit-file-read=" + m_pdfFolder + "/");
    else if (!m_pdfPath.empty())
        granted.push_back("--permit-file-read=" + m_pdfPath);
    const int code = m_session.start(granted);
    if (code < 0)
        return code;
    sendPostScript(kPrologue);
    return 0;
}

void PostScriptFeed::sendPostScript(std::string_view text)
{
    m_session.send(text);
}

void PostScriptFeed::sendPageStamp(const std::string& libFolder)
{
    sendPostScript(endPageProcedure(stampPathFor(libFolder)));
}

PostScriptFeed::Step PostScriptFeed::feedStep(const std::string& outputPath)
{
    if (!m_session.hasInstance())
        return Step::Idle;
    if (m_mode == Mode::PdfPages)
        return pdfStep(outputPath);

    ssize_t got = -1;
    if (m_input >= 0) {
        got = ::read(m_input, m_buffer.data(), m_buffer.size());
        if (got < 0 && errno == EINTR)
            return Step::Interrupted;
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
                    : ::write(m_spool, m_buffer.data() + done, static_cast<std::size_t>(got - done));
                if (put < 0 && errno == EINTR)
                    continue;
                if (put < 0)
                    return fail(outputPath);
                done += put;
            }
            m_bytesFed += got;
            return Step::Fed;
        }
        if (m_spool < 0 || ::close(m_spool) != 0) {
            m_spool = -1;
            return fail(outputPath);
        }
        m_spool = -1;
        m_mode = Mode::PdfPages;
        return pdfStep(outputPath);
    }
    if (got > 0) {
        if (m_bytesFed == 0)
            m_titleMark = titlePdfmarkFor(std::string_view(m_buffer.data(), static_cast<std::size_t>(got)));
        m_bytesFed += got;
        m_session.send(std::string_view(m_buffer.data(), static_cast<std::size_t>(got)));
        return Step::Fed;
    }

    closeInput();
    // Sent last, so that it takes the place of the title the header gave.
    if (!m_titleMark.empty())
        m_session.send(m_titleMark);
    m_session.finish();
    return Step::InputEnded;
}

PostScriptFeed::Step PostScriptFeed::pdfStep(const std::string& outputPath)
{
    if (m_pages < 0) {
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
            return fail(outputPath);
        return Step::Fed;
    }
    if (m_pagesDone < m_pages) {
        ++m_pagesDone;
        const int code = m_session.send(std::to_string(m_pagesDone) + " pdfgetpage pdfshowpage\n");
        if (code < 0 || !m_session.isRunning())
            return fail(outputPath);
        if (m_inputSize)
            m_bytesFed = static_cast<std::int64_t>(
                *m_inputSize * static_cast<std::uint64_t>(m_pagesDone) / static_cast<std::uint64_t>(m_pages));
        return Step::Fed;
    }
    m_session.send("runpdfend\n");
    closeInput();
    m_session.finish();
    return Step::InputEnded;
}

PostScriptFeed::Step PostScriptFeed::fail(const std::string& outputPath)
{
    m_failed = true;
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
