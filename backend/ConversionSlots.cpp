#include "backend/ConversionSlots.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace folyant::backend {

ConversionSlot::~ConversionSlot()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

ConversionSlot& ConversionSlot::operator=(ConversionSlot&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

bool prepareSlotFolder(const std::string& folder, std::string& reason)
{
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        reason = std::strerror(errno);
        return false;
    }
    struct stat info { };
    if (::lstat(folder.c_str(), &info) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != 0 || (info.st_mode & 0077) != 0) {
        reason = "it is not a folder of root's alone";
        return false;
    }
    return true;
}

SlotWait takeSlot(
    const std::string& folder, int count, int waitMilliseconds, bool (*cancelled)(), ConversionSlot& slot)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMilliseconds);
    for (;;) {
        for (int place = 0; place < count; ++place) {
            const std::string path = folder + "/conversion-" + std::to_string(place);
            const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd < 0)
                return SlotWait::Unusable;
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                slot = ConversionSlot(fd);
                return SlotWait::Taken;
            }
            ::close(fd);
        }
        if (cancelled())
            return SlotWait::Cancelled;
        if (waitMilliseconds >= 0 && Clock::now() >= deadline)
            return SlotWait::TimedOut;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

} // namespace folyant::backend
