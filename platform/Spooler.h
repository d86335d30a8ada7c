#pragma once

#include <cstdint>
#include <string>

// The print spooler as the setup tools see it, over CUPS: a port monitor is
// a backend of ours that CUPS knows, a port is that backend's device URI, a
// driver is the printer description found in the printer-driver folder, and
// a printer is a queue. Queue names cannot hold blanks: the printer
// "Folyant Velmo" is the queue "Folyant_Velmo" described as "Folyant Velmo".
namespace folyant::spooler {

enum class Presence { Present, Absent, Failed };

// The queue that stands for a printer name.
std::string queueName(const std::string& printerName);
// The backend scheme of a monitor name ("Folyant Velmo Port Monitor" is
// "folyant"), and the device URI of a port ("PPD:" is "folyant:/PPD").
std::string schemeOf(const std::string& monitorName);
std::string deviceUriOf(const std::string& monitorName, const std::string& portName);

// The Windows rule over a version value: only a set high bit with a major
// version of 4 or more is the 9x family. This platform is of the NT family.
bool IsWin9x(std::uint32_t version);
std::uint32_t GetVersion();

// Whether the print system answers at all (cupsd reachable at the server
// the CUPS library names).
bool IsRunning();

// Names compare without regard to case throughout.
Presence FindMonitor(const std::string& monitorName);
Presence FindPort(const std::string& monitorName, const std::string& portName);
Presence FindDriver(const std::string& driverName, const std::string& dataFile);
// With remove set, a present printer is deleted and the answer is Absent
// (Failed when it could not be deleted).
Presence FindPrinter(const std::string& printerName, bool remove);

bool DeletePrinter(const std::string& printerName);

// Whether the calling user has a job on the queue that the print system has
// not finished yet.
bool HasActiveJobs(const std::string& queue);
// A queue bound to the port, with the driver's printer description; shared
// over the network only when asked, enabled, accepting jobs, under the named
// operation policy (the server's default one when empty).
bool AddPrinter(const std::string& printerName, const std::string& monitorName, const std::string& portName,
    const std::string& dataFile, const std::string& operationPolicy = {}, bool shared = false);

} // namespace folyant::spooler
