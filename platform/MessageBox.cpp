#include "platform/MessageBox.h"

#include <cstdio>
#include <utility>

namespace folyant {

StandardErrorMessages::StandardErrorMessages(std::string programCaption)
    : m_caption(std::move(programCaption))
{
}

MessageAnswer StandardErrorMessages::show(const std::string& text, MessageButtons, MessageIcon,
    MessageAnswer defaultAnswer, const std::string& caption)
{
    std::fprintf(stderr, "%s: %s\n", (caption.empty() ? m_caption : caption).c_str(), text.c_str());
    std::fflush(stderr);
    return defaultAnswer;
}

} // namespace folyant
