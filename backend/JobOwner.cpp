#include "backend/JobOwner.h"

#include "backend/JobOptions.h"

#include <cstdlib>

namespace folyant::backend {

bool isLocalHost(std::string_view host)
{
    if (host.size() > 1 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    return host.empty() || host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0
        || host.rfind("::ffff:127.", 0) == 0;
}

Ownership judgeOwnership(const JobOrigin& origin)
{
    const bool vouched = !origin.authenticatedUser.empty()
        && (origin.authInfoRequired.empty() || origin.authInfoRequired == "none");
    if (vouched)
        return origin.authenticatedUser == origin.user ? Ownership::Authenticated : Ownership::Mismatch;
    return isLocalHost(origin.host) ? Ownership::Local : Ownership::RemoteUnauthenticated;
}

JobOrigin currentOrigin(const std::string& user, const std::string& options)
{
    const auto environment = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    return {user, environment("AUTH_USERNAME"), environment("AUTH_INFO_REQUIRED"),
        optionValue(options, "job-originating-host-name").value_or("")};
}

} // namespace folyant::backend
