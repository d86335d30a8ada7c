#include "interpreter/PostScriptString.h"

namespace folyant::gs {

std::string postScriptString(std::string_view text)
{
    std::string literal;
    literal.reserve(text.size() + 2);
    literal += '(';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '(' || c == ')' || c == '\\') {
            literal += '\\';
            literal += c;
        } else if (byte < 0x20 || byte == 0x7f) {
            literal += '\\';
            literal += static_cast<char>('0' + (byte >> 6));
            literal += static_cast<char>('0' + ((byte >> 3) & 7));
            literal += static_cast<char>('0' + (byte & 7));
        } else {
            literal += c;
        }
    }
    literal += ')';
    return literal;
}

} // namespace folyant::gs
