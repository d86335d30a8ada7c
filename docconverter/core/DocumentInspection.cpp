#include "docconverter/core/DocumentInspection.h"

#include "docconverter/core/CompoundFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <optional>

namespace folyant::docconverter {

namespace {
constexpr std::size_t kSniffBytes = 65536;
constexpr std::size_t kRecordScanBytes = 65536;

enum class Kind { Word, Excel, PowerPoint, Hwp, Other };

Kind kindOf(const std::string& path)
{
    std::string ending = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    for (char& c : ending)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ending == ".doc" || ending == ".rtf")
        return Kind::Word;
    if (ending == ".xls")
        return Kind::Excel;
    if (ending == ".ppt")
        return Kind::PowerPoint;
    if (ending == ".hwp")
        return Kind::Hwp;
    return Kind::Other;
}

std::uint16_t le16(const std::string& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(
        static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::uint32_t le32(const std::string& bytes, std::size_t at)
{
    return std::uint32_t(le16(bytes, at)) | std::uint32_t(le16(bytes, at + 2)) << 16;
}

std::optional<std::string> firstBytes(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat info { };
    std::string bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        bytes.resize(kSniffBytes);
        std::size_t have = 0;
        for (ssize_t got = 0; have < bytes.size(); have += static_cast<std::size_t>(got)) {
            got = ::read(fd, bytes.data() + have, bytes.size() - have);
            if (got <= 0)
                break;
        }
        bytes.resize(have);
    }
    ::close(fd);
    return bytes;
}

bool startsWith(const std::string& bytes, const std::string& prefix)
{
    return bytes.compare(0, prefix.size(), prefix) == 0;
}

// Text of any 8-bit or multi-byte encoding: none of the control codes that
// only binary data holds (tab, line ends, form feed, escape and the old end
// of file mark are text).
bool looksLikeText(const std::string& bytes)
{
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != '\f' && u != 0x1A && u != 0x1B)
            return false;
    }
    return true;
}

// A BIFF record stream (a workbook stream, or an old workbook file itself):
// a password shows as a FILEPASS record among the first records, before the
// end of the workbook's globals.
DocumentState workbookState(const std::string& records)
{
    constexpr std::uint16_t kFilePass = 0x002F;
    constexpr std::uint16_t kEof = 0x000A;
    for (std::size_t at = 0; at + 4 <= records.size();) {
        const std::uint16_t type = le16(records, at);
        if (at == 0 && (type & 0xFF) != 0x09)
            return DocumentState::Unreadable;
        if (type == kFilePass)
            return DocumentState::Protected;
        if (type == kEof)
            break;
        at += 4 + le16(records, at + 2);
    }
    return DocumentState::Printable;
}

DocumentState compoundState(const CompoundFile& file, Kind kind)
{
    // Any encrypted Office Open XML document, whatever its name says.
    if (file.hasStream("EncryptionInfo") && file.hasStream("EncryptedPackage"))
        return DocumentState::Protected;
    switch (kind) {
    case Kind::Word: {
        constexpr std::uint16_t kEncrypted = 0x0100;
        const auto fib = file.readStream("WordDocument", 12);
        if (!fib)
            return DocumentState::Unreadable;
        const std::uint16_t ident = le16(*fib, 0);
        if ((ident == 0xA5EC || ident == 0xA5DC) && (le16(*fib, 10) & kEncrypted))
            return DocumentState::Protected;
        return DocumentState::Printable;
    }
    case Kind::Excel: {
        auto records = file.readStream("Workbook", kRecordScanBytes);
        if (!records)
            records = file.readStream("Book", kRecordScanBytes);
        return records ? workbookState(*records) : DocumentState::Unreadable;
    }
    case Kind::PowerPoint: {
        constexpr std::uint32_t kEncryptedToken = 0xF3D1C4DF;
        if (!file.hasStream("PowerPoint Document"))
            return DocumentState::Unreadable;
        const auto user = file.readStream("Current User", 16);
        if (file.hasStream("EncryptedSummary") || (user && le32(*user, 12) == kEncryptedToken))
            return DocumentState::Protected;
        return DocumentState::Printable;
    }
    case Kind::Hwp: {
        constexpr std::uint32_t kPassword = 0x2;
        const auto header = file.readStream("FileHeader", 40);
        if (!header || !startsWith(*header, "HWP Document File"))
            return DocumentState::Unreadable;
        return le32(*header, 36) & kPassword ? DocumentState::Protected : DocumentState::Printable;
    }
    case Kind::Other:
        break;
    }
    return DocumentState::Printable;
}
} // namespace

DocumentState inspectDocument(const std::string& path)
{
    const Kind kind = kindOf(path);
    if (kind == Kind::Other)
        return DocumentState::Printable;
    const auto bytes = firstBytes(path);
    if (!bytes || bytes->empty())
        return DocumentState::Unreadable;
    if (CompoundFile::hasSignature(*bytes)) {
        const auto file = CompoundFile::open(path);
        return file ? compoundState(*file, kind) : DocumentState::Unreadable;
    }
    // A zipped Office Open XML document under an old name opens all the same.
    if (startsWith(*bytes, "PK\x03\x04") && kind != Kind::Hwp)
        return DocumentState::Printable;
    switch (kind) {
    case Kind::Excel:
        if (bytes->size() >= 2 && static_cast<unsigned char>((*bytes)[0]) == 0x09
            && static_cast<unsigned char>((*bytes)[1]) <= 0x08)
            return workbookState(*bytes);
        break;
    case Kind::PowerPoint:
        return DocumentState::Unreadable;
    case Kind::Hwp:
        if (startsWith(*bytes, "HWP Document File V"))
            return DocumentState::Printable;
        break;
    default:
        break;
    }
    return looksLikeText(*bytes) ? DocumentState::Printable : DocumentState::Unreadable;
}

std::string protectedDocumentText(const std::string& path)
{
    return "'" + path
        + "' is protected by a password: LibreOffice cannot print it without one. Save a copy without "
          "the password, then convert that.";
}

std::string unreadableDocumentText(const std::string& path)
{
    return "'" + path
        + "' cannot be opened: it is empty, damaged, or not a document of the type its name says.";
}

} // namespace folyant::docconverter
