#include "platform/IniFile.h"

#include "platform/FileIo.h"
#include "platform/Folders.h"
#include "platform/Utf8.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <vector>

namespace folyant::ini {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One code point of UTF-8 text at `at`, which moves past it; a byte that
// starts no character stands for itself.
unsigned nextCodePoint(std::string_view text, std::size_t& at)
{
    char32_t c = 0;
    if (utf8::decode(text, at, c))
        return c;
    return static_cast<unsigned char>(text[at++]);
}

std::string escapedKey(std::string_view key)
{
    std::string out;
    for (std::size_t at = 0; at < key.size();) {
        const unsigned c = nextCodePoint(key, at);
        if (c == '/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'
            || c == '-' || c == '.') {
            out += static_cast<char>(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            // Outside the basic plane as two UTF-16 halves, as the format has it.
            const auto unit = [&out](unsigned u) {
                out += "%U";
                for (int shift = 12; shift >= 0; shift -= 4)
                    out += kHex[(u >> shift) & 0xF];
            };
            if (c > 0xFFFF) {
                unit(0xD800 + ((c - 0x10000) >> 10));
                unit(0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                unit(c);
            }
        }
    }
    return out;
}

std::string unescapedKey(std::string_view raw)
{
    std::string out;
    unsigned highHalf = 0;
    for (std::size_t at = 0; at < raw.size(); ++at) {
        const char c = raw[at];
        if (c == '\\') {
            out += '/';
        } else if (c == '%' && at + 5 < raw.size() && raw[at + 1] == 'U') {
            unsigned unit = 0;
            bool ok = true;
            for (std::size_t i = at + 2; i < at + 6; ++i) {
                const int v = hexValue(raw[i]);
                ok = ok && v >= 0;
                unit = unit * 16 + static_cast<unsigned>(v < 0 ? 0 : v);
            }
            if (!ok) {
                out += c;
                continue;
            }
            at += 5;
            if (unit >= 0xD800 && unit < 0xDC00) {
                highHalf = unit;
                continue;
            }
            if (unit >= 0xDC00 && unit < 0xE000 && highHalf != 0)
                unit = 0x10000 + ((highHalf - 0xD800) << 10) + (unit - 0xDC00);
            highHalf = 0;
            utf8::append(out, unit);
        } else if (c == '%' && at + 2 < raw.size() && hexValue(raw[at + 1]) >= 0
            && hexValue(raw[at + 2]) >= 0) {
            utf8::append(out, static_cast<unsigned>(hexValue(raw[at + 1]) * 16 + hexValue(raw[at + 2])));
            at += 2;
        } else {
            out += c;
        }
    }
    return out;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The letter escapes of C, which QSettings writes and reads: letter and
// character.
constexpr std::pair<char, char> kLetterEscapes[]
    = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'}, {'v', '\v'}};

std::optional<char> escapedCharacter(char letter)
{
    for (const auto& [escape, character] : kLetterEscapes)
        if (escape == letter)
            return character;
    return std::nullopt;
}

std::optional<char> escapeLetterOf(char character)
{
    for (const auto& [escape, plain] : kLetterEscapes)
        if (plain == character)
            return escape;
    return std::nullopt;
}

// The number of the digits in base (8 or 16) that follow raw[at], which is
// left at the last of them.
unsigned digitsAfter(std::string_view raw, std::size_t& at, unsigned base)
{
    const auto digit = [base](char c) {
        return base == 16 ? hexValue(c) : c >= '0' && c <= '7' ? c - '0' : -1;
    };
    unsigned code = 0;
    while (at + 1 < raw.size() && digit(raw[at + 1]) >= 0)
        code = code * base + static_cast<unsigned>(digit(raw[++at]));
    return code;
}

// A value as QSettings reads it: quoted parts with C escapes, unquoted parts
// as they stand (blanks around trimmed). A comma outside quotes is taken as
// text: QSettings would make a list of it, and no value of ours is one.
std::optional<std::string> unescapedValue(std::string_view raw)
{
    raw = trimmed(raw);
    std::string out;
    bool quoted = false;
    for (std::size_t at = 0; at < raw.size(); ++at) {
        const char c = raw[at];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (c != '\\' || at + 1 >= raw.size()) {
            out += c;
            continue;
        }
        const char e = raw[++at];
        if (const auto plain = escapedCharacter(e)) {
            out += *plain;
        } else if (e == 'x') {
            utf8::append(out, digitsAfter(raw, at, 16) & 0xFFFF);
        } else if (e >= '0' && e <= '7') {
            --at; // the first digit is the escape's own
            utf8::append(out, digitsAfter(raw, at, 8) & 0xFFFF);
        } else {
            out += e; // \" \\ \; \, \' \? and anything else: the character itself
        }
    }
    // Values of other types are written "@Type(...)"; a text beginning with
    // "@" is written with two.
    if (out.rfind("@@", 0) == 0)
        return out.substr(1);
    if (out.rfind("@ByteArray(", 0) == 0 && out.back() == ')')
        return out.substr(11, out.size() - 12);
    if (out.rfind('@', 0) == 0 && out.back() == ')')
        return std::nullopt;
    return out;
}

struct Line {
    std::string text;
    std::string group; // the group the line belongs to
    std::string key; // unescaped; empty for anything but a key line
};

std::vector<Line> linesOf(std::string_view text)
{
    std::vector<Line> lines;
    std::string group;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        Line line{std::string(text.substr(0, end)), {}, {}};
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::string_view content = trimmed(line.text);
        if (!content.empty() && content.front() == '[' && content.back() == ']') {
            group = unescapedKey(content.substr(1, content.size() - 2));
            if (group == "General")
                group.clear();
            else if (group == "%General")
                group = "General";
        } else if (!content.empty() && content.front() != ';' && content.front() != '#') {
            if (const std::size_t equals = content.find('='); equals != std::string_view::npos)
                line.key = unescapedKey(trimmed(content.substr(0, equals)));
        }
        line.group = group;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string_view valuePart(const std::string& line)
{
    return std::string_view(line).substr(line.find('=') + 1);
}

std::optional<std::string> readFile(const std::string& path, bool& absent)
{
    absent = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        absent = errno == ENOENT;
        return std::nullopt;
    }
    std::string text;
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return text;
}

bool makeFolders(const std::string& folder)
{
    if (folder.empty() || ::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST)
        return true;
    if (errno != ENOENT)
        return false;
    const std::size_t slash = folder.find_last_of('/');
    return slash != std::string::npos && slash > 0 && makeFolders(folder.substr(0, slash))
        && (::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST);
}

bool writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t put = io::write(fd, text.data(), text.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

} // namespace

std::map<std::string, std::string> parseGroup(std::string_view text, const std::string& group)
{
    // The last of several lines for one key counts, as it does for QSettings.
    std::map<std::string, std::string> values;
    for (const Line& line : linesOf(text)) {
        if (line.key.empty() || line.group != group)
            continue;
        if (auto value = unescapedValue(valuePart(line.text)))
            values[line.key] = std::move(*value);
        else
            values.erase(line.key);
    }
    return values;
}

std::optional<std::string> read(const std::string& path, const std::string& group, const std::string& name)
{
    bool absent = false;
    const auto text = readFile(path, absent);
    if (!text)
        return std::nullopt;
    auto values = parseGroup(*text, group);
    const auto found = values.find(name);
    if (found == values.end())
        return std::nullopt;
    return std::move(found->second);
}

std::optional<std::string> readString(
    const std::string& path, const std::string& group, const std::string& name, std::size_t bufferBytes)
{
    auto value = read(path, group, name);
    if (!value || value->size() + 1 > bufferBytes)
        return std::nullopt;
    return value;
}

std::optional<long long> toNumber(std::string_view text)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

std::optional<long long> readNumber(
    const std::string& path, const std::string& group, const std::string& name)
{
    const auto value = read(path, group, name);
    return value ? toNumber(*value) : std::nullopt;
}

std::string escapedValue(std::string_view value)
{
    std::string out = value.rfind('@', 0) == 0 ? "@" : "";
    bool needsQuotes = false;
    bool escapeNextIfHex = false;
    for (const char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (c == ';' || c == ',' || c == '=')
            needsQuotes = true;
        if (escapeNextIfHex && hexValue(c) >= 0) {
            // A digit after \x.. would be read as part of that escape.
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
            continue;
        }
        escapeNextIfHex = false;
        if (const auto letter = escapeLetterOf(c)) {
            out += '\\';
            out += *letter;
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
            escapeNextIfHex = true;
        } else {
            out += c;
        }
    }
    if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' ')))
        return '"' + out + '"';
    return out;
}

namespace {

// Sets one key of a group in the file's lines: in place where it is, else
// after the group's last line that is not blank (so that the blank line
// before the next group stays where it was), else in a new group at the end.
void setValue(
    std::vector<Line>& lines, const std::string& group, const std::string& name, const std::string& value)
{
    const std::string entry = escapedKey(name) + '=' + escapedValue(value);
    std::size_t lastOfGroup = lines.size();
    bool replaced = false;
    for (std::size_t at = 0; at < lines.size(); ++at) {
        if (lines[at].group != group)
            continue;
        if (!trimmed(lines[at].text).empty())
            lastOfGroup = at;
        if (lines[at].key == name) {
            lines[at].text = entry;
            replaced = true;
        }
    }
    if (replaced)
        return;
    Line line{entry, group, name};
    if (lastOfGroup < lines.size()) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastOfGroup) + 1, std::move(line));
        return;
    }
    if (!lines.empty() && !trimmed(lines.back().text).empty())
        lines.push_back({std::string(), lines.back().group, {}});
    const std::string header = group.empty() ? "General"
        : group == "General"                 ? "%General"
                                             : escapedKey(group);
    lines.push_back({'[' + header + ']', group, {}});
    lines.push_back(std::move(line));
}

