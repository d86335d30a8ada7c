#include "platform/Language.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace folyant::language {

int languageOf(std::string_view locale)
{
    locale = locale.substr(0, locale.find_first_of(".@"));
    const std::string_view language = locale.substr(0, locale.find_first_of("_-"));
    const std::string_view region = locale.substr(std::min(language.size() + 1, locale.size()));
    if (language == "zh") {
        const bool traditional
            = region == "TW" || region == "HK" || region == "MO" || region.rfind("Hant", 0) == 0;
        return traditional ? 4 : 3;
    }
    for (int index = 0; index < 3; ++index)
        if (language == kLanguages[index])
            return index;
    return -1;
}

std::size_t userLanguage()
{
    std::string candidates;
    if (const char* list = std::getenv("LANGUAGE"); list && *list)
        candidates = list;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* locale = std::getenv(name); locale && *locale) {
            if (!candidates.empty())
                candidates += ':';
            candidates += locale;
            break;
        }
    }
    std::string_view rest = candidates;
    while (!rest.empty()) {
        const std::string_view candidate = rest.substr(0, rest.find(':'));
        rest.remove_prefix(std::min(candidate.size() + 1, rest.size()));
        if (const int found = languageOf(candidate); found >= 0)
            return static_cast<std::size_t>(found);
    }
    return 0;
}

} // namespace folyant::language
