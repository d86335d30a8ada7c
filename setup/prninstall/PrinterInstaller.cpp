#include "setup/prninstall/PrinterInstaller.h"

#include "platform/MessageBox.h"
#include "platform/Spooler.h"
#include "setup/prninstall/ServerSharing.h"

#include <cups/cups.h>

#include <cstdio>
#include <string>
#include <vector>

namespace folyant {

using spooler::Presence;

namespace {

bool answers(const char* tool)
{
    if (spooler::IsRunning())
        return true;
    std::fprintf(stderr,
        "%s: the print system is not running (no answer from %s); start cupsd and run %s again.\n", tool,
        cupsServer(), tool);
    return false;
}

} // namespace

namespace {

// What the printer is made of: the backend, its description, its device; and
// no printer of its name left that could not be replaced.
bool partsInPlace(const PrinterNames& names, MessageBox& messages)
{
    // The monitor is our backend, put in place by the package: it cannot be
    // registered from here, only found.
    if (spooler::FindMonitor(names.monitorName) != Presence::Present) {
        std::fprintf(stderr, "prninstall: the backend \"%s\" is not known to the print system.\n",
            names.monitorLibrary.c_str());
        return false;
    }
    // A driver is a printer description in the driver folder; one that is
    // there stays as it is.
    if (spooler::FindDriver(names.driverName, names.dataFile) != Presence::Present) {
        std::fprintf(
            stderr, "prninstall: the printer description %s was not found.\n", names.dataFile.c_str());
        return false;
    }
    if (spooler::FindPrinter(names.printerName, true) != Presence::Absent) {
        std::fprintf(stderr, "prninstall: the printer \"%s\" already there could not be replaced.\n",
            names.printerName.c_str());
        return false;
    }
    switch (spooler::FindPort(names.monitorName, names.portName)) {
    case Presence::Present:
        return true;
    case Presence::Absent:
        messages.show("Printer Port does not exist!", MessageButtons::Ok, MessageIcon::None,
            MessageAnswer::Ok, "Setupkit");
        return false;
    case Presence::Failed:
        std::fprintf(stderr, "prninstall: the print system did not list its devices.\n");
        return false;
    }
    return false;
}

bool addSharedPrinter(const PrinterNames& names)
{
    std::vector<std::string> changes;
    std::string error;
    const bool done = shareServer(changes, error);
    for (const std::string& change : changes)
        std::printf("prninstall: %s.\n", change.c_str());
    if (!done) {
        std::fprintf(stderr, "prninstall: the printer cannot be shared: %s\n", error.c_str());
        return false;
    }
    if (retried([&] {
            return spooler::AddPrinter(
                names.printerName, names.monitorName, names.portName, names.dataFile, kSharedPolicy, true);
        }))
        return true;
    std::fprintf(
        stderr, "prninstall: the print system refused the shared printer: %s\n", cupsLastErrorString());
    return false;
}

bool addLocalPrinter(const PrinterNames& names)
{
    if (spooler::AddPrinter(
            names.printerName, names.monitorName, names.portName, names.dataFile, kOwnJobsPolicy))
        return true;
    // A server without the policy still gets its printer, and is told what
    // that means.
    if (!spooler::AddPrinter(names.printerName, names.monitorName, names.portName, names.dataFile)) {
        std::fprintf(stderr, "prninstall: the print system refused the printer: %s\n", cupsLastErrorString());
        return false;
    }
    std::fprintf(stderr,
        "prninstall: warning: the print system has no \"%s\" policy; any local user can name another user's "
        "folder as a job's destination.\n",
        kOwnJobsPolicy);
    return true;
}

} // namespace

bool InstallVirtualPrinter(const PrinterNames& names, MessageBox& messages, bool shared)
{
    if (!answers("prninstall") || !partsInPlace(names, messages))
        return false;
    return shared ? addSharedPrinter(names) : addLocalPrinter(names);
}

Removal RemoveVirtualPrinter(const PrinterNames& names)
{
    if (!answers("prnremove"))
        return Removal::Failed;
    switch (spooler::FindPrinter(names.printerName, false)) {
    case Presence::Absent:
        return Removal::NothingToRemove;
    case Presence::Failed:
        break;
    case Presence::Present:
        spooler::DeletePrinter(names.printerName);
        if (spooler::FindPrinter(names.printerName, false) == Presence::Absent)
            return Removal::Removed;
        break;
    }
    std::fprintf(stderr, "prnremove: the printer \"%s\" could not be removed: %s\n",
        names.printerName.c_str(), cupsLastErrorString());
    return Removal::Failed;
}

} // namespace folyant
