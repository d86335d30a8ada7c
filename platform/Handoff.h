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

std::optional<Record> read(const std::string& home);
bool write(const std::string& home, const Record& record);

// True when the record hands the next job over: armed, recent, and naming
// the suite's own spool path.
bool takesJob(const Record& record, const std::string& home, std::int64_t now);

} // namespace folyant::handoff
