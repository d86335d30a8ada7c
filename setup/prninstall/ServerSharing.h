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

// The policy's block as it is appended to the print system's configuration;
// its comment says whether sharing was switched on with it.
std::string sharedPolicyBlock(bool switchedSharingOn);

// Makes the print system share printers and know kSharedPolicy: sharing is
// switched on as cupsctl --share-printers does, and the policy block is
// appended to cupsd.conf when no policy of that name is there; nothing else
// of the configuration changes. Each change made is one line in changes;
// false with the reason in error when the print system refused.
bool shareServer(std::vector<std::string>& changes, std::string& error);

// Whether QUEUE (any queue when empty) is under kSharedPolicy.
bool underSharedPolicy(const std::string& queue);

// Puts QUEUE, which the print system has, under kSharedPolicy and shares
// it, keeping its jobs and settings; what changed goes into changes.
bool shareQueue(const std::string& queue, std::vector<std::string>& changes, std::string& error);

// Undoes shareServer once no queue is under kSharedPolicy: the block it
// appended goes from cupsd.conf (one changed by hand stays, said in
// changes), and sharing is switched off again where that block says it was
// off before. Changes and error as for shareServer.
bool unshareServer(std::vector<std::string>& changes, std::string& error);

// A request to a print system that may be restarting: tried again for a few
// seconds until it succeeds.
bool retried(const std::function<bool()>& request);

} // namespace folyant
