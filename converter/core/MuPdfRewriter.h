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

// What became of a rewrite, with MuPDF's own words beside a failure.
struct RewriteResult {
    enum class Outcome {
        Done,
        InputOutput, // a file could not be opened, read or written
        Structure, // the input is no PDF MuPDF reads faithfully
        FontEngine, // the font engine failed on the document
        WrongPassword, // the password opens nothing
        NotOwner, // the password opens the document, but not as its owner
        UnsupportedEncryption, // an encryption MuPDF cannot undo
        EmptyFile,
        Other,
    };
    Outcome outcome = Outcome::Done;
    std::string message;

    bool done() const { return outcome == Outcome::Done; }
};

// Opens, authenticates, protects and saves the document. A failed save
// removes the output.
RewriteResult rewrite(const RewriteRequest& request);

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