// Replaces the file (through a symbolic link, the file it names) with the
// text: a new file beside it, renamed over it. A new file gets the umask's
// mode, a replaced one keeps its own.
bool replaceFile(const std::string& path, std::string_view text)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    const std::string target = resolved ? resolved : path;
    std::free(resolved);
    if (!makeFolders(folders::folderOf(target)))
        return false;
    struct stat info { };
    const bool existed = ::stat(target.c_str(), &info) == 0;
    std::string temporary = target + ".new-" + std::to_string(::getpid());
    ::unlink(temporary.c_str()); // left by an earlier process of the same number
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, text) && (!existed || ::fchmod(fd, info.st_mode & 07777) == 0);
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok && io::rename(temporary.c_str(), target.c_str()) == 0)
        return true;
    ::unlink(temporary.c_str());
    return false;
}

} // namespace

bool write(const std::string& path, const std::string& group,
    std::initializer_list<std::pair<std::string, std::string>> values)
{
    // A file that is there but cannot be read is never replaced by one that
    // holds only the new values.
    bool absent = false;
    const auto text = readFile(path, absent);
    if (!text && !absent)
        return false;
    std::vector<Line> lines = linesOf(text.value_or(std::string()));
    for (const auto& [name, value] : values)
        setValue(lines, group, name, value);
    std::string out;
    for (const Line& line : lines)
        out += line.text + '\n';
    return replaceFile(path, out);
}

} // namespace folyant::ini
