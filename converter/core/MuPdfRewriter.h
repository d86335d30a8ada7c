#pragma once

#include <string>

// The only door to MuPDF: everything that touches its objects stays in
// MuPdfRewriter.cpp, where its longjmp-based errors are caught.
namespace folyant::converter::mupdf {

enum class Encryption { None, Rc4Bits40, Aes256 };

struct RewriteRequest {
    const char* inputPath = "";
    const char* outputPath = "";
    const char* password = "";
    // The passwords go to MuPDF as they are: text for RC4-40, which MuPDF
    // turns into PDFDocEncoding; the prepared bytes for AES-256.
    Encryption encryption = Encryption::None;
    const char* userPassword = "";
    const char* ownerPassword = "";
    int permissions = -64;
};

// Opens, authenticates, protects and saves the document. Returns an empty
// text on success, otherwise the class of the failure followed by MuPDF's own
// words: "ioerror: ...", "syntaxerror: ...", "invalid password",
// "permission denied", "unsupported encryption: ...", "empty file", or
// MuPDF's message alone for anything else. A failed save removes the output.
std::string rewrite(const RewriteRequest& request);

// What a PDF is, without its password: whether it opens at all, whether it
// needs a password to be read, and its pages (0 when it does not open or
// needs a password).
struct PdfFacts {
    bool opens = false;
    bool needsPassword = false;
    int pages = 0;
};
PdfFacts inspect(const char* path);

} // namespace folyant::converter::mupdf
