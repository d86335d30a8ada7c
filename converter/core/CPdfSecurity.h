#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folyant::converter {

// A protection request: the Standard security handler, revision 2, 40-bit
// RC4, with these passwords and this permission value (the P entry).
class CPdfSecurity {
public:
    CPdfSecurity(std::string userPassword, std::string ownerPassword, int permissions)
        : m_userPassword(std::move(userPassword))
        , m_ownerPassword(std::move(ownerPassword))
        , m_permissions(permissions)
    {
    }
    virtual ~CPdfSecurity() = default;

    std::string m_userPassword;
    std::string m_ownerPassword;
    int m_permissions;
};

// Failure codes of EncryptPdfFile.
namespace pdferror {
inline constexpr int kOther = -1;
inline constexpr int kInputOutput = -2;
inline constexpr int kStructure = -3;
inline constexpr int kFontEngine = -4;
inline constexpr int kWrongPassword = -5;
inline constexpr int kUnsupportedEncryption = -6;
inline constexpr int kPermission = -7;
inline constexpr int kDuplicatedPages = -8;
inline constexpr int kEmptyFile = -9;
} // namespace pdferror

// P from a permission text: from -64, +4 print, +8 modify, +16 copy,
// +32 annotate for each of the first four characters that is "1".
int permissionValue(std::string_view text);

// The failure code for a failure message, by the message's leading words
// ("ioerror", "syntaxerror", "invalid password", ...); -1 for any other.
int failureCodeFor(std::string_view message);

// Rewrites inputPath into outputPath, protected by security when it is given
// (otherwise unprotected). An encrypted input must open with password as
// its owner password. 0 on success, else a failure code; a failed call
// leaves no output file behind.
// Whether a password can be given to the protection at all: its characters
// must all exist in PDFDocEncoding (or it must be a byte string that does).
bool isUsablePassword(std::string_view utf8);

int EncryptPdfFile(const std::string& inputPath, const char* password, const std::string& outputPath,
    const CPdfSecurity* security);

// The code of the last failure in this process, 0 before any.
int GetLastPdfError();

// Translates a failure message into its code, keeps it as the last failure
// and returns it: for failures of the protection around EncryptPdfFile.
int RecordPdfFailure(std::string_view message);

// The bytes a PDF password of revision 2 is made of: PDFDocEncoding when
// every character of the UTF-8 text has a code there (what readers send),
// otherwise the UTF-8 bytes unchanged (what readers that pass bytes send).
std::string pdfPasswordBytes(std::string_view utf8);

// The text that PDFDocEncoding turns into these bytes, or nothing when a
// byte has no character there (0x7F, 0x9F, 0xAD and most below 0x20): such a
// password cannot be written, and protecting with it fails.
std::optional<std::string> textForPasswordBytes(std::string_view bytes);

} // namespace folyant::converter
