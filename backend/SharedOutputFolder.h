#pragma once

#include <string>

namespace folyant::backend {

// Whether an output folder is every user's (an absolute path) rather than
// each user's own (a path in the job user's home, written with "~").
bool isSharedOutputFolder(const std::string& configured);

// Makes a missing machine-wide output folder, as root, for every user: the
// folders above it root's with mode 0755, the folder itself root's with mode
// 1777, like /tmp, so that each user's PDFs in it stay that user's. Folders
// that exist are left as they are. A folder is made only inside one that no
// one but root can write to, where nobody can slip anything into its place.
// True when the folder exists afterwards; otherwise false with a reason.
bool prepareSharedOutputFolder(const std::string& folder, std::string& reason);

} // namespace folyant::backend
