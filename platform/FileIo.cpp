#include "platform/FileIo.h"

#include <stdio.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <string_view>

namespace folyant::io {

namespace {

struct Fault {
    int countdown = 0; // calls left before the failing one; 0 for none
    int error = 0;
};

std::array<Fault, 3>& faults()
{
    static std::array<Fault, 3> planned = [] {
        std::array<Fault, 3> fromEnvironment{};
        const char* text = std::getenv(kFaultVariable);
        if (!text)
            return fromEnvironment;
        const std::string_view plan(text);
        const std::size_t first = plan.find(':');
        const std::size_t second = plan.find(':', first + 1);
        if (first == std::string_view::npos || second == std::string_view::npos)
            return fromEnvironment;
        const std::string_view operation = plan.substr(0, first);
        int nth = 0;
        const std::string_view count = plan.substr(first + 1, second - first - 1);
        std::from_chars(count.data(), count.data() + count.size(), nth);
        const std::string_view name = plan.substr(second + 1);
        const int error = name == "ENOSPC" ? ENOSPC : name == "EACCES" ? EACCES : EIO;
        const std::size_t index = operation == "read" ? 0
            : operation == "write"                    ? 1
            : operation == "rename"                   ? 2
                                                      : 3;
        if (index < fromEnvironment.size() && nth > 0)
            fromEnvironment[index] = {nth, error};
        return fromEnvironment;
    }();
    return planned;
}

// Whether this call is the planned failing one; errno is then set.
bool fails(Operation operation)
{
    Fault& fault = faults()[static_cast<std::size_t>(operation)];
    if (fault.countdown == 0 || --fault.countdown > 0)
        return false;
    errno = fault.error;
    return true;
}

} // namespace

ssize_t read(int fd, void* buffer, std::size_t size)
{
    return fails(Operation::Read) ? -1 : ::read(fd, buffer, size);
}

ssize_t write(int fd, const void* buffer, std::size_t size)
{
    return fails(Operation::Write) ? -1 : ::write(fd, buffer, size);
}

int rename(const char* from, const char* to)
{
    return fails(Operation::Rename) ? -1 : ::rename(from, to);
}

void failAt(Operation operation, int nth, int error)
{
    faults()[static_cast<std::size_t>(operation)] = {nth > 0 ? nth : 0, error};
}

} // namespace folyant::io
