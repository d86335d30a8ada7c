#pragma once

#include <QVariant>

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace folyant::ini {

// Small helpers over QSettings' INI format that report failure instead of
// silently keeping an in-memory copy.
std::optional<QVariant> read(const std::string& path, const QString& group, const std::string& name);
// A text value that fits bufferBytes with its terminator, or nothing.
std::optional<std::string> readString(
    const std::string& path, const QString& group, const std::string& name, std::size_t bufferBytes);
bool write(const std::string& path, const QString& group, const std::string& name, const QVariant& value);
// Several values in one rewrite of the file, so that no reader sees some of
// them changed and others not.
bool write(const std::string& path, const QString& group,
    std::initializer_list<std::pair<const char*, QVariant>> values);

// The values of the [General] group of an INI text as QSettings writes it
// (keys with %XX escapes, values plain or in double quotes), for files that
// must be read from a descriptor already checked.
std::map<std::string, std::string> parseGeneral(std::string_view text);

} // namespace folyant::ini
