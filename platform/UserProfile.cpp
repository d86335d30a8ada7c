#include "platform/UserProfile.h"

#include "platform/Folders.h"
#include "platform/IniFile.h"

namespace folyant {

namespace {
const QString kGroup = QStringLiteral("Settings");
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
    const auto value = ini::read(m_path, kGroup, name);
    if (!value)
        return defaultValue;
    bool ok = false;
    const int number = value->toInt(&ok);
    return ok ? number : defaultValue;
}

bool IniUserProfile::writeInt(const std::string& name, int value)
{
    return ini::write(m_path, kGroup, name, value);
}

} // namespace folyant
