#include "interpreter/ConversionLog.h"

namespace folyant::gs {

void ConversionLog::append(std::string_view text)
{
    if (text.empty())
        return;
    m_shown = false;
    for (const char c : text) {
        if (m_text.size() + 2 > m_limit) {
            ++m_dropped;
            continue;
        }
        if (c == '\n')
            m_text += '\r';
        m_text += c;
    }
}

void ConversionLog::clear()
{
    m_text.clear();
    m_dropped = 0;
    m_shown = false;
}

} // namespace folyant::gs
