#pragma once

#include <sys/types.h>

#include <string>

namespace folyant::backend {

// The machine setting that names where the PDFs of jobs from another machine
// that nobody authenticated go. Unset or empty, such jobs are refused.
inline constexpr const char* kAnonymousFolder = "AnonymousFolder";

// The system account those jobs are converted as. It is neither root nor any
// name a client can write, and owns nothing else: a hostile job that got out
// of the interpreter reaches no user's files and no other job's spool data
// (which the print system's own account, lp, can read).
inline constexpr const char* kAnonymousAccount = "folyant-anonymous";

// Whether FOLDER may receive PDFs written as the account (ACCOUNT, GROUP).
// Only root and that account may be able to change what the folder holds or
// where its path leads: every folder on its way (links resolved) must be
// root's and writable by no one else unless sticky; the folder itself must be
// root's or the account's, writable by no other user and no group but root's
// or the account's. Other users may not write to it even when it is sticky:
// they could fill it with names that look like jobs. Empty when it may, the
// reason otherwise.
std::string refuseAnonymousFolder(const std::string& folder, uid_t account, gid_t group);

} // namespace folyant::backend
