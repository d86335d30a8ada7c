#pragma once

#include <optional>
#include <string>

namespace folyant {

// The desktop's file-open and file-save dialogs.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // A file to read, or nothing when the user cancelled. filter is in the
    // "Name (*.a *.b)" form.
    virtual std::optional<std::string> openFile(const std::string& filter) = 0;
    // A file to write, starting from proposedName; the dialog asks before an
    // existing file is chosen. Nothing when the user cancelled.
    virtual std::optional<std::string> saveFile(
        const std::string& proposedName, const std::string& defaultSuffix, const std::string& filter)
        = 0;
};

// A run without a window has no file dialogs: every one is cancelled.
class NoFileDialogs final : public FileDialogs {
public:
    std::optional<std::string> openFile(const std::string&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const std::string&, const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
};

} // namespace folyant
