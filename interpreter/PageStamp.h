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

// Applications write the job's title in its header as a PostScript string
// ("%%Title: (report.xls)"), and the interpreter would keep the parentheses in
// the PDF's Title. For such a header: the document-information pdfmark that
// gives the PDF the string's own text, or nothing (no such title, or a string
// that does not end where it should).
std::string titlePdfmarkFor(std::string_view header);

} // namespace folyant::gs
