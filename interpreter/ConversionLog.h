#pragma once

#include <array>
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
    // Whether the interpreter reported running out of memory (a VMerror),
    // kept or not: the pages after it are missing from the PDF.
    bool ranOutOfMemory() const { return m_outOfMemory; }

    // False from an append until the view has been refreshed.
    bool shown() const { return m_shown; }
    void markShown() { m_shown = true; }

private:
    void noteOutOfMemory(std::string_view text) noexcept;

    std::size_t m_limit;
    std::string m_text;
    std::size_t m_dropped = 0;
    std::array<char, 8> m_recent{}; // the end of the text before, for a word cut in two
    std::size_t m_recentSize = 0;
    bool m_outOfMemory = false;
    bool m_shown = true;
};

} // namespace folyant::gs
