#include "platform/OutputName.h"

#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/Utf8.h"
#include "platform/WholeFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <string_view>

namespace folyant::names {

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

namespace {

// The title's letters as a name's: control characters go, a folder separator
// or a byte that is no character becomes "_".
std::string nameLetters(const std::string& text)
{
    std::string clean;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8::sequenceLength(text, at);
        if (length == 0) {
            // Each byte that is no character shows where one was.
            clean += '_';
            ++at;
            continue;
        }
        const auto c = static_cast<unsigned char>(text[at]);
        if (length == 1 && (c < 0x20 || c == 0x7F)) {
            at += 1;
            continue;
        }
        if (length == 1 && (c == '/' || c == '\\'))
            clean += '_';
        else if (length == 1 && c == '%')
            clean += "\xEF\xBC\x85"; // U+FF05: the interpreter would read "%d" as a page template
        else
            clean.append(text, at, length);
        at += length;
    }
    return clean;
}

// No leading dots or blanks, no trailing blanks, a length every file system
// takes, and never empty.
std::string finishedName(std::string clean)
{
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

std::string localDate(const std::string& format, std::time_t now)
{
    std::tm local{};
    if (!::localtime_r(&now, &local))
        return {};
    char text[256];
    const std::size_t length
        = std::strftime(text, sizeof text, format.empty() ? "%Y-%m-%d" : format.c_str(), &local);
    return std::string(text, length);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// Waits a few seconds at most for a lock its own user may be holding.
bool lockWithin(int fd, int attempts)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        ::usleep(50 * 1000);
    }
    return false;
}

} // namespace

std::string baseNameForTitle(const std::string& title)
{
    std::string clean = nameLetters(title);
    // A title is often the printed file's own name: the PDF takes its title.
    if (const std::size_t extension = extensionLength(clean))
        clean.erase(clean.size() - extension);
    return finishedName(clean);
}

namespace {

// A token's name: letters and digits, beginning with a letter, before an
// optional ":" and its argument.
bool looksLikeToken(std::string_view token)
{
    const std::string_view name = token.substr(0, token.find(':'));
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0])))
        return false;
    return std::all_of(
        name.begin(), name.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

// The template's letters with its tokens replaced, not yet finished as a
// name; the first thing that looks like a token but is none goes to
// unknown.
std::string expandedLetters(const std::string& source, const NameFields& fields, std::string* unknown)
{
    std::string name;
    std::optional<std::string> counter;
    for (std::size_t at = 0; at < source.size();) {
        const std::size_t open = source.find('<', at);
        const std::size_t close = open == std::string::npos ? open : source.find('>', open);
        if (close == std::string::npos) {
            name += nameLetters(source.substr(at));
            break;
        }
        name += nameLetters(source.substr(at, open - at));
        const std::string_view token = std::string_view(source).substr(open + 1, close - open - 1);
        if (equalsIgnoringCase(token, "Title")) {
            name += baseNameForTitle(fields.title);
        } else if (equalsIgnoringCase(token, "User")) {
            name += nameLetters(fields.user);
        } else if (equalsIgnoringCase(token, "JobId")) {
            name += nameLetters(fields.jobId);
        } else if (equalsIgnoringCase(token, "Host")) {
            name += nameLetters(fields.host);
        } else if (equalsIgnoringCase(token, "Counter")) {
            // A template that repeats the token names one job, with one number.
            if (!counter)
                counter = fields.counter ? fields.counter() : std::string();
            name += nameLetters(*counter);
        } else if (token.size() >= 5 && equalsIgnoringCase(token.substr(0, 5), "Date:")) {
            name += nameLetters(localDate(std::string(token.substr(5)), fields.now));
        } else {
            if (unknown && unknown->empty() && looksLikeToken(token))
                *unknown = "<" + std::string(token) + ">";
            // Not a token: the "<" is a letter, and what follows is read again.
            name += '<';
            at = open + 1;
            continue;
        }
        at = close + 1;
    }
    return name;
}

} // namespace

std::string expandTemplate(const std::string& nameTemplate, const NameFields& fields)
{
    return finishedName(expandedLetters(
        nameTemplate.empty() ? std::string(kDefaultTemplate) : nameTemplate, fields, nullptr));
}

TemplateCheck checkTemplate(const std::string& nameTemplate)
{
    TemplateCheck check;
    // Every token given something, as in a real job: what is still empty
    // is the template's own doing.
    const NameFields sample{
        "Document", "user", "1", "host", std::time(nullptr), [] { return std::string("1"); }};
    const std::string letters = expandedLetters(nameTemplate, sample, &check.unknownToken);
    if (!check.unknownToken.empty())
        check.problem = TemplateCheck::Problem::UnknownToken;
    else if (letters.find_first_not_of(". \t") == std::string::npos)
        check.problem = TemplateCheck::Problem::ExpandsToNothing;
    return check;
}

std::optional<long long> advanceCounter(const std::string& folder)
{
    if (!folders::makeFolders(folder))
        return std::nullopt;
    // The value is replaced by a rename, so the lock is a file of its own
    // that is never replaced.
    const std::string lockPath = folder + "/counter.lock";
    const int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (lock < 0)
        return std::nullopt;
    std::optional<long long> next;
    constexpr int kLockAttempts = 100; // five seconds
    if (lockWithin(lock, kLockAttempts)) {
        const std::string path = folder + "/counter";
        const auto text = wholefile::read(path, false);
        long long value = 0;
        if (text) {
            std::string_view digits = *text;
            while (!digits.empty() && std::isspace(static_cast<unsigned char>(digits.back())))
                digits.remove_suffix(1);
            const auto number = ini::toNumber(digits);
            value = number && *number > 0 ? *number : 0;
        }
        if (text || errno == ENOENT) {
            if (wholefile::replace(path, std::to_string(value + 1) + "\n", 0600))
                next = value + 1;
        }
    }
    ::close(lock);
    return next;
}

std::string stateFolder(const std::string& home, const char* xdgStateHome)
{
    if (xdgStateHome && xdgStateHome[0] == '/')
        return std::string(xdgStateHome) + "/folyant";
    return home + "/.local/state/folyant";
}

namespace {
std::string userSettingsPath(const std::string& configFolder)
{
    return configFolder + "/Quorvale/Folyant Velmo.conf";
}
} // namespace

std::optional<std::string> userTemplate(const std::string& configFolder)
{
    const auto text = wholefile::read(userSettingsPath(configFolder), true);
    if (!text)
        return std::nullopt;
    const auto values = ini::parseGroup(*text, "Settings");
    const auto found = values.find(kOutputName);
    if (found == values.end() || found->second.empty())
        return std::nullopt;
    return found->second;
}

bool saveUserTemplate(const std::string& configFolder, const std::string& nameTemplate)
{
    return folders::makeFolders(configFolder + "/Quorvale")
        && ini::write(userSettingsPath(configFolder), "Settings", {{kOutputName, nameTemplate}});
}

bool hasDefaultAcl(const std::string& folder)
{
    return ::getxattr(folder.c_str(), "system.posix_acl_default", nullptr, 0) > 0;
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

} // namespace folyant::names
