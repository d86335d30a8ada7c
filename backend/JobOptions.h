#pragma once

#include <optional>
#include <string>

namespace folyant::backend {

// The converter's /quality for the job's FolyantQuality option (Prepress 0,
// Printer 1, Screen 2), or nothing when the job does not set it.
std::optional<int> qualityFromOptions(const std::string& options);

} // namespace folyant::backend
