#pragma once

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>

// The desktop agent's socket: how a print job of a user with a desktop
// session reaches that session. The job's data travels as an open file
// descriptor (SCM_RIGHTS), never as a path someone could swap, with a few
// named values beside it. Both ends use this; the agent listens, the backend
// hands over.
namespace folyant::agent {

// The values that travel with a job (title, proposed name, copies, options,
// quality, ...), by name.
using JobValues = std::map<std::string, std::string>;

inline constexpr const char* kTitle = "title";
inline constexpr const char* kProposedName = "name"; // the PDF's name as the backend would choose it
inline constexpr const char* kCopies = "copies";
inline constexpr const char* kOptions = "options";
inline constexpr const char* kQuality = "quality";
inline constexpr const char* kJobId = "job-id";

// The user's runtime folder: $FOLYANT_RUNTIME_ROOT/UID when that is set (for
// tests), otherwise /run/user/UID, where the session manager keeps it.
std::string runtimeFolderOf(uid_t uid);

// The agent's folder in a runtime folder, and its socket.
std::string agentFolder(const std::string& runtimeFolder);
std::string socketPath(const std::string& runtimeFolder);

// The agent's listening socket, made in the runtime folder of the calling
// user: the folder "folyant" (mode 0700, made if missing, refused if it is
// not the user's own or others can enter it) and a fresh socket in it, which
// replaces the one an earlier agent left. -1 with why set when impossible.
int listenForJobs(const std::string& runtimeFolder, std::string& why);

// Another agent of this user answering on the socket: one per user and
// session.
bool agentAnswers(const std::string& runtimeFolder);

enum class Handover {
    Delivered, // the agent took the job and confirmed it
    NoAgent, // no socket, or nobody listening on it
    Untrusted, // folder, socket or listener not the user's: nothing was sent
    NoAnswer, // the agent did not acknowledge in time; it will not act on the job
};

// Backend side: hands the open job file to the agent of user uid and waits at
// most timeoutMilliseconds in all for its acknowledgement. Checks
// first that the runtime folder, the agent's folder and the socket belong to
// uid (not following links) and, once connected, that the listening process
// runs as uid (its peer credentials). why says what failed.
Handover handOver(int jobFile, const JobValues& values, uid_t uid, const std::string& runtimeFolder,
    int timeoutMilliseconds, std::string& why);

// Agent side: one job, received on an accepted connection.
struct ReceivedJob {
    int file = -1; // owned by the receiver
    JobValues values;
};

// Reads a job from a connection (waiting at most timeoutMilliseconds for
// each part), acknowledges it and waits for the backend's confirmation. Only
// a confirmed job is returned: a backend that gave up waiting converts the
// job itself, and the agent must not do it twice. Refuses a peer that is not
// the agent's own user and anything but a regular file.
std::optional<ReceivedJob> receiveJob(int connection, int timeoutMilliseconds, std::string& why);

} // namespace folyant::agent
