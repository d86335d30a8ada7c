#include "setup/prninstall/Usage.h"

#include "setup/prninstall/ExitCodes.h"

#include <cstdio>
#include <cstring>

namespace folyant::setup {

std::optional<int> answerArguments(int argc, char** argv, const char* usage)
{
    if (argc <= 1)
        return std::nullopt;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage, stdout);
        return exitcode::kDone;
    }
    std::fprintf(stderr, "%s: unexpected argument \"%s\"\n", argv[0], argv[1]);
    std::fputs(usage, stderr);
    return exitcode::kUsage;
}

} // namespace folyant::setup
