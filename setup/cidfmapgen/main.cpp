// cidfmapgen: writes the interpreter's map of Korean and Japanese CID fonts
// into the suite's Ghostscript lib folder. Reads no arguments, prints nothing;
// exit status 0 when the map was written, -1 otherwise.
#include "platform/InstallationFolders.h"
#include "platform/MachineSettings.h"
#include "setup/cidfmapgen/CidfmapWriter.h"

int main()
{
    const folyant::IniMachineSettings settings;
    const auto libFolder
        = settings.readString(folyant::installation::kLibPath, folyant::installation::kFontMapValueBuffer);
    folyant::cidfmap::FontconfigLocator fonts;
    return folyant::cidfmap::generate(libFolder ? &*libFolder : nullptr, fonts);
}
