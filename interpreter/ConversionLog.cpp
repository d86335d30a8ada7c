#include "interpreter/ConversionLog.h"

#include <algorithm>
#include <new>

namespace folyant::gs {

namespace {
// Both the error handler of a job server ("%%[ Error: VMerror; ...") and the
// ordinary one ("Error: /VMerror in ...") name it so.
constexpr std::string_view kVmError = "VMerror";
} // namespace

void ConversionLog::append(std::string_view text) noexcept
{
    if (text.empty())
        return;
    m_shown = false;
    if (!m_outOfMemory)
        noteOutOfMemory(text);
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (m_text.size() + 2 > m_limit) {
            m_dropped += text.size() - at;
            return;
        }
        try {
            if (c == '\n')
                m_text += '\r';
            m_text += c;
        } catch (const std::bad_alloc&) {
            // The job took all the memory there is; the log is the least of it.
            m_outOfMemory = true;
            m_dropped += text.size() - at;
            return;
        }
    }
}

void ConversionLog::noteOutOfMemory(std::string_view text) noexcept
{
    // Looked for without allocating: by then there may be nothing left to
    // allocate. The word may begin in the text before: the end of that text
    // and the beginning of this one are searched together.
    constexpr std::size_t kKeep = kVmError.size() - 1;
    static_assert(kKeep <= std::tuple_size_v<decltype(m_recent)>);
    std::array<char, 2 * kKeep> seam{};
    std::copy_n(m_recent.begin(), m_recentSize, seam.begin());
    const std::size_t head = std::min(text.size(), kKeep);
    std::copy_n(text.begin(), head, seam.begin() + static_cast<std::ptrdiff_t>(m_recentSize));
    const std::string_view joined(seam.data(), m_recentSize + head);
    if (joined.find(kVmError) != std::string_view::npos || text.find(kVmError) != std::string_view::npos)
        m_outOfMemory = true;
    // Keep the last bytes seen, for the next piece.
    const std::string_view last = text.size() >= kKeep
        ? text.substr(text.size() - kKeep)
        : joined.substr(joined.size() - std::min(joined.size(), kKeep));
    std::copy(last.begin(), last.end(), m_recent.begin());
    m_recentSize = last.size();
}

void ConversionLog::clear()
{
    m_text.clear();
    m_dropped = 0;
    m_recentSize = 0;
    m_outOfMemory = false;
    m_shown = false;
}

} // namespace folyant::gs
