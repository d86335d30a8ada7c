#include "session/core/SaveChoice.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace folyant::session {

ConverterWords converterWords(const SaveChoice& choice)
{
    ConverterWords words;
    // The output path is the command line's first value word, and absolute:
    // a word with a "/" after its first letter is never a switch.
    words.visible.push_back(choice.path());
    if (choice.quality >= 0 && choice.quality <= 2) {
        words.visible.emplace_back("/quality");
        words.visible.push_back(std::to_string(choice.quality));
    }
    if (choice.mail)
        words.visible.emplace_back("/emailpdf");
    if (choice.openAfterSaving)
        words.visible.emplace_back("/showpdf");
    if (!choice.appendTo.empty()) {
        words.visible.emplace_back("/append");
        words.visible.push_back(choice.appendTo);
    }
    if (choice.protect) {
        // Print, modify, copy, annotate: granted where the digit is 1.
        std::string permissions = "0000";
        permissions[0] = choice.allowPrinting ? '1' : '0';
        permissions[2] = choice.allowCopying ? '1' : '0';
        words.hidden
            = {"/security", choice.userPassword, choice.ownerPassword, permissions, choice.encryption};
    }
    return words;
}

std::vector<SaveChoice> combinedChoices(const SaveChoice& first, std::size_t jobs)
{
    std::vector<SaveChoice> choices;
    for (std::size_t job = 0; job < jobs; ++job) {
        SaveChoice choice = first;
        if (job > 0)
            choice.appendTo = first.path();
        if (job + 1 < jobs) {
            choice.protect = choice.mail = choice.openAfterSaving = false;
            choice.userPassword.clear();
            choice.ownerPassword.clear();
        }
        choices.push_back(std::move(choice));
    }
    return choices;
}

bool isUsablePassword(const std::string& password)
{
    return password.empty() || (password[0] != '-' && password[0] != '/');
}

std::optional<std::string> pdfFileName(const std::string& typed)
{
    std::string name = typed;
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
        name.pop_back();
    const bool hasControl = std::any_of(
        name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos || hasControl)
        return std::nullopt;
    const auto endsInPdf = [&name] {
        if (name.size() < 4)
            return false;
        std::string end = name.substr(name.size() - 4);
        std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
        return end == ".pdf";
    };
    if (!endsInPdf())
        name += ".pdf";
    return name;
}

std::string startFolder(const std::string& lastUsed, const std::optional<std::string>& machineOutputFolder,
    const std::string& home)
{
    struct stat info { };
    if (!lastUsed.empty() && ::stat(lastUsed.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return lastUsed;
    std::string folder = machineOutputFolder.value_or("");
    if (folder.empty())
        folder = "~/PDF";
    if (folder == "~" || folder.rfind("~/", 0) == 0)
        folder = home + folder.substr(1);
    return folder;
}

} // namespace folyant::session
