#pragma once

#include <ctime>
#include <string>

namespace folyant {
class WordProcessorFonts;
} // namespace folyant

namespace folyant::docconverter {

// While an HWP document prints through its shell association, the HWP
// programs' FontList.lst is swapped for the suite's own and put back after.
class FontListRepair {
public:
    FontListRepair(const WordProcessorFonts& fonts, std::string libFolder);

    // Reads the font folder; when there is one, backs up the user's list as
    // FontList_yymmddHHMMSS.bak (local time now) and copies ours over it.
    // Copy failures are ignored.
    void ReplaceFontList(std::time_t now);
    // Puts the backup back and deletes it, when the repair is active.
    void RestoreFontList();

    bool isActive() const { return m_active; }
    const std::string& userList() const { return m_userList; }
    const std::string& backup() const { return m_backup; }

private:
    const WordProcessorFonts& m_fonts;
    std::string m_libFolder;
    bool m_active = false;
    std::string m_userList;
    std::string m_ownList;
    std::string m_backup;
};

} // namespace folyant::docconverter
