#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

// Small files read and written whole, for settings and lists that a job
// changes and must put back (printer choices, a font list).
namespace folyant::wholefile {

// The content of a regular file; nothing when it cannot be read whole, with
// errno telling why (ENOENT: there is no such file). A link is followed only
// when followLinks is set.
std::optional<std::string> read(const std::string& path, bool followLinks);

// Writes content to a file that must not exist yet (never through a link),
// synced; false, with no file left, when any step failed.
bool createNew(const std::string& path, const std::string& content, mode_t mode);

// Writes content to a new file beside path, synced, and renames it over path:
// a reader never sees it half written, and a full disk leaves the old file as
// it was. A link at path is replaced, not written through.
bool replace(const std::string& path, const std::string& content, mode_t mode);

} // namespace folyant::wholefile
