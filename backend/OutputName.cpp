#include "backend/OutputName.h"

#include "backend/SharedOutputFolder.h"
#include "platform/Utf8.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <string_view>

namespace folyant::backend {

namespace {

// Bytes, well below NAME_MAX (255) with room for " (NNN).pdf".
constexpr std::size_t kMaxBaseBytes = 200;

// How long a file type's extension is at most ("docx", "xlsx", "jpeg", "html").
constexpr std::size_t kMaxExtension = 5;

// The length of the title's final extension, dot included, or 0. A file
// type's extension is a few ASCII letters and digits beginning with a letter,
// behind a name: "report.xls", "picture.png"; "Version 2.0", "Mr. Smith" and
// "total 3.5kg" keep theirs, which belong to what they say.
std::size_t extensionLength(const std::string& name)
{
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || name.size() - dot - 1 == 0
        || name.size() - dot - 1 > kMaxExtension)
        return 0;
    if (!std::isalpha(static_cast<unsigned char>(name[dot + 1])))
        return 0;
    for (std::size_t i = dot + 1; i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return 0;
    const char before = name[dot - 1];
    return before == ' ' || before == '.' ? 0 : name.size() - dot;
}

} // namespace

std::string baseNameForTitle(const std::string& title)
{
    std::string clean;
    for (std::size_t at = 0; at < title.size();) {
        const std::size_t length = utf8::sequenceLength(title, at);
        if (length == 0) {
            // Each byte that is no character shows where one was.
            clean += '_';
            ++at;
            continue;
        }
        const auto c = static_cast<unsigned char>(title[at]);
        if (length == 1 && (c < 0x20 || c == 0x7F)) {
            at += 1;
            continue;
        }
        if (length == 1 && (c == '/' || c == '\\'))
            clean += '_';
        else if (length == 1 && c == '%')
            clean += "\xEF\xBC\x85"; // U+FF05: the interpreter would read "%d" as a page template
        else
            clean.append(title, at, length);
        at += length;
    }

    // A title is often the printed file's own name: the PDF takes its title.
    if (const std::size_t extension = extensionLength(clean))
        clean.erase(clean.size() - extension);

    const auto start = clean.find_first_not_of(". \t");
    clean = start == std::string::npos ? std::string() : clean.substr(start);
    while (!clean.empty() && (clean.back() == ' ' || clean.back() == '\t'))
        clean.pop_back();

    if (clean.size() > kMaxBaseBytes) {
        std::size_t cut = kMaxBaseBytes;
        while (cut > 0 && (static_cast<unsigned char>(clean[cut]) & 0xC0u) == 0x80u)
            --cut;
        clean.erase(cut);
    }
    return clean.empty() ? "Untitled" : clean;
}

std::string reserveUniquePdf(const std::string& folder, const std::string& base)
{
    // The user's alone, in a folder every user may share, unless the
    // folder's default ACL says who else may read it.
    const mode_t mode = hasDefaultAcl(folder) ? 0666 : 0600;
    for (int number = 1; number < 10000; ++number) {
        std::string path = folder + "/";
        path += base;
        if (number != 1)
            path += " (" + std::to_string(number) + ")";
        path += ".pdf";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST)
            return {};
    }
    return {};
}

} // namespace folyant::backend
