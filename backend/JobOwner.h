#pragma once

#include <string>
#include <string_view>

namespace folyant::backend {

// Whose job the print system handed over, and whether the backend may act
// as that account.
enum class Ownership {
    // The print system authenticated the job's user: a password, a ticket,
    // or the peer credentials of its local socket.
    Authenticated,
    // Not authenticated, from this machine: the queue's policy decides what
    // a local name is worth, as for any local queue.
    Local,
    // Not authenticated, from another machine: only a name the client
    // wrote, which nobody vouches for.
    RemoteUnauthenticated,
    // Authenticated as one account, named as another.
    Mismatch,
};

// What cupsd tells a backend about the job's origin.
struct JobOrigin {
    std::string user; // the job's user, argv[2]
    std::string authenticatedUser; // AUTH_USERNAME, empty when unset
    std::string authInfoRequired; // AUTH_INFO_REQUIRED, empty when unset
    std::string host; // the job's job-originating-host-name option
};

// cupsd sets AUTH_USERNAME for a request it authenticated, as long as the
// queue asks clients for no auth-info of their own: where it does, that
// name is what the client sent and proves nothing.
Ownership judgeOwnership(const JobOrigin& origin);

// Whether cupsd recorded the job as coming from this machine: its local
// socket and the loopback addresses are "localhost" or the address itself.
// A job without the attribute (a backend run by hand) is local.
bool isLocalHost(std::string_view host);

// The origin of the running job, from the backend's environment and options.
JobOrigin currentOrigin(const std::string& user, const std::string& options);

} // namespace folyant::backend
