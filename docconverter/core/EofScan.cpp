#include "docconverter/core/EofScan.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace folyant::docconverter {

void EofScan::scan(std::string_view chunk)
{
    for (const char c : chunk) {
        if (found())
            return;
        m_matched = c == kMarker[m_matched] ? m_matched + 1 : 0;
    }
}

bool IsPostScriptComplete(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    std::vector<char> buffer(65535);
    EofScan scan;
    bool readable = true;
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            readable = false;
        if (got <= 0 || scan.found())
            break;
        scan.scan(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
    ::close(fd);
    return readable && scan.found();
}

} // namespace folyant::docconverter
