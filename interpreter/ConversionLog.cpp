#include "interpreter/ConversionLog.h"

#include <new>

namespace folyant::gs {

void ConversionLog::append(std::string_view text) noexcept
{
    if (text.empty())
        return;
    m_shown = false;
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

void ConversionLog::clear()
{
    m_text.clear();
    m_dropped = 0;
    m_outOfMemory = false;
    m_shown = false;
}

} // namespace folyant::gs
