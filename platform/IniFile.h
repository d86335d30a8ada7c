#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace folyant::ini {

// The INI files of the suite, in the format QSettings reads and writes (keys
// with %XX escapes, values plain or in double quotes with C escapes), so that
// files written by earlier versions, by hand and by the installer all read
// the same. Failures are reported, never kept in memory. An empty group is
// [General].

// The value as text, or nothing when the file, the group or the key is absent.
std::optional<std::string> read(const std::string& path, const std::string& group, const std::string& name);
// A text value that fits bufferBytes with its terminator, or nothing.
std::optional<std::string> readString(
    const std::string& path, const std::string& group, const std::string& name, std::size_t bufferBytes);
// A whole number (blanks around it allowed), or nothing.
std::optional<long long> readNumber(
    const std::string& path, const std::string& group, const std::string& name);
std::optional<long long> toNumber(std::string_view text);

// Several values in one rewrite of the file (to a temporary file renamed over
// it), so that no reader sees some of them changed and others not; the rest
// of the file, comments included, stays as it was.
bool write(const std::string& path, const std::string& group,
    std::initializer_list<std::pair<std::string, std::string>> values);

// The values of one group of an INI text, by unescaped key.
std::map<std::string, std::string> parseGroup(std::string_view text, const std::string& group = {});

// A value as it is written after "=": quoted when it must be.
std::string escapedValue(std::string_view value);

} // namespace folyant::ini
