#include "interpreter/PostScriptFeed.h"

#include "interpreter/PageStamp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace folyant::gs {

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
    if (S_ISREG(info.st_mode))
        m_inputSize = static_cast<std::uint64_t>(info.st_size);
    return true;
}

void PostScriptFeed::useStandardInput()
{
    closeInput();
    m_input = STDIN_FILENO;
    m_ownsInput = false;
    struct stat info { };
    if (::fstat(STDIN_FILENO, &info) == 0 && S_ISREG(info.st_mode)) {
        // A redirected file may be read from an offset already.
        const off_t at = ::lseek(STDIN_FILENO, 0, SEEK_CUR);
        m_inputSize = static_cast<std::uint64_t>(info.st_size - (at > 0 ? at : 0));
    }
}

void PostScriptFeed::closeInput()
{
    if (m_input >= 0 && m_ownsInput)
        ::close(m_input);
    m_input = -1;
    m_ownsInput = false;
    m_inputSize.reset();
}

int PostScriptFeed::start(const std::vector<std::string>& arguments)
{
    m_log.clear();
    m_bytesFed = 0;
    m_titleMark.clear();
    if (m_session.hasInstance())
        return 0;
    const int code = m_session.start(arguments);
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

PostScriptFeed::Step PostScriptFeed::feedStep()
{
    if (!m_session.hasInstance())
        return Step::Idle;

    ssize_t got = -1;
    if (m_input >= 0) {
        got = ::read(m_input, m_buffer.data(), m_buffer.size());
        if (got < 0 && errno == EINTR)
            return Step::Interrupted;
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
    if (!m_inputSize || *m_inputSize == 0)
        return std::nullopt;
    const double share = static_cast<double>(m_bytesFed) / static_cast<double>(*m_inputSize);
    const double position = share * kProgressRange;
    return position >= kProgressRange ? kProgressRange : static_cast<int>(position);
}

} // namespace folyant::gs
