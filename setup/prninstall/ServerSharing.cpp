#include "setup/prninstall/ServerSharing.h"

#include "platform/Spooler.h"

#include <cups/adminutil.h>
#include <cups/cups.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace folyant {

namespace {

constexpr const char* kConfigurationResource = "/admin/conf/cupsd.conf";

// The print system restarts after each change of its configuration, a
// moment after it has answered the change.
bool answersAgain()
{
    std::this_thread::sleep_for(std::chrono::seconds(1));
    for (int tries = 0; tries < 150; ++tries) {
        if (spooler::IsRunning())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
}

} // namespace

bool retried(const std::function<bool()>& request)
{
    // A connection the restart closed fails once; the next one reaches the
    // new instance.
    for (int tries = 0; tries < 10; ++tries) {
        if (request())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    return false;
}

namespace {

// A connection of its own for each request: one that a restart of the print
// system closed would fail the next request.
struct Connection {
    http_t* http
        = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr);
    ~Connection()
    {
        if (http)
            httpClose(http);
    }
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
};

bool sharing()
{
    int count = 0;
    cups_option_t* settings = nullptr;
    if (!cupsAdminGetServerSettings(CUPS_HTTP_DEFAULT, &count, &settings))
        return false;
    const char* value = cupsGetOption(CUPS_SERVER_SHARE_PRINTERS, count, settings);
    const bool shared = value && std::string(value) == "1";
    cupsFreeOptions(count, settings);
    return shared;
}

bool hasPolicy(const std::string& configuration)
{
    std::istringstream lines(configuration);
    const std::string opening = std::string("<Policy ") + kSharedPolicy + ">";
    for (std::string line; std::getline(lines, line);) {
        const auto start = line.find_first_not_of(" \t");
        if (start != std::string::npos && line.compare(start, opening.size(), opening) == 0)
            return true;
    }
    return false;
}

// A scratch file of root's for the configuration on its way.
struct ScratchFile {
    std::string path = "/tmp/prninstall-XXXXXX";
    int fd = -1;
    ScratchFile() { fd = ::mkstemp(path.data()); }
    ~ScratchFile()
    {
        if (fd >= 0) {
            ::close(fd);
            ::unlink(path.c_str());
        }
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
};

} // namespace

std::string sharedPolicyBlock()
{
    return std::string("# Printing to the shared printer \"Folyant Velmo\" needs an authenticated user:\n"
                       "# a job from another machine is converted for the account it authenticated as.\n"
                       "<Policy ")
        + kSharedPolicy
        + ">\n"
          "  JobPrivateAccess default\n"
          "  JobPrivateValues default\n"
          "  SubscriptionPrivateAccess default\n"
          "  SubscriptionPrivateValues default\n"
          "  <Limit Create-Job Print-Job Print-URI Validate-Job>\n"
          "    AuthType Default\n"
          "    Require valid-user\n"
          "    Encryption Required\n"
          "    Order deny,allow\n"
          "  </Limit>\n"
          "  <Limit Send-Document Send-URI Hold-Job Release-Job Restart-Job Purge-Jobs Set-Job-Attributes "
          "Create-Job-Subscription Renew-Subscription Cancel-Subscription Get-Notifications Reprocess-Job "
          "Cancel-Current-Job Suspend-Current-Job Resume-Job Cancel-My-Jobs Close-Job CUPS-Move-Job "
          "CUPS-Get-Document Cancel-Job>\n"
          "    AuthType Default\n"
          "    Require user @OWNER @SYSTEM\n"
          "    Order deny,allow\n"
          "  </Limit>\n"
          "  <Limit CUPS-Add-Modify-Printer CUPS-Delete-Printer CUPS-Add-Modify-Class CUPS-Delete-Class "
          "CUPS-Set-Default CUPS-Get-Devices Pause-Printer Resume-Printer Enable-Printer Disable-Printer "
          "Pause-Printer-After-Current-Job Hold-New-Jobs Release-Held-New-Jobs Deactivate-Printer "
          "Activate-Printer Restart-Printer Shutdown-Printer Startup-Printer Promote-Job Schedule-Job-After "
          "Cancel-Jobs CUPS-Accept-Jobs CUPS-Reject-Jobs>\n"
          "    AuthType Default\n"
          "    Require user @SYSTEM\n"
          "    Order deny,allow\n"
          "  </Limit>\n"
          "  <Limit All>\n"
          "    Order deny,allow\n"
          "  </Limit>\n"
          "</Policy>\n";
}

namespace {

// Printer sharing on, as "cupsctl --share-printers" switches it.
bool switchSharingOn(std::vector<std::string>& changes, std::string& error)
{
    if (!sharing()) {
        cups_option_t* settings = nullptr;
        const int count = cupsAddOption(CUPS_SERVER_SHARE_PRINTERS, "1", 0, &settings);
        const int done = cupsAdminSetServerSettings(CUPS_HTTP_DEFAULT, count, settings);
        cupsFreeOptions(count, settings);
        if (!done) {
            error = std::string("sharing was not switched on: ") + cupsLastErrorString();
            return false;
        }
        changes.emplace_back("printer sharing switched on, as \"cupsctl --share-printers\" does");
        if (!answersAgain()) {
            error = "the print system did not answer after sharing was switched on";
            return false;
        }
    }
    return true;
}

// The shared policy appended to the server's configuration, unless it is
// there already.
bool addSharedPolicy(std::vector<std::string>& changes, std::string& error)
{
    ScratchFile scratch;
    if (scratch.fd < 0) {
        error = "no scratch file for the print system's configuration";
        return false;
    }
    if (!retried([&] {
            return ::ftruncate(scratch.fd, 0) == 0 && ::lseek(scratch.fd, 0, SEEK_SET) == 0
                && cupsGetFd(Connection().http, kConfigurationResource, scratch.fd) == HTTP_STATUS_OK;
        })) {
        error = std::string("the print system's configuration could not be read: ") + cupsLastErrorString();
        return false;
    }
    std::ifstream read(scratch.path);
    std::ostringstream configuration;
    configuration << read.rdbuf();
    std::string text = configuration.str();
    if (hasPolicy(text))
        return true;
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    text += '\n';
    text += sharedPolicyBlock();
    if (::ftruncate(scratch.fd, 0) != 0 || ::lseek(scratch.fd, 0, SEEK_SET) != 0
        || ::write(scratch.fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        error = "the print system's configuration could not be written to a scratch file";
        return false;
    }
    http_status_t put = HTTP_STATUS_NONE;
    if (!retried([&] {
            const Connection connection;
            put = cupsPutFile(connection.http, kConfigurationResource, scratch.path.c_str());
            return put == HTTP_STATUS_CREATED || put == HTTP_STATUS_OK;
        })) {
        error = std::string("the policy was not added to the print system's configuration: ")
            + httpStatus(put) + " (" + std::to_string(static_cast<int>(put)) + ")";
        return false;
    }
    changes.emplace_back(std::string("the policy \"") + kSharedPolicy
        + "\" added to cupsd.conf: printing needs an authenticated user");
    if (!answersAgain()) {
        error = "the print system did not answer after its configuration changed";
        return false;
    }
    return true;
}

} // namespace

bool shareServer(std::vector<std::string>& changes, std::string& error)
{
    return switchSharingOn(changes, error) && addSharedPolicy(changes, error);
}

} // namespace folyant
