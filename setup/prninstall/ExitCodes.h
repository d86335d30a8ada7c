#pragma once

namespace folyant::setup::exitcode {

// The printer tools' statuses: the print system is as asked, or it is not.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
// Called with arguments they do not take; nothing was changed.
inline constexpr int kUsage = 2;

} // namespace folyant::setup::exitcode
