// Whatever a job prints reaches the conversion log: it never outgrows its
// limit and keeps every line feed as CR LF however the interpreter cuts its
// output into pieces; the job's words never pass for the interpreter's state.
#include "interpreter/ConversionLog.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    folyant::gs::ConversionLog log(1024);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    log.append(text.substr(0, size / 3));
    log.append(text.substr(size / 3, size / 3));
    log.append(text.substr(2 * (size / 3)));
    if (log.ranOutOfMemory())
        std::abort();
    const std::string& kept = log.text();
    if (kept.size() > 1024)
        std::abort();
    for (std::size_t i = 0; i < kept.size(); ++i)
        if (kept[i] == '\n' && (i == 0 || kept[i - 1] != '\r'))
            std::abort();
    return 0;
}
