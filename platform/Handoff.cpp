#include "Handoff.h"

#include "IniFile.h"

#include <time.h>

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
    record.askName = askName->toInt();
    if (const auto tick = ini::read(path, {}, "Tick Count"))
        record.tickCount = tick->toLongLong();
    if (const auto file = ini::read(path, {}, "PSFileName"))
        record.psFileName = file->toString().toStdString();
    return record;
}

bool write(const std::string& home, const Record& record)
{
    const std::string path = recordPath(home);
    return ini::write(path, {}, "Ask Name", record.askName)
        && ini::write(path, {}, "Tick Count", static_cast<qlonglong>(record.tickCount))
        && ini::write(path, {}, "PSFileName", QString::fromStdString(record.psFileName));
}

bool takesJob(const Record& record, const std::string& home, std::int64_t now)
{
    if (record.askName != 0 || record.psFileName != spoolPathFor(home))
        return false;
    return record.tickCount <= now && now - record.tickCount <= kValidMilliseconds;
}

} // namespace folyant::handoff
