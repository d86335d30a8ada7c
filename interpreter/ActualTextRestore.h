#pragma once

#include <string>

// Ghostscript 10.00 drops every marked-content span of a PDF it rewrites, and
// with it /ActualText: characters the office drew with a stand-in glyph (letters
// no installed font has) are named only there, and are no longer found in the
// written PDF. The restore writes that text back as invisible text where each
// span's first glyph was drawn, so that the page looks as it did.
namespace folyant::gs {

enum class ActualTextRestore {
    Unchanged, // no span to restore (or the written PDF kept them): the file is as it was
    Restored, // the spans' text was appended as an update
    Failed, // the written PDF could not be read or the update not written: the file is as it was
};

// Puts the text of the /ActualText spans on the pages of inputPath back onto
// the same pages of outputPath, which the interpreter wrote from inputPath,
// appending an update. A page is matched by its number, when both PDFs have
// as many pages and both pages the same MediaBox; a span that draws no glyph
// has no place and is left out, as are spans inside the forms a page draws.
// An input without spans costs a look at its pages' content and leaves
// outputPath byte for byte.
ActualTextRestore restoreActualText(const std::string& inputPath, const std::string& outputPath);

} // namespace folyant::gs
