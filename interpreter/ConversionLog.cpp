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
    // allocate. The word may begin in the text before.
    static_assert(kVmError.size() <= std::tuple_size_v<decltype(m_recent)> + 1);
    for (std::size_t carried = 1; carried <= m_recentSize; ++carried) {
        const std::string_view tail(m_recent.data() + m_recentSize - carried, carried);
        if (kVmError.substr(0, carried) == tail
            && text.substr(0, kVmError.size() - carried) == kVmError.substr(carried))
            m_outOfMemory = true;
    }
    if (text.find(kVmError) != std::string_view::npos)
        m_outOfMemory = true;
    // Keep the last bytes seen, for the next piece.
    const std::size_t keep = kVmError.size() - 1;
    if (text.size() >= keep) {
        std::copy(text.end() - static_cast<std::ptrdiff_t>(keep), text.end(), m_recent.begin());
        m_recentSize = keep;
    } else {
        const std::size_t fromBefore = std::min(m_recentSize, keep - text.size());
        std::copy(m_recent.begin() + static_cast<std::ptrdiff_t>(m_recentSize - fromBefore),
            m_recent.begin() + static_cast<std::ptrdiff_t>(m_recentSize), m_recent.begin());
        std::copy(text.begin(), text.end(), m_recent.begin() + static_cast<std::ptrdiff_t>(fromBefore));
        m_recentSize = fromBefore + text.size();
    }
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
