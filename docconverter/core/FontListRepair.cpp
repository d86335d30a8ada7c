#include "docconverter/core/FontListRepair.h"

#include "platform/WordProcessorFonts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

namespace folyant::docconverter {

namespace {
constexpr std::size_t kFontPathBuffer = 512;

std::optional<std::string> contentOf(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat info { };
    bool good = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    std::string content;
    char buffer[16384];
    while (good) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        good = got >= 0;
        if (got <= 0)
            break;
        content.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    if (!good)
        return std::nullopt;
    return content;
}

// Writes content to a file that must not exist yet, synced; false (and no
// file left) when any of it failed.
bool writeNew(const std::string& path, const std::string& content)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return false;
    bool good = true;
    for (std::size_t done = 0; good && done < content.size();) {
        const ssize_t put = ::write(fd, content.data() + done, content.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        good = put > 0;
        if (good)
            done += static_cast<std::size_t>(put);
    }
    good = good && ::fsync(fd) == 0;
    good = ::close(fd) == 0 && good;
    if (!good)
        std::remove(path.c_str());
    return good;
}

// A verified copy under a new name, renamed over target: the target is
// either as it was or the whole of content, never half written.
bool replaceWith(const std::string& target, const std::string& content)
{
    std::string partial = target + ".XXXXXX";
    const int fd = ::mkstemp(partial.data());
    if (fd < 0)
        return false;
    ::close(fd);
    std::remove(partial.c_str());
    const bool good = writeNew(partial, content) && contentOf(partial) == content
        && std::rename(partial.c_str(), target.c_str()) == 0;
    if (!good)
        std::remove(partial.c_str());
    return good;
}
} // namespace

FontListRepair::FontListRepair(const WordProcessorFonts& fonts, std::string libFolder)
    : m_fonts(fonts)
    , m_libFolder(std::move(libFolder))
{
}

FontListRepair::~FontListRepair()
{
    RestoreFontList();
}

void FontListRepair::ReplaceFontList(std::time_t now)
{
    const auto folder = m_fonts.fontPath(kFontPathBuffer);
    if (!folder)
        return;
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "_%y%m%d%H%M%S", &local);
    // The folder is a prefix, as its settings keep it: no separator is added.
    m_userList = *folder + "FontList.lst";
    m_ownList = m_libFolder + "/FontList.lst";
    m_backup = *folder + "FontList" + stamp + ".bak";
    m_backedUp = false;

    const auto users = contentOf(m_userList);
    if (users) {
        // Never over another backup: it may hold the only copy of a list.
        if (!writeNew(m_backup, *users))
            return;
        if (contentOf(m_backup) != users) {
            std::remove(m_backup.c_str());
            return;
        }
        m_backedUp = true;
    }
    m_active = true;
    if (const auto ours = contentOf(m_ownList))
        replaceWith(m_userList, *ours);
}

void FontListRepair::RestoreFontList()
{
    if (!m_active)
        return;
    m_active = false;
    if (!m_backedUp)
        return;
    const auto saved = contentOf(m_backup);
    if (saved && replaceWith(m_userList, *saved))
        std::remove(m_backup.c_str());
}

} // namespace folyant::docconverter
