// INI texts that users write by hand or can plant (the hand-off record in a
// home folder is read by the backend): any text parses without harm, and any
// value written is read back as it was.
#include "platform/IniFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (const char* group : {"", "Settings", "General"})
        for (const auto& [key, value] : folyant::ini::parseGroup(input, group))
            if (key.empty())
                std::abort();

    const std::string text = "[General]\nValue=" + folyant::ini::escapedValue(input) + "\n";
    const auto values = folyant::ini::parseGroup(text);
    const auto found = values.find("Value");
    if (found == values.end() || found->second != input)
        std::abort();
    return 0;
}
