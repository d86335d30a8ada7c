#pragma once

#include <string>

namespace folyant::docconverter {

// What can be told of a document before any program is asked to print it:
// an encrypted document would print nothing (the office program runs without
// anyone to give it the password), and bytes that are no document of the
// type its name says would print as a page of noise.
enum class DocumentState {
    Printable, // as far as can be told
    Protected, // encrypted, or opened only with a password
    Unreadable, // not a document of the type its name gives, or empty
};

// Judged by the type the name's last four characters give (.doc, .rtf, .xls,
// .ppt, .hwp); a document of any other type is left to its program.
DocumentState inspectDocument(const std::string& path);

// What the user is told besides the failure, for a document path.
std::string protectedDocumentText(const std::string& path);
std::string unreadableDocumentText(const std::string& path);

} // namespace folyant::docconverter
