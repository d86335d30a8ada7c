#pragma once

#include <string>
#include <string_view>

namespace folyant::gs {

// Sent first in every run: makes "=" print and flush at once, so that what a
// job prints reaches the conversion log.
extern const std::string_view kPrologue;

// "LIB/zev.ps" with backslashes turned into forward slashes.
std::string stampPathFor(std::string_view libFolder);

// The page device's EndPage procedure that runs the stamp file on every page
// ended by showpage or copypage and emits nothing when the device goes away.
// The path is escaped for a PostScript string, so that a folder name with an
// unbalanced parenthesis cannot break the procedure.
std::string endPageProcedure(std::string_view stampPath);

} // namespace folyant::gs
