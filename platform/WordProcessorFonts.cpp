#include "platform/WordProcessorFonts.h"

#include "platform/IniFile.h"

#include <cstdlib>
#include <utility>

namespace folyant {

IniWordProcessorFonts::IniWordProcessorFonts(std::string path)
    : m_path(std::move(path))
{
}

std::string IniWordProcessorFonts::defaultPath()
{
    const char* root = std::getenv("FOLYANT_SYSCONFDIR");
    return std::string(root && *root ? root : "/etc/xdg") + "/HNC/Shared.conf";
}

std::optional<std::string> IniWordProcessorFonts::fontPath(std::size_t bufferBytes) const
{
    return ini::readString(m_path, "Fonts", "Font Path", bufferBytes);
}

} // namespace folyant
