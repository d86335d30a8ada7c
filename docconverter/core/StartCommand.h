#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folyant::docconverter {

// Blanks, tabs and line ends removed at both ends.
std::string trimmed(std::string_view text);

// The PDF name with ".pdf" appended unless its last four characters are
// ".pdf" in any case ("a" gives "a.pdf", "Report.pdf.txt" "Report.pdf.txt.pdf").
std::string completedPdfPath(const std::string& pdfPath);

// The job's temporary PostScript name: the PDF path without its last four
// characters, then ".tmp".
std::string temporaryPathFor(const std::string& pdfPath);

// The folder part of a path that the PDF must go into: everything before the
// last '/', empty for a name without a folder.
std::string folderPartOf(const std::string& path);

// Whether the file can be opened for reading and nobody holds it for writing:
// neither an exclusive lock on it (the backend's spool lock) nor, where the
// system lets us ask, another descriptor open for writing.
bool canOpenExclusively(const std::string& path, bool refuseWriters);

// A name given on the command line, trimmed, and taken relative to the
// working folder unless it is absolute; an empty name stays empty.
std::string fromCommandLine(std::string_view name, const std::string& workingFolder);

// The names the start command works with, trimmed and completed.
struct StartNames {
    std::string documentPath;
    std::string pdfPath;
};

// The checks before a job, in their order: empty names stop without a message
// (nothing returned, names untouched); a PDF that is held elsewhere, a missing
// output folder or a document that cannot be opened give the message to show
// with the caption "Folyant Error". The names are trimmed and the PDF name
// completed in every case but the empty one.
enum class StartCheck { Empty, Refused, Ready };
struct StartVerdict {
    StartCheck check = StartCheck::Empty;
    std::string message; // for Refused
};
StartVerdict checkStartNames(StartNames& names);

// The caption of the start command's and the job's refusals.
inline constexpr const char* kErrorCaption = "Folyant Error";
// The caption of the job's results.
inline constexpr const char* kResultCaption = "Folyant";

} // namespace folyant::docconverter
