// The folder checks on any text: only judging (never creating), and a path
// judged good is absolute and made of valid names.
#include "converter/core/FolderChecks.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path(reinterpret_cast<const char*>(data), size);
    const int code = folyant::converter::CheckFolderPath(path, true);
    if (code != folyant::converter::kFolderGood && code != folyant::converter::kFolderMalformed)
        std::abort();
    if (code == folyant::converter::kFolderGood
        && (path.empty() || path[0] != '/' || path.find("//") != std::string::npos))
        std::abort();
    folyant::converter::IsValidFolderName(path);
    return 0;
}
