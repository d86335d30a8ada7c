#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folyant::converter {

// The number at the start of a text as the C library's atoi reads it: blanks
// skipped, an optional sign, decimal digits up to the first other character,
// 0 when there are none. Unlike atoi it is defined for every input: values
// beyond the range of int are clamped to it.
int leadingInt(std::string_view text);

// An unsigned decimal number as the whole text (blanks around it allowed).
std::optional<unsigned> parseUnsigned(const std::string& text);

} // namespace folyant::converter
