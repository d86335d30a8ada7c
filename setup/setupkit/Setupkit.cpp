#include "setup/setupkit/Setupkit.h"

#include "installation/PrinterDriverFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kPrinterBuffer = 255;
constexpr std::size_t kDataBuffer = 1024;

// Copies text with its terminator when it fits; false otherwise.
bool copyBounded(char* buffer, const std::string& text, std::size_t bufferBytes)
{
    if (text.size() + 1 > bufferBytes)
        return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return {};
}

} // namespace

extern "C" int GetPrinterDirectory(char* buffer)
{
    if (!buffer)
        return -1;
    return copyBounded(buffer, folyant::printerDriverFolder(), kPrinterBuffer) ? 1 : -1;
}

extern "C" int GetWordDirectory(char* buffer)
{
    if (!buffer)
        return -1;
    std::string folder;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/') {
        folder = data;
    } else if (const std::string home = homeFolder(); !home.empty()) {
        folder = home + "/.local/share";
    }
    if (folder.empty() || !copyBounded(buffer, folder, kDataBuffer)) {
        buffer[0] = '\0';
        return -1;
    }
    return 1;
}

CSetupkit::CSetupkit() = default;

CSetupkit& CSetupkit::operator=(const CSetupkit&)
{
    return *this;
}
