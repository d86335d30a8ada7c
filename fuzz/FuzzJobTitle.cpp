// Output names from print-job titles, which any user controls: never a
// folder part, a control character, a leading dot or a "%" (which the
// interpreter reads as a page template), never empty, always UTF-8; and the
// same for names made by a template.
#include "platform/OutputName.h"
#include "platform/Utf8.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
void checkName(const std::string& name)
{
    if (name.empty() || name.size() > 200 || name[0] == '.' || name.find('/') != std::string::npos
        || name.find('%') != std::string::npos)
        std::abort();
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = folyant::utf8::sequenceLength(name, at);
        if (length == 0)
            std::abort();
        at += length;
    }
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    checkName(folyant::names::baseNameForTitle(text));
    // The same text as a name template (a user's own setting), and as every
    // value its tokens stand for.
    folyant::names::NameFields fields{text, text, text, text, 0, [&text] { return text; }};
    checkName(folyant::names::expandTemplate(text, fields));
    checkName(
        folyant::names::expandTemplate("<Title><User><JobId><Host><Counter><Date:" + text + ">", fields));
    return 0;
}
