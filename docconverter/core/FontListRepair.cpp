#include "docconverter/core/FontListRepair.h"

#include "platform/WholeFile.h"
#include "platform/WordProcessorFonts.h"

#include <cstdio>
#include <utility>

namespace folyant::docconverter {

namespace {
constexpr std::size_t kFontPathBuffer = 512;

std::optional<std::string> contentOf(const std::string& path)
{
    return wholefile::read(path, true);
}

} // namespace

FontListRepair::FontListRepair(const WordProcessorFonts& fonts, std::string libFolder)
    : m_fonts(fonts)
    , m_libFolder(std::move(libFolder))
{
}

FontListRepair::~FontListRepair()
{
    RestoreFontList();
}

void FontListRepair::ReplaceFontList(std::time_t now)
{
    const auto folder = m_fonts.fontPath(kFontPathBuffer);
    if (!folder)
        return;
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "_%y%m%d%H%M%S", &local);
    // The folder is a prefix, as its settings keep it: no separator is added.
    m_userList = *folder + "FontList.lst";
    m_ownList = m_libFolder + "/FontList.lst";
    m_backup = *folder + "FontList" + stamp + ".bak";
    m_backedUp = false;

    const auto users = contentOf(m_userList);
    if (users) {
        // Never over another backup: it may hold the only copy of a list.
        if (!wholefile::createNew(m_backup, *users, 0644))
            return;
        if (contentOf(m_backup) != users) {
            std::remove(m_backup.c_str());
            return;
        }
        m_backedUp = true;
    }
    m_active = true;
    if (const auto ours = contentOf(m_ownList))
        wholefile::replace(m_userList, *ours, 0644);
}

void FontListRepair::RestoreFontList()
{
    if (!m_active)
        return;
    m_active = false;
    if (!m_backedUp)
        return;
    const auto saved = contentOf(m_backup);
    if (saved && wholefile::replace(m_userList, *saved, 0644) && contentOf(m_userList) == saved)
        std::remove(m_backup.c_str());
}

} // namespace folyant::docconverter
