#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace folyant {
class WordProcessorFonts;
} // namespace folyant

namespace folyant::docconverter {

// While an HWP document prints through its shell association, the HWP
// programs' FontList.lst is swapped for the suite's own and put back after,
// on every path out (the destructor restores what RestoreFontList has not).
class FontListRepair {
public:
    FontListRepair(const WordProcessorFonts& fonts, std::string libFolder);
    ~FontListRepair();
    FontListRepair(const FontListRepair&) = delete;
    FontListRepair& operator=(const FontListRepair&) = delete;

    // Reads the font folder; when there is one, backs up the user's list as
    // FontList_yymmddHHMMSS.bak (local time now) and puts ours in its place.
    // The backup is a new file, read back and compared before the user's
    // list is touched: when it cannot be made (a backup of that name exists
    // already, the disk is full), the user's list is left alone. A user
    // without a list gets ours, and keeps it.
    void ReplaceFontList(std::time_t now);
    // Puts the backup back and deletes it, when the repair is active. The
    // backup stays when it could not be put back.
    void RestoreFontList();

    bool isActive() const { return m_active; }
    const std::string& userList() const { return m_userList; }
    const std::string& backup() const { return m_backup; }

private:
    const WordProcessorFonts& m_fonts;
    std::string m_libFolder;
    bool m_active = false;
    bool m_backedUp = false;
    std::string m_userList;
    std::string m_ownList;
    std::string m_backup;
};

} // namespace folyant::docconverter
