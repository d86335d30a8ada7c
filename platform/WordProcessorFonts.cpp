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
    const auto value = ini::read(m_path, QStringLiteral("Fonts"), "Font Path");
    if (!value || !value->canConvert<QString>())
        return std::nullopt;
    std::string text = value->toString().toStdString();
    if (text.size() + 1 > bufferBytes)
        return std::nullopt;
    return text;
}

} // namespace folyant
