#pragma once

#include <cstdlib>
#include <string>

namespace folyant {

// The folder that holds the suite's printer description FolyDrv.ppd:
// $FOLYANT_PPD_DIR when set (a development installation), else the
// installation's own. Header-only, so that the setup library needs nothing
// else of this layer.
inline std::string printerDriverFolder()
{
    const char* configured = std::getenv("FOLYANT_PPD_DIR");
    return (configured && *configured) ? configured : FOLYANT_PPD_FOLDER;
}

} // namespace folyant
