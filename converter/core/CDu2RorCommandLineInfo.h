#pragma once

#include <array>
#include <string>
#include <string_view>

namespace folyant::converter {

// The converter's command line. Words beginning with "-" or "/" are switches,
// matched without regard to case; every other word is a value word. The first
// value word of the whole line is the output path, whatever precedes it; the
// others fill the slots of the switches seen so far.
class CDu2RorCommandLineInfo {
public:
    // One word, with bFlag set and the leading "-" or "/" removed for a switch.
    void ParseParam(const char* pszParam, bool bFlag, bool bLast);

    // The framework's part: the first value word.
    std::string m_strFileName;

    bool m_qualitySeen = false;
    bool m_securitySeen = false;
    bool m_mailSeen = false;
    bool m_showSeen = false;
    bool m_watermarkSeen = false;
    bool m_hftSeen = false;
    bool m_sourceSeen = false;
    // "/append EXISTING.pdf": the job's pages go after that PDF's.
    bool m_appendSeen = false;
    std::string m_appendPath;

    std::string m_watermarkText;
    std::string m_watermarkFont;
    std::array<int, 5> m_watermarkNumbers{};
    int m_watermarkCount = 0;

    std::string m_sourcePath;
    std::string m_qualityText;
    std::string m_ownerPassword;
    std::string m_userPassword;
    std::string m_permissionText;
    std::string m_fourthSecurityValue;
    int m_securityCount = 0;

private:
    void takeSwitch(const std::string& name);
    void takeValue(const std::string& word);
};

// Whether a word is a switch: it begins with "-", or with "/" and holds no
// further "/" or "." (which would make it an absolute path).
bool isSwitchWord(std::string_view word);

// Feeds every word after the program name to info, in order.
void ParseCommandLine(CDu2RorCommandLineInfo& info, int argc, const char* const* argv);

} // namespace folyant::converter
