#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>

// Ghostscript 10.00 rewrites a PDF's ToUnicode entries that map one code to
// several UTF-16 units with every unit's two bytes swapped: a "fi" ligature
// then reads as two CJK characters, and no word with a ligature is found in
// the PDF. A character outside the BMP (a surrogate pair) loses the first
// byte of its second unit. The repair puts the entries right in the written
// PDF.
namespace folyant::gs {

// The CMap with the bytes of its destinations of more than one unit put back
// in order, where every unit reads as a Latin-1 character turned round, and
// its broken surrogate pairs restored where exactly one of pairsOfInput (the
// input's, as surrogatePairsIn gives them) fits; nothing when no destination
// changed.
std::optional<std::string> reorderToUnicodeUnits(
    std::string_view cmap, const std::set<std::string>& pairsOfInput = {});

// The surrogate pairs among the CMap's destinations, as eight hex digits in
// capitals.
std::set<std::string> surrogatePairsIn(std::string_view cmap);

enum class ToUnicodeRepair {
    Unchanged, // no ToUnicode needed it: the file is as it was
    Repaired, // the repaired CMaps were appended as an update
    Failed, // the update could not be written: the file is as it was
};

// Repairs every ToUnicode CMap of the PDF at path, which the interpreter
// linked in wrote from the PDF at inputPath (read only where a surrogate
// pair needs it; none when it is gone), in place, appending only the changed
// streams, so that a large PDF costs no more than its CMaps. With a release
// of the interpreter that writes them right, the file is left as it is.
ToUnicodeRepair repairToUnicode(const std::string& path, const std::string& inputPath = {});

} // namespace folyant::gs
