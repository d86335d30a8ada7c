#pragma once

#include <cstddef>
#include <string_view>

namespace folyant::utf8 {

// Bytes of the UTF-8 character that starts at text[at], or 0 when the bytes
// there do not form one. Only the shortest form of a character counts:
// overlong forms (C0 AF for "/"), surrogates and code points beyond U+10FFFF
// are no characters, as no other reader may take them for one.
inline std::size_t sequenceLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    const std::size_t length = lead < 0x80 ? 1
        : lead >= 0xC2 && lead <= 0xDF     ? 2
        : (lead >> 4) == 0xE               ? 3
        : lead >= 0xF0 && lead <= 0xF4     ? 4
                                           : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((byte(i) & 0xC0u) != 0x80u)
            return 0;
    // The second byte's range rules out what the lead alone cannot.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) > 0x9F)
        || (lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) > 0x8F))
        return 0;
    return length;
}

} // namespace folyant::utf8
