#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folyant::converter {

// The encryption of the Standard security handler a request asks for: RC4
// with a 40-bit key (V 1, R 2), or AES with a 256-bit key (V 5, R 6).
enum class PdfEncryption { Rc4Bits40, Aes256 };

// The encryption the fourth value of the security option names: "AES256" in
// any case is AES-256, every other text (none included) RC4-40.
PdfEncryption encryptionNamed(std::string_view fourthValue);

// A protection request: the Standard security handler with these passwords,
// this permission value (the P entry, as revision 2 reads it) and this
// encryption, RC4-40 unless asked otherwise.
class CPdfSecurity {
public:
    CPdfSecurity(std::string userPassword, std::string ownerPassword, int permissions,
        PdfEncryption encryption = PdfEncryption::Rc4Bits40)
        : m_userPassword(std::move(userPassword))
        , m_ownerPassword(std::move(ownerPassword))
        , m_permissions(permissions)
        , m_encryption(encryption)
    {
    }
    virtual ~CPdfSecurity() = default;

    std::string m_userPassword;
    std::string m_ownerPassword;
    int m_permissions;
    PdfEncryption m_encryption;
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

// The same rights as P of revision 2 grants, as revision 6 reads P: printing
// also at full quality (bit 12), modifying also the pages' assembly (bit 11),
// annotating also filling in forms (bit 9); extraction for accessibility
// (bit 10) and the reserved bits always set, bits 1 and 2 clear.
int revisionSixPermissions(int revisionTwoPermissions);

// Whether a password can be given to the protection at all. For RC4-40 its
// characters must all exist in PDFDocEncoding (or it must be a byte string
// that does); for AES-256 it must be UTF-8 that SASLprep accepts.
bool isUsablePassword(std::string_view utf8, PdfEncryption encryption = PdfEncryption::Rc4Bits40);

// A password of revision 6: the UTF-8 text prepared with SASLprep (spaces
// mapped, soft hyphens and the like dropped, NFKC), cut to the first 127
// bytes as every reader of the revision cuts it. Nothing when the text is not
// UTF-8, holds a character SASLprep prohibits or leaves unassigned, or
// prepares to nothing although it was not empty.
std::optional<std::string> revisionSixPassword(std::string_view utf8);

// Rewrites inputPath into outputPath, protected by security when it is given
// (otherwise unprotected). An encrypted input must open with password as
// its owner password. 0 on success, else a failure code; a failed call
// leaves no output file behind.
int EncryptPdfFile(const std::string& inputPath, const char* password, const std::string& outputPath,
    const CPdfSecurity* security);

// The code of the last failure in this process, 0 before any.
int GetLastPdfError();

// Keeps a failure code as the last failure and returns it: for failures of
// the protection around EncryptPdfFile.
int RecordPdfFailure(int code);

// The bytes a PDF password of revision 2 is made of: PDFDocEncoding when
// every character of the UTF-8 text has a code there (what readers send),
// otherwise the UTF-8 bytes unchanged (what readers that pass bytes send).
std::string pdfPasswordBytes(std::string_view utf8);

// The text that PDFDocEncoding turns into these bytes, or nothing when a
// byte has no character there (0x7F, 0x9F, 0xAD and most below 0x20): such a
// password cannot be written, and protecting with it fails.
std::optional<std::string> textForPasswordBytes(std::string_view bytes);

} // namespace folyant::converter
