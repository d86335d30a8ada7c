// Job options as CUPS hands them to the backend.
#include "backend/JobOptions.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto quality
        = folyant::backend::qualityFromOptions(std::string(reinterpret_cast<const char*>(data), size));
    if (quality && (*quality < 0 || *quality > 2))
        std::abort();
    return 0;
}
