// The folder checks on any text: only judging (never creating), and a path
// judged good is absolute and made of valid names.
#include "FolderChecks.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path(reinterpret_cast<const char*>(data), size);
    const int code = folyant::CheckFolderPath(path, true);
    if (code != folyant::kFolderGood && code != folyant::kFolderMalformed)
        std::abort();
    if (code == folyant::kFolderGood
        && (path.empty() || path[0] != '/' || path.find("//") != std::string::npos))
        std::abort();
    folyant::IsValidFolderName(path);
    return 0;
}
