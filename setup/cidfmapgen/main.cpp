// cidfmapgen: writes the interpreter's map of Korean and Japanese CID fonts
// into the suite's Ghostscript lib folder. Reads no arguments, prints nothing;
// exit status 0 when the map was written, -1 otherwise.
#include "CidfmapWriter.h"
#include "MachineSettings.h"

int main()
{
    constexpr std::size_t kValueBuffer = 512;
    const folyant::IniMachineSettings settings;
    const auto libFolder = settings.readString("GSLibPath", kValueBuffer);
    folyant::cidfmap::FontconfigLocator fonts;
    return folyant::cidfmap::generate(libFolder ? &*libFolder : nullptr, fonts);
}
