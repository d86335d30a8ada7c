// cidfmapgen: writes the interpreter's map of Korean and Japanese CID fonts
// into the suite's Ghostscript lib folder. Takes no arguments and prints
// nothing when it succeeds; exit status 0 when the map was written, -1
// otherwise, with the reason on standard error. "--help" prints the usage and
// writes nothing; any other argument is refused (status 2), since a mistyped
// option must not rewrite the map either.
#include "installation/InstallationFolders.h"
#include "installation/MachineSettings.h"
#include "setup/cidfmapgen/CidfmapWriter.h"
#include "setup/prninstall/Usage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage
    = "Usage: cidfmapgen\n"
      "Writes the interpreter's map of Korean and Japanese CID fonts (cidfmap) into\n"
      "the folder GSLibPath of the machine settings. Run it as root.\n";

} // namespace

int main(int argc, char** argv)
{
    if (const auto answered = folyant::setup::answerArguments(argc, argv, kUsage))
        return *answered;
    const folyant::IniMachineSettings settings;
    const auto libFolder
        = settings.readString(folyant::installation::kLibPath, folyant::installation::kFontMapValueBuffer);
    folyant::cidfmap::FontconfigLocator fonts;
    errno = 0;
    const int result = folyant::cidfmap::generate(libFolder ? &*libFolder : nullptr, fonts);
    if (result != 0) {
        // The programs cannot tell why a Korean job prints without its fonts:
        // the one run that can say so does.
        if (!libFolder)
            std::fprintf(stderr, "cidfmapgen: no %s in %s; the font map was not written.\n",
                folyant::installation::kLibPath, folyant::IniMachineSettings::defaultPath().c_str());
        else
            std::fprintf(stderr, "cidfmapgen: cannot write %s/cidfmap: %s\n", libFolder->c_str(),
                errno ? std::strerror(errno) : "the path is too long");
    }
    return result;
}
