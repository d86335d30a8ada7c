// Output names from print-job titles, which any user controls: never a
// folder part, a control character, a leading dot or a "%" (which the
// interpreter reads as a page template), never empty, always UTF-8.
#include "backend/OutputName.h"
#include "platform/Utf8.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string name
        = folyant::backend::baseNameForTitle(std::string(reinterpret_cast<const char*>(data), size));
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
    return 0;
}
