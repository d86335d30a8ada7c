#include "platform/HelpRequest.h"

#include <cstring>

namespace folyant {

bool isHelpRequest(int argc, const char* const* argv)
{
    return argc == 2 && argv[1] && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
}

} // namespace folyant
