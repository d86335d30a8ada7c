// Whatever a job prints reaches the conversion log: it never outgrows its
// limit and keeps every line feed as CR LF.
#include "interpreter/ConversionLog.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    folyant::gs::ConversionLog log(1024);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    log.append(text.substr(0, size / 2));
    log.append(text.substr(size / 2));
    const std::string& kept = log.text();
    if (kept.size() > 1024)
        std::abort();
    for (std::size_t i = 0; i < kept.size(); ++i)
        if (kept[i] == '\n' && (i == 0 || kept[i - 1] != '\r'))
            std::abort();
    return 0;
}
