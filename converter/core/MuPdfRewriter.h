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
    // The passwords as they are used: text for RC4-40, which MuPDF turns
    // into PDFDocEncoding; the prepared bytes for AES-256, whose keys are
    // derived outside MuPDF (Revision6Keys).
    Encryption encryption = Encryption::None;
    const char* userPassword = "";
    const char* ownerPassword = "";
    int permissions = -64;
    // AES-256 keys of our own derivation need the whole input in memory (see
    // rewrite); a larger input is encrypted by MuPDF with keys of its own.
    long long ownKeysUpToBytes = 16LL << 20;
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
// needs a password to be read or is protected at all, and its pages (0 when it does not open or
// needs a password).
struct PdfFacts {
    bool opens = false;
    bool needsPassword = false;
    bool encrypted = false; // a password, or restrictions without one
    int pages = 0;
};
PdfFacts inspect(const char* path);

// Writes a new document at outputPath: every page of existingPath, then every
// page of addedPath, each as it was (nothing is stamped again). A protected
// existing document (a password or restrictions, which the copy would lose)
// is not combined.
struct AppendResult {
    enum class Outcome { Appended, Protected, Unreadable, NotWritten };
    Outcome outcome = Outcome::NotWritten;
    std::string message; // MuPDF's own words where it failed
    int pages = 0; // of the written document
};
AppendResult appendPages(const char* existingPath, const char* addedPath, const char* outputPath);

} // namespace folyant::converter::mupdf
