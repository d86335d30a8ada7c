#pragma once

#include <string>
#include <string_view>

namespace folyant::gs {

// Sent first in every run: makes "=" print and flush at once, so that what a
// job prints reaches the conversion log.
extern const std::string_view kPrologue;

// "LIB/zev.ps" with backslashes turned into forward slashes.
std::string stampPathFor(std::string_view libFolder);

// What installs the page stamp so that a job cannot take it off: an
// execute-only EndPage procedure that runs the stamp file on every page ended
// by showpage or copypage, counts them, and emits nothing when the device
// goes away;
// setpagedevice redefined so that a job's own EndPage is left out; "quit"
// that ends nothing, so that the check always runs; and a
// check, kept under a name made of token (a secret of the run), that fails
// when a page went out without the stamp. Every operator inside is taken
// when this text is read, before the job can redefine any of them, and the
// stamp file runs with the system's own operators first in line.
std::string protectedStampProcedure(std::string_view stampPath, std::string_view token);

// Runs the check: the interpreter answers it with an error when the job
// switched the stamp off somewhere, or removed the check.
std::string stampCheck(std::string_view token);

// Applications write the job's title in its header as a PostScript string
// ("%%Title: (report.xls)"), and the interpreter would keep the parentheses in
// the PDF's Title. For such a header: the document-information pdfmark that
// gives the PDF the string's own text, or nothing (no such title, or a string
// that does not end where it should).
std::string titlePdfmarkFor(std::string_view header);

} // namespace folyant::gs
