#include "platform/MessageBox.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace folyant {

StandardErrorMessages::StandardErrorMessages(std::string programCaption)
    : m_caption(std::move(programCaption))
{
    // The print system keeps only lines it knows at its usual log level, and
    // shows the last one as the job's state.
    if (const char* log = std::getenv(kPrintSystemLog); log && std::string_view(log) == "1")
        m_linePrefix = "ERROR: ";
}

MessageAnswer StandardErrorMessages::show(const std::string& text, MessageButtons, MessageIcon,
    MessageAnswer defaultAnswer, const std::string& caption)
{
    std::string_view rest = text;
    const std::string& title = caption.empty() ? m_caption : caption;
    do {
        const std::string_view line = rest.substr(0, rest.find('\n'));
        rest.remove_prefix(std::min(line.size() + 1, rest.size()));
        std::fprintf(stderr, "%s%s: %.*s\n", m_linePrefix.c_str(), title.c_str(),
            static_cast<int>(line.size()), line.data());
    } while (!rest.empty());
    std::fflush(stderr);
    return defaultAnswer;
}

} // namespace folyant
