#pragma once

#include <cstddef>
#include <string_view>

namespace folyant::utf8 {

// Bytes of the UTF-8 character that starts at text[at], or 0 when the bytes
// there do not form one.
inline std::size_t sequenceLength(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1
        : (lead >> 5) == 0x6               ? 2
        : (lead >> 4) == 0xE               ? 3
        : (lead >> 3) == 0x1E              ? 4
                                           : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0u) != 0x80u)
            return 0;
    return length;
}

} // namespace folyant::utf8
