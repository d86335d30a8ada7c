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
        while (at < options.size() && isSpace(options[at]))
            ++at;
        const std::size_t nameStart = at;
        while (at < options.size() && !isSpace(options[at]) && options[at] != '=')
            ++at;
        const std::string_view optionName = options.substr(nameStart, at - nameStart);
        if (optionName.empty())
            break;
        while (at < options.size() && isSpace(options[at]))
            ++at;
        if (at >= options.size() || options[at] != '=') {
            // A bare name: "name" is true, "noname" false.
            if (sameName(optionName.substr(0, std::min<std::size_t>(2, optionName.size())), "no")) {
                if (sameName(optionName.substr(2), name))
                    found = "false";
            } else if (sameName(optionName, name)) {
                found = "true";
            }
            continue;
        }
        ++at;
        // The value, up to a space: quoted parts (quotes removed, a
        // backslash keeps the next character), collections in braces (kept
        // as written) and commas, one after another, then plain text with
        // backslash escapes to the end.
        std::string value;
        while (at < options.size() && !isSpace(options[at])) {
            const char c = options[at];
            if (c == ',') {
                // After a quoted part or a collection, a list goes on.
                value += c;
                ++at;
            } else if (c == '\'' || c == '"') {
                for (++at; at < options.size() && options[at] != c; ++at) {
                    if (options[at] == '\\' && at + 1 < options.size())
                        ++at;
                    value += options[at];
                }
                if (at < options.size())
                    ++at;
            } else if (c == '{') {
                for (int depth = 0; at < options.size(); ++at) {
                    if (options[at] == '\\' && at + 1 < options.size()) {
                        ++at;
                    } else if (options[at] == '{') {
                        ++depth;
                    } else if (options[at] == '}' && --depth == 0) {
                        value += options[at++];
                        break;
                    }
                    value += options[at];
                }
            } else {
                for (; at < options.size() && !isSpace(options[at]); ++at) {
                    if (options[at] == '\\' && at + 1 < options.size())
                        ++at;
                    value += options[at];
                }
            }
        }
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
