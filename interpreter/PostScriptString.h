#pragma once

#include <string>
#include <string_view>

namespace folyant::gs {

// text as a PostScript string literal, parentheses included, that reads back
// as exactly these bytes: backslashes and parentheses are escaped and control
// bytes written as octal escapes, so that no file name or title can end the
// string early and run as code. Bytes above 0x7f (UTF-8 names) stay as they are.
std::string postScriptString(std::string_view text);

} // namespace folyant::gs
