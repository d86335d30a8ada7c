#include "converter/core/FolderChecks.h"

#include "platform/MessageBox.h"

#include <sys/stat.h>

namespace folyant::converter {

namespace {

bool isFolder(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string withPath(const char* format, const std::string& path)
{
    std::string text = format;
    text.replace(text.find("%s"), 2, path);
    return text;
}

} // namespace

bool IsValidFolderName(const std::string& name)
{
    if (name.empty())
        return false;
    auto edge = [](char c) { return c == '\t' || c == ' ' || c == '.'; };
    if (edge(name.front()) || edge(name.back()))
        return false;
    return name.find_first_of("\"*/:<>?\\|") == std::string::npos;
}

int CheckFolderPath(const std::string& path, bool checkOnly)
{
    if (path.empty() || path.size() > kMaxFolderPath || path[0] != '/')
        return kFolderMalformed;
    if (path.size() == 1)
        return checkOnly || isFolder(path) ? kFolderGood : kFolderNotCreated;

    std::size_t start = 1;
    for (;;) {
        const std::size_t end = path.find('/', start);
        const std::string name
            = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!IsValidFolderName(name))
            return kFolderMalformed;
        if (!checkOnly) {
            const std::string upTo = path.substr(0, end);
            ::mkdir(upTo.c_str(), 0777);
            if (!isFolder(upTo))
                return kFolderNotCreated;
        }
        if (end == std::string::npos)
            return kFolderGood;
        if (end + 1 == path.size())
            return kFolderMalformed;
        start = end + 1;
    }
}

int ConfirmFolder(const std::string& path, MessageBox& messages)
{
    int code = CheckFolderPath(path, true);
    if (code == kFolderGood) {
        if (isFolder(path))
            return kFolderGood;
        const auto answer = messages.show(
            withPath("The folder:\n\n%s\n\ndoes not exist. Do you want the folder to be created?", path),
            MessageButtons::YesNo, MessageIcon::Question, MessageAnswer::Yes);
        if (answer != MessageAnswer::Yes)
            return kFolderDeclined;
        code = CheckFolderPath(path, false);
        if (code == kFolderGood)
            return kFolderGood;
    }
    messages.show(
        withPath(code == kFolderMalformed ? "The folder:\n\n%s\n\nis invalid. Please reenter."
                                          : "The folder:\n\n%s\n\ncan not be created. Please double check.",
            path),
        MessageButtons::Ok, MessageIcon::Warning);
    return code;
}

} // namespace folyant::converter
