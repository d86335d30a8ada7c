#include "platform/Handoff.h"

#include "platform/IniFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace folyant::handoff {

namespace {
std::string recordPath(const std::string& home)
{
    return folderFor(home) + "/handoff.conf";
}
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
    const std::string path = recordPath(home);
    const auto askName = ini::read(path, {}, "Ask Name");
    if (!askName)
        return std::nullopt;
    Record record;
    bool isNumber = false;
    record.askName = askName->toInt(&isNumber);
    if (!isNumber)
        record.askName = 1;
    if (const auto tick = ini::read(path, {}, "Tick Count"))
        record.tickCount = tick->toLongLong();
    if (const auto file = ini::read(path, {}, "PSFileName"))
        record.psFileName = file->toString().toStdString();
    return record;
}

bool write(const std::string& home, const Record& record)
{
    return ini::write(recordPath(home), {},
        {{"Ask Name", record.askName}, {"Tick Count", static_cast<qlonglong>(record.tickCount)},
            {"PSFileName", QString::fromStdString(record.psFileName)}});
}

bool takesJob(const Record& record, const std::string& home, std::int64_t now)
{
    if (record.askName != 0 || record.psFileName != spoolPathFor(home))
        return false;
    return record.tickCount <= now && now - record.tickCount <= kValidMilliseconds;
}

bool beginHandoff(const std::string& home, const std::string& path)
{
    std::remove(path.c_str());
    return write(home, Record{0, currentTickCount(), path});
}

bool endHandoff(const std::string& home)
{
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
    std::remove(temporary.c_str());
    if (std::rename(spool.c_str(), temporary.c_str()) == 0 || errno != EXDEV)
        return;
    std::error_code ignored;
    if (std::filesystem::copy_file(spool, temporary, ignored))
        std::remove(spool.c_str());
}

SpoolWrite writeSpoolFile(int input, const std::string& path, bool (*cancelled)())
{
    const int out = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (out < 0)
        return SpoolWrite::CannotOpen;
    const auto closing = [out](SpoolWrite result) {
        const int reason = errno;
        close(out);
        errno = reason;
        return result;
    };
    if (flock(out, LOCK_EX) != 0)
        return closing(SpoolWrite::CannotOpen);
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(input, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR && !cancelled())
            continue;
        if (got <= 0)
            break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer + done, static_cast<std::size_t>(got - done));
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
