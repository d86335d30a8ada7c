#include "setup/prninstall/PrinterInstaller.h"

#include "platform/MessageBox.h"
#include "platform/Spooler.h"

#include <cstdio>

namespace folyant {

using spooler::Presence;

bool InstallVirtualPrinter(const PrinterNames& names, MessageBox& messages)
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
    if (spooler::FindPrinter(names.printerName, true) != Presence::Absent)
        return false;
    switch (spooler::FindPort(names.monitorName, names.portName)) {
    case Presence::Present:
        break;
    case Presence::Absent:
        messages.show("Printer Port does not exist!", MessageButtons::Ok, MessageIcon::None,
            MessageAnswer::Ok, "Setupkit");
        return false;
    case Presence::Failed:
        return false;
    }
    return spooler::AddPrinter(names.printerName, names.monitorName, names.portName, names.dataFile);
}

bool RemoveVirtualPrinter(const PrinterNames& names)
{
    if (spooler::FindPrinter(names.printerName, false) == Presence::Present)
        spooler::DeletePrinter(names.printerName);
    return spooler::FindPrinter(names.printerName, false) == Presence::Absent;
}

} // namespace folyant
