#include "installation/MachineSettings.h"

#include "platform/IniFile.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <utility>

namespace folyant {

IniMachineSettings::IniMachineSettings(std::string path)
    : m_path(std::move(path))
{
}

std::string IniMachineSettings::defaultPath()
{
    const char* root = std::getenv("FOLYANT_SYSCONFDIR");
    std::string folder = (root && *root) ? root : FOLYANT_INSTALLED_SYSCONFDIR;
    return folder + "/Quorvale/Folyant Velmo.conf";
}

bool IniMachineSettings::isAvailable() const
{
    return ::access(m_path.c_str(), R_OK) == 0;
}

std::optional<std::string> IniMachineSettings::readString(
    const std::string& name, std::size_t bufferBytes) const
{
    return ini::readString(m_path, {}, name, bufferBytes);
}

std::optional<int> IniMachineSettings::readInt(const std::string& name) const
{
    const auto number = ini::readNumber(m_path, {}, name);
    if (!number || *number < INT_MIN || *number > INT_MAX)
        return std::nullopt;
    return static_cast<int>(*number);
}

bool IniMachineSettings::writeString(const std::string& name, const std::string& value)
{
    return ini::write(m_path, {}, {{name, value}});
}

bool IniMachineSettings::writeInt(const std::string& name, int value)
{
    return ini::write(m_path, {}, {{name, std::to_string(value)}});
}

} // namespace folyant
