#pragma once

#include <string>

// What Ghostscript 10.00 loses of a PDF job's text when it rewrites the PDF,
// put back: both converters call this once their interpreter has written.
namespace folyant::gs {

// Repairs the ToUnicode tables of written and puts back the text of read's
// /ActualText spans, each appended as an update (see ToUnicodeRepair and
// ActualTextRestore). read is the PDF the interpreter read; without it
// (gone), only what needs no input is repaired. A repair that fails leaves
// written as it was.
void putBackLostText(const std::string& written, const std::string& read);

} // namespace folyant::gs
