#pragma once

#include <optional>
#include <string>

namespace folyant {

// The HWP programs' shared settings, where their maker keeps the font folder
// ("Font Path"); read only. The programs' settings file stands beside the
// suite's machine settings: "$FOLYANT_SYSCONFDIR/HNC/Shared.conf", group Fonts.
class WordProcessorFonts {
public:
    virtual ~WordProcessorFonts() = default;
    // The font folder, used as a prefix; nothing when there is none or it
    // needs more than bufferBytes with its terminator.
    virtual std::optional<std::string> fontPath(std::size_t bufferBytes) const = 0;
};

class IniWordProcessorFonts final : public WordProcessorFonts {
public:
    explicit IniWordProcessorFonts(std::string path = defaultPath());
    static std::string defaultPath();
    std::optional<std::string> fontPath(std::size_t bufferBytes) const override;

private:
    std::string m_path;
};

} // namespace folyant
