#include "docconverter/core/FontListRepair.h"

#include "platform/WordProcessorFonts.h"

#include <cstdio>
#include <filesystem>
#include <utility>

namespace folyant::docconverter {

namespace {
constexpr std::size_t kFontPathBuffer = 512;

void copyOver(const std::string& from, const std::string& to)
{
    std::error_code ignored;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ignored);
}
} // namespace

FontListRepair::FontListRepair(const WordProcessorFonts& fonts, std::string libFolder)
    : m_fonts(fonts)
    , m_libFolder(std::move(libFolder))
{
}

void FontListRepair::ReplaceFontList(std::time_t now)
{
    const auto folder = m_fonts.fontPath(kFontPathBuffer);
    m_active = folder.has_value();
    if (!m_active)
        return;
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "_%y%m%d%H%M%S", &local);
    // The folder is a prefix, as its settings keep it: no separator is added.
    m_userList = *folder + "FontList.lst";
    m_ownList = m_libFolder + "/FontList.lst";
    m_backup = *folder + "FontList" + stamp + ".bak";
    copyOver(m_userList, m_backup);
    copyOver(m_ownList, m_userList);
}

void FontListRepair::RestoreFontList()
{
    if (!m_active)
        return;
    copyOver(m_backup, m_userList);
    std::remove(m_backup.c_str());
    m_active = false;
}

} // namespace folyant::docconverter
