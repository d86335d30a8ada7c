#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace folyant::gs {

// Everything the interpreter printed since the run began, with each line feed
// stored as carriage return plus line feed. A job that prints without end
// cannot exhaust memory: past the limit, further text is counted, not kept.
class ConversionLog {
public:
    static constexpr std::size_t kDefaultLimit = 4u << 20;

    explicit ConversionLog(std::size_t limitBytes = kDefaultLimit)
        : m_limit(limitBytes)
    {
    }

    // Never throws: it is called from inside the interpreter. Text that
    // cannot be stored for want of memory is counted as dropped.
    void append(std::string_view text) noexcept;
    void clear();

    const std::string& text() const { return m_text; }
    std::size_t droppedBytes() const { return m_dropped; }
    // Whether text was lost because no memory was left to keep it: the
    // interpreter is short of memory too, whatever it answers.
    bool ranOutOfMemory() const { return m_outOfMemory; }

    // False from an append until the view has been refreshed.
    bool shown() const { return m_shown; }
    void markShown() { m_shown = true; }

private:
    std::size_t m_limit;
    std::string m_text;
    std::size_t m_dropped = 0;
    bool m_outOfMemory = false;
    bool m_shown = true;
};

} // namespace folyant::gs
