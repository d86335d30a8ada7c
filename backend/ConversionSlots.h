#pragma once

#include <string>

namespace folyant::backend {

// One of the places among the conversions the machine runs at once, held
// until destroyed. The places are lock files in a folder only root can
// enter, so that no user can take one, hold one, or put anything there for
// the backend to wait on: a place is held only by a running backend.
class ConversionSlot {
public:
    ConversionSlot() = default;
    explicit ConversionSlot(int fd)
        : m_fd(fd)
    {
    }
    ~ConversionSlot();
    ConversionSlot(ConversionSlot&& other) noexcept
        : m_fd(other.m_fd)
    {
        other.m_fd = -1;
    }
    ConversionSlot& operator=(ConversionSlot&& other) noexcept;
    ConversionSlot(const ConversionSlot&) = delete;
    ConversionSlot& operator=(const ConversionSlot&) = delete;

    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

enum class SlotWait {
    Taken,
    // The folder is not root's own (or could not be made): no limit holds.
    Unusable,
    // Every place stayed busy for the whole wait.
    TimedOut,
    Cancelled,
};

// Makes the folder root's, mode 0700, when it is missing; an existing one
// must be a real folder of root's with no access for others.
bool prepareSlotFolder(const std::string& folder, std::string& reason);

// Takes a free place among count in the folder, waiting for one at most
// waitMilliseconds (a holder is a conversion that ends within its own time
// limit); cancelled() ends the wait early.
SlotWait takeSlot(
    const std::string& folder, int count, int waitMilliseconds, bool (*cancelled)(), ConversionSlot& slot);

} // namespace folyant::backend
