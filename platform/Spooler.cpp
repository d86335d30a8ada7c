#include "platform/Spooler.h"

#include "installation/PrinterDriverFolder.h"

#include <cups/adminutil.h>
#include <cups/cups.h>

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

namespace folyant::spooler {

namespace {

constexpr int kDeviceTimeoutSeconds = 10;
constexpr int kConnectTimeoutMs = 5000;

std::string printerUri(const std::string& printerName)
{
    return "ipp://localhost/printers/" + queueName(printerName);
}

bool succeeded()
{
    return cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

struct DeviceSearch {
    std::string uri; // empty: any device of the scheme
    bool found = false;
};

void onDevice(const char*, const char*, const char*, const char*, const char* uri, const char*, void* data)
{
    auto* search = static_cast<DeviceSearch*>(data);
    if (search->uri.empty() || strcasecmp(search->uri.c_str(), uri) == 0)
        search->found = true;
}

Presence findDevice(const std::string& scheme, const std::string& uri)
{
    DeviceSearch search{uri, false};
    // Deprecated along with all of the admin interface, and still the one way
    // to ask which devices the backends report.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const ipp_status_t status = cupsGetDevices(
        CUPS_HTTP_DEFAULT, kDeviceTimeoutSeconds, scheme.c_str(), nullptr, onDevice, &search);
#pragma GCC diagnostic pop
    if (status > IPP_STATUS_OK_EVENTS_COMPLETE)
        return Presence::Failed;
    return search.found ? Presence::Present : Presence::Absent;
}

} // namespace

std::string queueName(const std::string& printerName)
{
    std::string name = printerName;
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
}

std::string schemeOf(const std::string& monitorName)
{
    return strcasecmp(monitorName.c_str(), "Folyant Velmo Port Monitor") == 0 ? "folyant" : monitorName;
}

std::string deviceUriOf(const std::string& monitorName, const std::string& portName)
{
    std::string port = portName;
    if (!port.empty() && port.back() == ':')
        port.pop_back();
    std::replace(port.begin(), port.end(), ' ', '_');
    return schemeOf(monitorName) + ":/" + port;
}

bool IsWin9x(std::uint32_t version)
{
    if ((version & 0x80000000u) == 0)
        return false;
    return (version & 0xFFu) >= 4;
}

std::uint32_t GetVersion()
{
    return 0; // the NT family: the high bit is clear
}

bool IsRunning()
{
    http_t* connection = httpConnect2(
        cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kConnectTimeoutMs, nullptr);
    if (!connection)
        return false;
    httpClose(connection);
    return true;
}

Presence FindMonitor(const std::string& monitorName)
{
    return findDevice(schemeOf(monitorName), {});
}

Presence FindPort(const std::string& monitorName, const std::string& portName)
{
    return findDevice(schemeOf(monitorName), deviceUriOf(monitorName, portName));
}

Presence FindDriver(const std::string& driverName, const std::string& dataFile)
{
    std::ifstream ppd(printerDriverFolder() + "/" + dataFile);
    if (!ppd)
        return Presence::Absent;
    for (std::string line; std::getline(ppd, line);) {
        if (line.rfind("*NickName:", 0) != 0)
            continue;
        const auto open = line.find('"');
        const auto close = line.rfind('"');
        if (open == std::string::npos || close <= open)
            return Presence::Failed;
        return strcasecmp(line.substr(open + 1, close - open - 1).c_str(), driverName.c_str()) == 0
            ? Presence::Present
            : Presence::Absent;
    }
    return Presence::Absent;
}

Presence FindPrinter(const std::string& printerName, bool remove)
{
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddString(
        request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (!response)
        return cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND ? Presence::Absent : Presence::Failed;
    const std::string wanted = queueName(printerName);
    bool present = false;
    for (ipp_attribute_t* attribute = ippFindAttribute(response, "printer-name", IPP_TAG_NAME); attribute;
         attribute = ippFindNextAttribute(response, "printer-name", IPP_TAG_NAME)) {
        const char* name = ippGetString(attribute, 0, nullptr);
        if (name && strcasecmp(name, wanted.c_str()) == 0)
            present = true;
    }
    ippDelete(response);
    if (present && remove)
        return DeletePrinter(printerName) ? Presence::Absent : Presence::Failed;
    return present ? Presence::Present : Presence::Absent;
}

bool HasActiveJobs(const std::string& queue)
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 1, CUPS_WHICHJOBS_ACTIVE);
    cupsFreeJobs(count, jobs);
    return count > 0;
}

bool DeletePrinter(const std::string& printerName)
{
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_DELETE_PRINTER);
    ippAddString(
        request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri(printerName).c_str());
    ippDelete(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/admin/"));
    return succeeded();
}

bool AddPrinter(const std::string& printerName, const std::string& monitorName, const std::string& portName,
    const std::string& dataFile, const std::string& operationPolicy, bool shared)
{
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER);
    ippAddString(
        request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri(printerName).c_str());
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr,
        deviceUriOf(monitorName, portName).c_str());
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-info", nullptr, printerName.c_str());
    ippAddBoolean(request, IPP_TAG_PRINTER, "printer-is-shared", shared ? 1 : 0);
    ippAddBoolean(request, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
    ippAddInteger(request, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
    if (!operationPolicy.empty())
        ippAddString(
            request, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-op-policy", nullptr, operationPolicy.c_str());
    const std::string ppd = printerDriverFolder() + "/" + dataFile;
    ippDelete(cupsDoFileRequest(CUPS_HTTP_DEFAULT, request, "/admin/", ppd.c_str()));
    return succeeded();
}

} // namespace folyant::spooler
