// prnremove: takes the virtual printer away again. Exit status 0 when no
// printer of the suite is left, 1 otherwise, 2 for arguments it does not take.
#include "platform/Spooler.h"
#include "setup/prninstall/ExitCodes.h"
#include "setup/prninstall/PrinterInstaller.h"
#include "setup/prninstall/ServerSharing.h"
#include "setup/prninstall/Usage.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage
    = "Usage: prnremove\n"
      "Removes the printer \"Folyant Velmo\" (queue Folyant_Velmo) from the print system.\n"
      "Run it as root with cupsd running.\n";

// What "prninstall --shared" changed in the print system's configuration
// goes with the shared printer, when no other printer is under its policy. The printer is gone either
// way: a configuration left as it was is said, not a failure of the removal.
void unshare()
{
    std::vector<std::string> changes;
    std::string error;
    const bool done = folyant::unshareServer(changes, error);
    for (const auto& change : changes)
        std::printf("prnremove: %s.\n", change.c_str());
    if (!done)
        std::fprintf(stderr, "prnremove: %s.\n", error.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    if (const auto answered = folyant::setup::answerArguments(argc, argv, kUsage))
        return *answered;
    if (const auto refused = folyant::setup::refuseWithoutRoot("prnremove"))
        return *refused;
    const folyant::PrinterNames names;
    const std::string queue = folyant::spooler::queueName(names.printerName);
    const bool shared = folyant::underSharedPolicy(queue);
    switch (folyant::RemoveVirtualPrinter(names)) {
    case folyant::Removal::Removed:
        std::printf("prnremove: the printer \"%s\" (queue %s) was removed.\n", names.printerName.c_str(),
            queue.c_str());
        if (shared)
            unshare();
        return folyant::setup::exitcode::kDone;
    case folyant::Removal::NothingToRemove:
        std::printf("prnremove: there was no printer \"%s\" to remove.\n", names.printerName.c_str());
        return folyant::setup::exitcode::kDone;
    case folyant::Removal::Failed:
        break;
    }
    return folyant::setup::exitcode::kFailed;
}
