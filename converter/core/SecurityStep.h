#pragma once

#include <string>

namespace folyant::converter {

class CPdfSecurity;

// Protects the finished PDF in place: the protected copy is written under a
// unique name beside it and takes its place in one rename, so that two jobs
// never share a copy and a reader never sees half a file. When the copy
// cannot take the PDF's place, the copy goes and the call fails: the PDF at
// the path is then still unprotected. Returns EncryptPdfFile's code.
int protectInPlace(const std::string& pdfPath, const CPdfSecurity& request);

// The string-table message a failure code shows (106 or 107), or 0 for none.
int securityFailureMessage(int code);

// Where a PDF that could not be protected is kept, so that nobody takes it for
// the protected one: "NAME (unprotected).pdf" beside it.
std::string unprotectedNameFor(const std::string& pdfPath);

// Whether the file is a PDF the interpreter finished writing: it begins with
// the header and its end holds the trailer's "%%EOF". A file cut short (a full
// disk) is not; an empty or absent one is no PDF at all and not judged here.
bool isCutShortPdf(const std::string& path);

} // namespace folyant::converter
