#include "backend/JobOptions.h"

#include <strings.h>

#include <algorithm>

namespace folyant::backend {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace

namespace {

void skipSpaces(std::string_view text, std::size_t& at)
{
    while (at < text.size() && isSpace(text[at]))
        ++at;
}

// A quoted part at text[at], its quotes removed and a backslash keeping the
// next character.
void readQuoted(std::string_view text, std::size_t& at, std::string& value)
{
    const char quote = text[at];
    for (++at; at < text.size() && text[at] != quote; ++at) {
        if (text[at] == '\\' && at + 1 < text.size())
            ++at;
        value += text[at];
    }
    if (at < text.size())
        ++at;
}

// A collection in braces at text[at], kept as written but for its escapes.
void readCollection(std::string_view text, std::size_t& at, std::string& value)
{
    for (int depth = 0; at < text.size(); ++at) {
        if (text[at] == '\\' && at + 1 < text.size()) {
            ++at;
        } else if (text[at] == '{') {
            ++depth;
        } else if (text[at] == '}' && --depth == 0) {
            value += text[at++];
            return;
        }
        value += text[at];
    }
}

// The value after "=", up to a space: quoted parts, collections and commas,
// one after another, then plain text with backslash escapes to the end.
std::string readValue(std::string_view text, std::size_t& at)
{
    std::string value;
    while (at < text.size() && !isSpace(text[at])) {
        const char c = text[at];
        if (c == ',') {
            // After a quoted part or a collection, a list goes on.
            value += c;
            ++at;
        } else if (c == '\'' || c == '"') {
            readQuoted(text, at, value);
        } else if (c == '{') {
            readCollection(text, at, value);
        } else {
            for (; at < text.size() && !isSpace(text[at]); ++at) {
                if (text[at] == '\\' && at + 1 < text.size())
                    ++at;
                value += text[at];
            }
        }
    }
    return value;
}

// What a bare option says of name: "name" is true, "noname" false.
std::optional<std::string> bareValue(std::string_view optionName, std::string_view name)
{
    if (sameName(optionName.substr(0, std::min<std::size_t>(2, optionName.size())), "no"))
        return sameName(optionName.substr(2), name) ? std::optional<std::string>("false") : std::nullopt;
    return sameName(optionName, name) ? std::optional<std::string>("true") : std::nullopt;
}

} // namespace

std::optional<std::string> optionValue(std::string_view options, std::string_view name)
{
    std::optional<std::string> found;
    std::size_t at = 0;
    // The whole argument may be one collection in braces.
    if (options.size() >= 2 && options.front() == '{' && options.back() == '}') {
        ++at;
        options.remove_suffix(1);
    }
    while (at < options.size()) {
        skipSpaces(options, at);
        const std::size_t nameStart = at;
        while (at < options.size() && !isSpace(options[at]) && options[at] != '=')
            ++at;
        const std::string_view optionName = options.substr(nameStart, at - nameStart);
        if (optionName.empty())
            break;
        skipSpaces(options, at);
        if (at >= options.size() || options[at] != '=') {
            if (auto value = bareValue(optionName, name))
                found = std::move(value);
            continue;
        }
        ++at;
        std::string value = readValue(options, at);
        if (sameName(optionName, name))
            found = std::move(value);
    }
    return found;
}

std::optional<int> qualityFromOptions(const std::string& options)
{
    const auto value = optionValue(options, "FolyantQuality");
    if (!value)
        return std::nullopt;
    if (strcasecmp(value->c_str(), "Prepress") == 0)
        return 0;
    if (strcasecmp(value->c_str(), "Printer") == 0)
        return 1;
    if (strcasecmp(value->c_str(), "Screen") == 0)
        return 2;
    return std::nullopt;
}

std::string originatingHost(std::string_view options, const std::string& localHost)
{
    std::string host = optionValue(options, "job-originating-host-name").value_or("");
    if (host.empty() || sameName(host, "localhost") || host == "127.0.0.1" || host == "::1" || host == "[::1]"
        || host[0] == '/')
        return localHost;
    return host;
}

} // namespace folyant::backend
