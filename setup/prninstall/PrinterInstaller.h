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

// The operation policy the queue is created with, so that a job's PDF goes
// to the user the print system authenticated, not to whatever name a client
// put on the job. Debian's cupsd.conf defines it.
inline constexpr const char* kOwnJobsPolicy = "authenticated";

// Makes the printer exist: the print system must answer, the monitor (our
// backend) must be known, the driver (the printer description) present, an
// old printer of the name is deleted, the port must exist, then the printer
// is added. True when the printer was added. The only message box: "Printer
// Port does not exist!"; what went wrong otherwise, and a queue that had to
// be made without kOwnJobsPolicy, is one line on standard error.
//
// Shared, the print system is first made to share printers and to know
// kSharedPolicy (what changed is one line each on standard output), and the
// queue is shared under that policy; a print system that refuses either
// leaves no printer.
bool InstallVirtualPrinter(const PrinterNames& names, MessageBox& messages, bool shared = false);

// What the remover found and did.
enum class Removal { Removed, NothingToRemove, Failed };

// Removes what the installer made: the printer queue. Driver, ports and
// monitor are files on this platform and stay. A print system that does not
// answer is Failed, with a line on standard error.
Removal RemoveVirtualPrinter(const PrinterNames& names);

} // namespace folyant
