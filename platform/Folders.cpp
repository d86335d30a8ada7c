#include "platform/Folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace folyant::folders {

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    return accountHome();
}

std::string accountHome()
{
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir && *entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::string userConfigFolder()
{
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    if (configured && configured[0] == '/')
        return configured;
    return homeFolder() + "/.config";
}

std::string tempFolder()
{
    const char* configured = std::getenv("TMPDIR");
    if (configured && configured[0] == '/')
        return configured;
    return "/tmp";
}

std::string programFolder()
{
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return {};
    return folderOf(std::string(self, static_cast<std::size_t>(length)));
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string titleOf(const std::string& path)
{
    std::string name = fileNameOf(path);
    if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

} // namespace folyant::folders
