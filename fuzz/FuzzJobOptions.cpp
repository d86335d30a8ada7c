// Job options as CUPS hands them to the backend, which reads them without
// libcups: whatever the text, each option's value is the one CUPS' own
// parser finds.
#include "backend/JobOptions.h"

#include <cups/cups.h>

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string options(reinterpret_cast<const char*>(data), size);
    const auto quality = folyant::backend::qualityFromOptions(options);
    if (quality && (*quality < 0 || *quality > 2))
        std::abort();

    if (options.find('\0') != std::string::npos)
        return 0; // cupsd never passes one, and libcups would stop at it
    cups_option_t* parsed = nullptr;
    const int count = cupsParseOptions(options.c_str(), 0, &parsed);
    for (int i = 0; i < count; ++i) {
        const auto ours = folyant::backend::optionValue(options, parsed[i].name);
        const char* theirs = cupsGetOption(parsed[i].name, count, parsed);
        if (!ours || *ours != theirs)
            std::abort();
    }
    cupsFreeOptions(count, parsed);
    return 0;
}
