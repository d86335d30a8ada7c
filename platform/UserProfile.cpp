#include "platform/UserProfile.h"

#include "platform/Folders.h"
#include "platform/IniFile.h"

#include <climits>

namespace folyant {

namespace {
const std::string kGroup = "Settings";
}

IniUserProfile::IniUserProfile(const std::string& programName)
    : m_path(pathFor(programName))
{
}

std::string IniUserProfile::pathFor(const std::string& programName)
{
    return folders::userConfigFolder() + "/Quorvale/" + programName + ".conf";
}

int IniUserProfile::getInt(const std::string& name, int defaultValue) const
{
    const auto number = ini::readNumber(m_path, kGroup, name);
    return number && *number >= INT_MIN && *number <= INT_MAX ? static_cast<int>(*number) : defaultValue;
}

bool IniUserProfile::writeInt(const std::string& name, int value)
{
    return ini::write(m_path, kGroup, {{name, std::to_string(value)}});
}

} // namespace folyant
