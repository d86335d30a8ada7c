#include "converter/core/CPdfSecurity.h"

#include "converter/core/MuPdfRewriter.h"
#include "installation/InstallationFolders.h"
#include "platform/Utf8.h"

#include <unicode/usprep.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace folyant::converter {

namespace {

// GetLastPdfError's value: the one last failure the program-level interface
// defines, kept for the whole process as that interface says.
int g_lastPdfError = 0;

// The code points of PDFDocEncoding's bytes 0x18-0x1F and 0x80-0xAD that
// differ from Latin-1 (0 where the byte is undefined).
constexpr std::array<char32_t, 8> kLow = {0x02D8, 0x02C7, 0x02C6, 0x02D9, 0x02DD, 0x02DB, 0x02DA, 0x02DC};
constexpr std::array<char32_t, 46> kHigh = {0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044,
    0x2039, 0x203A, 0x2212, 0x2030, 0x201E, 0x201C, 0x201D, 0x2018, 0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02,
    0x0141, 0x0152, 0x0160, 0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E, 0, 0x20AC, 0x00A1, 0x00A2,
    0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0};

// The PDFDocEncoding byte of a character, or -1.
int pdfDocByte(char32_t c)
{
    if ((c >= 0x20 && c < 0x7F) || c == '\t' || c == '\n' || c == '\r')
        return static_cast<int>(c);
    if (c >= 0xAE && c <= 0xFF)
        return static_cast<int>(c);
    for (std::size_t i = 0; i < kLow.size(); ++i)
        if (kLow[i] == c)
            return static_cast<int>(0x18 + i);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] != 0 && kHigh[i] == c)
            return static_cast<int>(0x80 + i);
    return -1;
}

// The character PDFDocEncoding has at a byte, or 0 where it has none.
char32_t pdfDocChar(unsigned char byte)
{
    if ((byte >= 0x20 && byte < 0x7F) || byte == '\t' || byte == '\n' || byte == '\r')
        return byte;
    if (byte >= 0x18 && byte <= 0x1F)
        return kLow[byte - 0x18u];
    if (byte >= 0x80 && byte <= 0xAD)
        return kHigh[byte - 0x80u];
    return byte > 0xAD ? byte : 0;
}

// Readers of revision 6 take at most this many bytes of a password.
constexpr std::size_t kRevisionSixPasswordBytes = 127;

// The text in another Unicode form through an ICU conversion that reports
// the length it needs when given no room; nothing for malformed text.
template <typename Target, typename Source, typename Conversion>
std::optional<Target> converted(const Source& source, Conversion conversion)
{
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    const auto size = static_cast<int32_t>(source.size());
    conversion(nullptr, 0, &length, source.data(), size, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status))
        return std::nullopt;
    Target target(static_cast<std::size_t>(length), {});
    status = U_ZERO_ERROR;
    conversion(target.data(), length, nullptr, source.data(), size, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    return target;
}

std::optional<std::u16string> utf16Of(std::string_view utf8)
{
    return converted<std::u16string>(utf8, u_strFromUTF8);
}

std::optional<std::string> utf8Of(const std::u16string& text)
{
    return converted<std::string>(text, u_strToUTF8);
}

// SASLprep of the text, for a stored string: unassigned code points refused.
std::optional<std::u16string> saslPrep(const std::u16string& text)
{
    UErrorCode status = U_ZERO_ERROR;
    UStringPrepProfile* profile = usprep_openByType(USPREP_RFC4013_SASLPREP, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    // NFKC can lengthen a text several times over; one retry with the size
    // the first attempt asks for.
    std::u16string prepared(text.size() * 4 + 16, u'\0');
    int32_t length = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        status = U_ZERO_ERROR;
        length = usprep_prepare(profile, text.data(), static_cast<int32_t>(text.size()), prepared.data(),
            static_cast<int32_t>(prepared.size()), USPREP_DEFAULT, nullptr, &status);
        if (status != U_BUFFER_OVERFLOW_ERROR)
            break;
        prepared.resize(static_cast<std::size_t>(length) + 1);
    }
    usprep_close(profile);
    if (U_FAILURE(status))
        return std::nullopt;
    prepared.resize(static_cast<std::size_t>(length));
    return prepared;
}

} // namespace

int permissionValue(std::string_view text)
{
    constexpr int kRights[] = {4, 8, 16, 32};
    int value = -64;
    for (std::size_t i = 0; i < 4 && i < text.size(); ++i)
        if (text[i] == '1')
            value += kRights[i];
    return value;
}

PdfEncryption encryptionNamed(std::string_view fourthValue)
{
    return namesAes256(fourthValue) ? PdfEncryption::Aes256 : PdfEncryption::Rc4Bits40;
}

