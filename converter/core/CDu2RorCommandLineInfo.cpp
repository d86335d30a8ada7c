#include "converter/core/CDu2RorCommandLineInfo.h"

#include "converter/core/TextNumbers.h"

#include <algorithm>
#include <cctype>

namespace folyant::converter {

namespace {
std::string lowerAscii(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}
} // namespace

void CDu2RorCommandLineInfo::ParseParam(const char* pszParam, bool bFlag, bool /*bLast*/)
{
    const std::string word = pszParam ? pszParam : "";
    if (bFlag) {
        takeSwitch(lowerAscii(word));
        return;
    }
    if (m_strFileName.empty())
        m_strFileName = word;
    takeValue(word);
}

void CDu2RorCommandLineInfo::takeSwitch(const std::string& name)
{
    if (name == "source") {
        m_sourceSeen = true;
    } else if (name == "quality") {
        m_qualitySeen = true;
    } else if (name == "security") {
        m_securitySeen = true;
        m_securityCount = 0;
    } else if (name == "showpdf") {
        m_showSeen = true;
    } else if (name == "emailpdf") {
        m_mailSeen = true;
    } else if (name == "watermark") {
        m_watermarkSeen = true;
        m_watermarkCount = 0;
    } else if (name == "hft") {
        m_hftSeen = true;
    } else if (name == "append") {
        m_appendSeen = true;
    }
}

void CDu2RorCommandLineInfo::takeValue(const std::string& word)
{
    // The source slot passes the word on: the same word may also fill the
    // next open slot.
    if (m_sourceSeen && m_sourcePath.empty())
        m_sourcePath = word;

    if (m_appendSeen && m_appendPath.empty()) {
        m_appendPath = word;
        return;
    }
    if (m_qualitySeen && m_qualityText.empty()) {
        m_qualityText = word;
        return;
    }
    if (m_securitySeen && m_securityCount < 4) {
        std::string* const slots[]
            = {&m_userPassword, &m_ownerPassword, &m_permissionText, &m_fourthSecurityValue};
        *slots[m_securityCount++] = word;
        return;
    }
    if (m_watermarkSeen && m_watermarkCount < 7) {
        if (m_watermarkCount == 0)
            m_watermarkText = word;
        else if (m_watermarkCount == 1)
            m_watermarkFont = word;
        else
            m_watermarkNumbers[static_cast<std::size_t>(m_watermarkCount - 2)] = leadingInt(word);
        ++m_watermarkCount;
    }
}

bool isSwitchWord(std::string_view word)
{
    if (word.empty())
        return false;
    if (word[0] == '-')
        return true;
    // "/" also begins every absolute path here. No switch name holds a "/" or
    // a ".", so a word that does is a path: /home/u/out.pdf, /out.pdf.
    return word[0] == '/' && word.find_first_of("/.", 1) == std::string_view::npos;
}

void ParseCommandLine(CDu2RorCommandLineInfo& info, int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        const bool isSwitch = isSwitchWord(word);
        info.ParseParam(isSwitch ? word + 1 : word, isSwitch, i + 1 == argc);
    }
}

} // namespace folyant::converter
