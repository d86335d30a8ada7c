#pragma once

#include <optional>
#include <string>
#include <string_view>

// Ghostscript 10.00 rewrites a PDF's ToUnicode entries that map one code to
// several UTF-16 units with every unit's two bytes swapped: a "fi" ligature
// then reads as two CJK characters, and no word with a ligature is found in
// the PDF. The repair puts the bytes back in order in the written PDF.
namespace folyant::gs {

// The CMap with the bytes of its destinations of more than one unit put back
// in order, where every unit reads as a Latin-1 character turned round;
// nothing when it holds no such destination.
std::optional<std::string> reorderToUnicodeUnits(std::string_view cmap);

enum class ToUnicodeRepair {
    Unchanged, // no ToUnicode needed it: the file is as it was
    Repaired, // the repaired CMaps were appended as an update
    Failed, // the update could not be written: the file is as it was
};

// Repairs every ToUnicode CMap of the PDF at path, which the interpreter
// linked in wrote from a PDF, in place, appending only the changed streams,
// so that a large PDF costs no more than its CMaps. With a release of the
// interpreter that writes them right, the file is left as it is.
ToUnicodeRepair repairToUnicode(const std::string& path);

} // namespace folyant::gs
