// Output names from print-job titles, which any user controls: never a
// folder part, a control character or a leading dot, never empty.
#include "backend/OutputName.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string name
        = folyant::backend::baseNameForTitle(std::string(reinterpret_cast<const char*>(data), size));
    if (name.empty() || name.size() > 200 || name[0] == '.' || name.find('/') != std::string::npos)
        std::abort();
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            std::abort();
    return 0;
}
