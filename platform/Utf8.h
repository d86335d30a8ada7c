#pragma once

#include <cstddef>
#include <string>
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

// Decodes the character that starts at text[at] into out and moves at past
// it; false, with neither changed, where sequenceLength finds no character.
inline bool decode(std::string_view text, std::size_t& at, char32_t& out)
{
    const std::size_t length = sequenceLength(text, at);
    if (length == 0)
        return false;
    const auto lead = static_cast<unsigned char>(text[at]);
    char32_t value = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i)
        value = (value << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3Fu);
    at += length;
    out = value;
    return true;
}

// Appends the UTF-8 form of a code point (up to U+10FFFF).
inline void append(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace folyant::utf8
