#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace folyant::handoff {

// The hand-off of one print job to the document converter. It is armed by a
// user in that user's own state folder, so the backend, acting as the job's
// user, can only ever see the record of the job's own user.
struct Record {
    int askName = 1; // 0: the next job goes to the spool file
    std::int64_t tickCount = 0; // when it was armed, in milliseconds since boot
    std::string psFileName; // where the job must be written
};

// The user's state folder for the hand-off: HOME/.local/state/folyant.
std::string folderFor(const std::string& home);
// The only spool path the suite ever names: FOLDER/temp.ps.
std::string spoolPathFor(const std::string& home);

// Milliseconds since boot, as tick counts are kept.
std::int64_t currentTickCount();

// How long an armed hand-off stays valid.
inline constexpr std::int64_t kValidMilliseconds = 180000;

// The user's record, or nothing when there is none. An "Ask Name" that is not
// a number reads as 1: a garbled record never arms the hand-off.
std::optional<Record> read(const std::string& home);
// The record in one rewrite of its file, so that no reader sees it half updated.
bool write(const std::string& home, const Record& record);

// True when the record hands the next job over: armed, recent, and naming
// the suite's own spool path.
bool takesJob(const Record& record, const std::string& home, std::int64_t now);

// How long the backend waits for a lock in a user's folder. The user can hold
// it for ever; the queue must not wait with them.
inline constexpr int kUserLockMilliseconds = 5000;

// The backend's take of an armed hand-off for one job. Taken disarms the
// record, so that a second job at the same time is converted as usual instead
// of writing over the first one's spool file. An unarmed record is read
// without any lock; LockHeld: the record is armed but its lock stayed taken
// for kUserLockMilliseconds (or until cancelled() said so).
struct JobTake {
    enum class Outcome { NotArmed, Taken, LockHeld } outcome = Outcome::NotArmed;
    Record record;
};
JobTake takeJob(const std::string& home, std::int64_t now, bool (*cancelled)() = nullptr);

// The document converter's side. beginHandoff deletes any spool file at path,
// then arms the record for it (Ask Name 0, now, path) in one rewrite;
// endHandoff sets Ask Name back to 1 and keeps the rest.
bool beginHandoff(const std::string& home, const std::string& path);
bool endHandoff(const std::string& home);

// True when the spool file exists, is a regular file with content, and nobody
// holds its lock: the backend has written all of it. An empty file is one the
// backend has only just created.
bool isSpoolFileComplete(const std::string& path);

// Moves the spool file over temporary, a file of the caller's own that it
// replaces; a copy into it where the two lie on different file systems.
// Failures are left to the completeness test.
void takeOverSpoolFile(const std::string& spool, const std::string& temporary);

// The backend's side of the spool lock: copies input into the spool file at
// path while holding an exclusive advisory lock on it, so that the document
// converter, which takes the same lock, never takes over a file still being
// written. Ends early, without success, once cancelled() says so. Locked:
// someone else held the file's lock for kUserLockMilliseconds. On failure
// errno tells why.
enum class SpoolWrite { Written, CannotOpen, Locked, WriteFailed, ReadFailed, Cancelled };
SpoolWrite writeSpoolFile(int input, const std::string& path, bool (*cancelled)());

} // namespace folyant::handoff
