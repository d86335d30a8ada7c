#include "platform/Session.h"

#include <cstdlib>
#include <cstring>

namespace folyant::session {

namespace {
bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}
} // namespace

bool isUnattended()
{
    const char* flag = std::getenv("FOLYANT_UNATTENDED");
    if (flag && std::strcmp(flag, "1") == 0)
        return true;
    return !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY");
}

} // namespace folyant::session
