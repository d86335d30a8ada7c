#include "backend/OutputName.h"

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

bool endsWithExtension(const std::string& name, std::string_view extension)
{
    if (name.size() <= extension.size())
        return false;
    return std::equal(extension.rbegin(), extension.rend(), name.rbegin(),
        [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

} // namespace

std::string baseNameForTitle(const std::string& title)
{
    std::string clean;
    for (std::size_t at = 0; at < title.size();) {
        const std::size_t length = utf8::sequenceLength(title, at);
        if (length == 0) {
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
        else
            clean.append(title, at, length);
        at += length;
    }

    // A title is often the printed file's own name.
    static constexpr std::array<std::string_view, 8> kExtensions
        = {".pdf", ".ps", ".eps", ".prn", ".txt", ".doc", ".docx", ".hwp"};
    for (const std::string_view extension : kExtensions) {
        if (endsWithExtension(clean, extension)) {
            clean.erase(clean.size() - extension.size());
            break;
        }
    }

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
    for (int number = 1; number < 10000; ++number) {
        std::string path = folder + "/";
        path += base;
        if (number != 1)
            path += " (" + std::to_string(number) + ")";
        path += ".pdf";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
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
