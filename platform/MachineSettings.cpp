#include "platform/MachineSettings.h"

#include "platform/IniFile.h"

#include <QFileInfo>

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
    return QFileInfo(QString::fromStdString(m_path)).isReadable();
}

std::optional<std::string> IniMachineSettings::readString(
    const std::string& name, std::size_t bufferBytes) const
{
    return ini::readString(m_path, {}, name, bufferBytes);
}

std::optional<int> IniMachineSettings::readInt(const std::string& name) const
{
    const auto value = ini::read(m_path, {}, name);
    if (!value)
        return std::nullopt;
    bool ok = false;
    const int number = value->toInt(&ok);
    if (!ok)
        return std::nullopt;
    return number;
}

bool IniMachineSettings::writeString(const std::string& name, const std::string& value)
{
    return ini::write(m_path, {}, name, QString::fromStdString(value));
}

bool IniMachineSettings::writeInt(const std::string& name, int value)
{
    return ini::write(m_path, {}, name, value);
}

} // namespace folyant
