#pragma once

#include <string>

namespace folyant::backend {

// A file name for a job's PDF made from its title: the title's letters stay
// (Hangul and kana included); folder separators become "_"; control
// characters and invalid UTF-8 go; leading dots and blanks go; an extension
// of a document type (.pdf, .ps, .prn, .txt, ...) goes; the result is cut to
// a length every file system takes. An empty result is "Untitled".
std::string baseNameForTitle(const std::string& title);

// Creates FOLDER/BASE.pdf, or FOLDER/BASE (2).pdf and so on when that
// exists, as a new empty file that nobody else can have taken; never an
// existing one; mode 0600 unless the folder has a default ACL. Empty when no
// name could be reserved.
std::string reserveUniquePdf(const std::string& folder, const std::string& base);

} // namespace folyant::backend
