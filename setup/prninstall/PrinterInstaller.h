#pragma once

#include <string>

namespace folyant {

class MessageBox;

// The names the virtual printer is installed under.
struct PrinterNames {
    std::string monitorName = "Folyant Velmo Port Monitor";
    std::string monitorLibrary = "folyant";
    std::string printerName = "Folyant Velmo";
    std::string driverName = "Folyant Velmo";
    std::string driverFile = "folyant";
    std::string dataFile = "FolyDrv.ppd";
    std::string configFile = "folyant";
    std::string portName = "PPD:";
};

// Makes the printer exist: the monitor (our backend) must be known, the
// driver (the printer description) present, an old printer of the name is
// deleted, the port must exist, then the printer is added. True when the
// printer was added. The only message: "Printer Port does not exist!".
bool InstallVirtualPrinter(const PrinterNames& names, MessageBox& messages);

// Removes what the installer made: the printer queue. Driver, ports and
// monitor are files on this platform and stay. True when no printer of the
// suite is left.
bool RemoveVirtualPrinter(const PrinterNames& names);

} // namespace folyant
