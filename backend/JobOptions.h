#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folyant::backend {

// The value of one option of the options argument that cupsd gives a backend
// ("name=value name='quoted value' flag noflag ..."), read as CUPS' own
// option parser reads it: names are matched whatever their case, the last
// one counts, a bare name is "true" and a bare "noname" is name "false".
// Read here rather than through libcups, whose start-up (TLS, Kerberos,
// D-Bus) would be most of the backend's own time per job.
std::optional<std::string> optionValue(std::string_view options, std::string_view name);

// The converter's /quality for the job's FolyantQuality option (Prepress 0,
// Printer 1, Screen 2), or nothing when the job does not set it.
std::optional<int> qualityFromOptions(const std::string& options);

// The host a job came from, as the print system recorded it
// (job-originating-host-name); this machine's own name (localHost) for a job
// of this machine, which the print system calls "localhost" or names by a
// loopback address.
std::string originatingHost(std::string_view options, const std::string& localHost);

} // namespace folyant::backend
