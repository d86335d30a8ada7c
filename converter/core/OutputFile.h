#pragma once

#include <string>

namespace folyant::converter {

// The PDF is never written where it is expected. The interpreter writes a
// working file made beside the target; only a finished PDF takes the target's
// name, in one rename that replaces whatever lies there (a symbolic link
// included, which is never followed), and a failed one is kept, if at all,
// under a name that says what it is.

// A new, empty working file in the target's folder, created exclusively, so
// that no file planted by another user is ever written or converted; empty
// when the folder takes none (errno says why).
std::string makeWorkingFile(const std::string& target);

// Gives the working file the target's name. The PDF takes the mode of the
// file it replaces when that is a file of this user's, otherwise the mode a
// new file gets. False when it could not (the working file stays).
bool publish(const std::string& working, const std::string& target);

// "NAME (TAG).pdf" beside the target: where a PDF that is not what was asked
// for is kept.
std::string taggedNameFor(const std::string& target, const std::string& tag);

// Moves the working file to "NAME (TAG).pdf", or "NAME (TAG 2).pdf" and so
// on when that exists: never over another file. The name it got, or empty
// when it could not be moved (it then stays where it was).
std::string keepAs(const std::string& working, const std::string& target, const std::string& tag);

} // namespace folyant::converter