int revisionSixPermissions(int revisionTwoPermissions)
{
    const auto granted = static_cast<std::uint32_t>(revisionTwoPermissions);
    constexpr std::uint32_t kPrint = 1u << 2, kModify = 1u << 3, kCopy = 1u << 4, kAnnotate = 1u << 5;
    constexpr std::uint32_t kFillForms = 1u << 8, kAccessibility = 1u << 9, kAssemble = 1u << 10,
                            kFullQualityPrint = 1u << 11;
    // Bits 7, 8 and 13 to 32 are reserved and must be 1.
    std::uint32_t value = 0xFFFFF0C0u | kAccessibility | (granted & (kPrint | kModify | kCopy | kAnnotate));
    if (granted & kPrint)
        value |= kFullQualityPrint;
    if (granted & kModify)
        value |= kAssemble;
    if (granted & kAnnotate)
        value |= kFillForms;
    return static_cast<int>(value);
}

namespace {

// The program-level failure code of each outcome of the adapter.
int failureCodeFor(mupdf::RewriteResult::Outcome outcome)
{
    using Outcome = mupdf::RewriteResult::Outcome;
    switch (outcome) {
    case Outcome::Done:
        return 0;
    case Outcome::InputOutput:
        return pdferror::kInputOutput;
    case Outcome::Structure:
        return pdferror::kStructure;
    case Outcome::FontEngine:
        return pdferror::kFontEngine;
    case Outcome::WrongPassword:
        return pdferror::kWrongPassword;
    case Outcome::NotOwner:
        return pdferror::kPermission;
    case Outcome::UnsupportedEncryption:
        return pdferror::kUnsupportedEncryption;
    case Outcome::EmptyFile:
        return pdferror::kEmptyFile;
    case Outcome::Other:
        break;
    }
    return pdferror::kOther;
}

} // namespace

std::string pdfPasswordBytes(std::string_view utf8)
{
    std::string bytes;
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t c = 0;
        if (!utf8::decode(utf8, at, c))
            return std::string(utf8);
        const int byte = pdfDocByte(c);
        if (byte < 0)
            return std::string(utf8);
        bytes += static_cast<char>(byte);
    }
    return bytes;
}

std::optional<std::string> textForPasswordBytes(std::string_view bytes)
{
    std::string text;
    for (const char byte : bytes) {
        const char32_t c = pdfDocChar(static_cast<unsigned char>(byte));
        if (c == 0)
            return std::nullopt;
        utf8::append(text, c);
    }
    return text;
}

std::optional<std::string> revisionSixPassword(std::string_view utf8)
{
    const auto text = utf16Of(utf8);
    const auto prepared = text ? saslPrep(*text) : std::nullopt;
    auto bytes = prepared ? utf8Of(*prepared) : std::nullopt;
    // A password that prepares to nothing would leave the document open.
    if (!bytes || (bytes->empty() && !utf8.empty()))
        return std::nullopt;
    if (bytes->size() > kRevisionSixPasswordBytes)
        bytes->resize(kRevisionSixPasswordBytes);
    return bytes;
}

bool isUsablePassword(std::string_view utf8, PdfEncryption encryption)
{
    if (encryption == PdfEncryption::Aes256)
        return revisionSixPassword(utf8).has_value();
    return textForPasswordBytes(pdfPasswordBytes(utf8)).has_value();
}

int EncryptPdfFile(const std::string& inputPath, const char* password, const std::string& outputPath,
    const CPdfSecurity* security)
{
    mupdf::RewriteRequest request;
    request.inputPath = inputPath.c_str();
    request.outputPath = outputPath.c_str();
    // MuPDF takes passwords as text and turns them into PDFDocEncoding bytes
    // itself: hand it the text whose encoding gives the bytes we chose.
    const auto passwordText = textForPasswordBytes(pdfPasswordBytes(password ? password : ""));
    std::optional<std::string> user;
    std::optional<std::string> owner;
    const bool aes = security && security->m_encryption == PdfEncryption::Aes256;
    if (security) {
        // Revision 6 takes prepared UTF-8 bytes, which MuPDF passes on as they are.
        const auto prepare = [aes](std::string_view text) {
            return aes ? revisionSixPassword(text) : textForPasswordBytes(pdfPasswordBytes(text));
        };
        user = prepare(security->m_userPassword);
        // Without an owner password the user's stands in when O is computed,
        // so that the user password also opens the document as its owner
        // (and, under revision 6, so that no empty owner password opens it).
        owner = prepare(
            security->m_ownerPassword.empty() ? security->m_userPassword : security->m_ownerPassword);
    }
    if (!passwordText || (security && (!user || !owner)))
        return RecordPdfFailure(pdferror::kOther);
    request.password = passwordText->c_str();
    if (security) {
        request.encryption = aes ? mupdf::Encryption::Aes256 : mupdf::Encryption::Rc4Bits40;
        request.userPassword = user->c_str();
        request.ownerPassword = owner->c_str();
        request.permissions = aes ? revisionSixPermissions(security->m_permissions) : security->m_permissions;
    }
    const mupdf::RewriteResult result = mupdf::rewrite(request);
    if (result.done())
        return 0;
    return RecordPdfFailure(failureCodeFor(result.outcome));
}

int GetLastPdfError()
{
    return g_lastPdfError;
}

int RecordPdfFailure(int code)
{
    g_lastPdfError = code;
    return code;
}

} // namespace folyant::converter
