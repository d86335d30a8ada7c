#include "installation/Handoff.h"

#include "platform/FileIo.h"
#include "platform/IniFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace folyant::handoff {

namespace {
std::string recordPath(const std::string& home)
{
    return folderFor(home) + "/handoff.conf";
}

// A record is three short values; anything larger is no record of ours.
constexpr off_t kMaxRecordBytes = 65536;
} // namespace

std::string folderFor(const std::string& home)
{
    return home + "/.local/state/folyant";
}

std::string spoolPathFor(const std::string& home)
{
    return folderFor(home) + "/temp.ps";
}

std::int64_t currentTickCount()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::optional<Record> read(const std::string& home)
{
    // The record is the user's own file, and the backend reads it for every
    // job of the queue: it is read only as a small regular file, without
    // waiting on whatever else a user may put there (a FIFO would block).
    const int fd = open(recordPath(home).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0)
        return std::nullopt;
    struct stat info { };
    std::string text;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxRecordBytes) {
        text.resize(static_cast<std::size_t>(info.st_size));
        const ssize_t got = ::read(fd, text.data(), text.size());
        text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    }
    close(fd);
    const auto values = ini::parseGroup(text);
    const auto askName = values.find("Ask Name");
    if (askName == values.end())
        return std::nullopt;
    Record record;
    const auto ask = ini::toNumber(askName->second);
    record.askName = ask && *ask >= INT_MIN && *ask <= INT_MAX ? static_cast<int>(*ask) : 1;
    if (const auto tick = values.find("Tick Count"); tick != values.end())
        record.tickCount = ini::toNumber(tick->second).value_or(0);
    if (const auto file = values.find("PSFileName"); file != values.end())
        record.psFileName = file->second;
    return record;
}

bool write(const std::string& home, const Record& record)
{
    return ini::write(recordPath(home), {},
        {{"Ask Name", std::to_string(record.askName)}, {"Tick Count", std::to_string(record.tickCount)},
            {"PSFileName", record.psFileName}});
}

bool takesJob(const Record& record, const std::string& home, std::int64_t now)
{
    if (record.askName != 0 || record.psFileName != spoolPathFor(home))
        return false;
    // Compared this way round, no tick count can overflow the difference.
    return record.tickCount <= now && record.tickCount >= now - kValidMilliseconds;
}

namespace {
// Takes an exclusive lock, waiting at most milliseconds for whoever holds it
// (a user can hold a lock on their own file for ever). False when it stayed
// taken or cancelled() said so first.
bool lockWithin(int fd, int milliseconds, bool (*cancelled)())
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if ((cancelled && cancelled()) || std::chrono::steady_clock::now() >= deadline) {
            errno = EWOULDBLOCK;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Holds the user's hand-off lock while it lives: the record is read and
// rewritten under it, so that one arming is taken by one job only.
class RecordLock {
public:
    explicit RecordLock(const std::string& home, int milliseconds = -1, bool (*cancelled)() = nullptr)
        : m_fd(open((folderFor(home) + "/handoff.lock").c_str(),
            O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600))
    {
        if (m_fd >= 0)
            m_held = milliseconds < 0 ? flock(m_fd, LOCK_EX) == 0 : lockWithin(m_fd, milliseconds, cancelled);
    }
    ~RecordLock()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    RecordLock(const RecordLock&) = delete;
    RecordLock& operator=(const RecordLock&) = delete;
    // False only when a lock that could be opened stayed taken: a folder
    // where none can be made has nobody else's lock in it either.
    bool heldOrAbsent() const { return m_fd < 0 || m_held; }

private:
    int m_fd;
    bool m_held = false;
};
} // namespace

JobTake takeJob(const std::string& home, std::int64_t now, bool (*cancelled)())
{
    // Every job of the queue comes here: one whose user has armed nothing
    // takes no lock at all.
    if (const auto unlocked = read(home); !unlocked || !takesJob(*unlocked, home, now))
        return {};
    const RecordLock lock(home, kUserLockMilliseconds, cancelled);
    if (!lock.heldOrAbsent())
        return {JobTake::Outcome::LockHeld, {}};
    auto record = read(home);
    if (!record || !takesJob(*record, home, now))
        return {};
    Record taken = *record;
    taken.askName = 1;
    if (!write(home, taken))
        return {};
    return {JobTake::Outcome::Taken, *record};
}

bool beginHandoff(const std::string& home, const std::string& path)
{
    std::remove(path.c_str());
    std::error_code ignored;
    std::filesystem::create_directories(folderFor(home), ignored);
    const RecordLock lock(home);
    return write(home, Record{0, currentTickCount(), path});
}

bool endHandoff(const std::string& home)
{
    const RecordLock lock(home);
    Record record = read(home).value_or(Record{});
    record.askName = 1;
    return write(home, record);
}

bool isSpoolFileComplete(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0)
        return false;
    struct stat info { };
    bool complete = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0
        && flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd);
    return complete;
}

void takeOverSpoolFile(const std::string& spool, const std::string& temporary)
{
    // The temporary file is the run's own: replaced, never removed first, so
    // that its name is never free for someone else to take.
    if (std::rename(spool.c_str(), temporary.c_str()) == 0 || errno != EXDEV)
        return;
    const int in = open(spool.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    const int out = open(temporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
    bool copied = in >= 0 && out >= 0;
    char buffer[65536];
    for (ssize_t got = 0; copied && (got = ::read(in, buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno == EINTR)
            continue;
        for (ssize_t done = 0; copied && got > 0 && done < got;) {
            const ssize_t put = ::write(out, buffer + done, static_cast<std::size_t>(got - done));
            copied = put > 0 || (put < 0 && errno == EINTR);
            done += put > 0 ? put : 0;
        }
        copied = copied && got > 0;
    }
    if (in >= 0)
        close(in);
    if (out >= 0 && close(out) != 0)
        copied = false;
    if (copied)
        std::remove(spool.c_str());
}

SpoolWrite writeSpoolFile(int input, const std::string& path, bool (*cancelled)())
{
    // Without waiting for a reader, should the path be a FIFO; and only a
    // regular file takes the job.
    const int out = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (out < 0)
        return SpoolWrite::CannotOpen;
    struct stat info { };
    if (fstat(out, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(out);
        errno = EINVAL;
        return SpoolWrite::CannotOpen;
    }
    fcntl(out, F_SETFL, O_WRONLY);
    const auto closing = [out](SpoolWrite result) {
        const int reason = errno;
        close(out);
        errno = reason;
        return result;
    };
    if (!lockWithin(out, kUserLockMilliseconds, cancelled))
        return closing(cancelled() ? SpoolWrite::Cancelled : SpoolWrite::Locked);
    if (ftruncate(out, 0) != 0)
        return closing(SpoolWrite::CannotOpen);
    char buffer[65536];
    for (;;) {
        const ssize_t got = io::read(input, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR && !cancelled())
            continue;
        if (got < 0 && !cancelled()) {
            // Half a job must not pass for the whole one: nothing is handed over.
            const int reason = errno;
            [[maybe_unused]] const int emptied = ftruncate(out, 0);
            errno = reason;
            return closing(SpoolWrite::ReadFailed);
        }
        if (got <= 0)
            break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = io::write(out, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0)
                return closing(SpoolWrite::WriteFailed);
            done += put;
        }
    }
    if (cancelled())
        return closing(SpoolWrite::Cancelled);
    if (fsync(out) != 0)
        return closing(SpoolWrite::WriteFailed);
    return closing(SpoolWrite::Written);
}

} // namespace folyant::handoff
