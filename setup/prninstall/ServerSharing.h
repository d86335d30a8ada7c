#pragma once

#include <functional>
#include <string>
#include <vector>

namespace folyant {

// The operation policy of a queue shared over the network: printing needs an
// authenticated user (a local client's peer credentials over the print
// system's socket, a password or a ticket from another machine, over TLS
// there), and a job is its owner's and the administrator's.
inline constexpr const char* kSharedPolicy = "folyant-shared";

// The policy's block as the print system's configuration holds it.
std::string sharedPolicyBlock();

// Makes the print system share printers and know kSharedPolicy: sharing is
// switched on as cupsctl --share-printers does, and the policy block is
// appended to cupsd.conf when no policy of that name is there; nothing else
// of the configuration changes. Each change made is one line in changes;
// false with the reason in error when the print system refused.
bool shareServer(std::vector<std::string>& changes, std::string& error);

// A request to a print system that may be restarting: tried again for a few
// seconds until it succeeds.
bool retried(const std::function<bool()>& request);

} // namespace folyant
