#include "setup/prninstall/Usage.h"

#include "platform/HelpRequest.h"
#include "setup/prninstall/ExitCodes.h"

#include <unistd.h>

#include <cstdio>

namespace folyant::setup {

std::optional<int> answerArguments(int argc, char** argv, const char* usage)
{
    if (argc <= 1)
        return std::nullopt;
    if (isHelpRequest(argc, argv)) {
        std::fputs(usage, stdout);
        return exitcode::kDone;
    }
    std::fprintf(stderr, "%s: unexpected argument \"%s\"\n", argv[0], argv[1]);
    std::fputs(usage, stderr);
    return exitcode::kUsage;
}

std::optional<int> refuseWithoutRoot(const char* program)
{
    if (::geteuid() == 0)
        return std::nullopt;
    std::fprintf(stderr, "%s: must be run as root\n", program);
    return exitcode::kFailed;
}

} // namespace folyant::setup
