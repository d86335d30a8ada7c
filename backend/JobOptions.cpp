#include "backend/JobOptions.h"

#include <cups/cups.h>

#include <strings.h>

namespace folyant::backend {

std::optional<int> qualityFromOptions(const std::string& options)
{
    cups_option_t* parsed = nullptr;
    const int count = cupsParseOptions(options.c_str(), 0, &parsed);
    const char* value = cupsGetOption("FolyantQuality", count, parsed);
    std::optional<int> quality;
    if (value) {
        if (strcasecmp(value, "Prepress") == 0)
            quality = 0;
        else if (strcasecmp(value, "Printer") == 0)
            quality = 1;
        else if (strcasecmp(value, "Screen") == 0)
            quality = 2;
    }
    cupsFreeOptions(count, parsed);
    return quality;
}

} // namespace folyant::backend
