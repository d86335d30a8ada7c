#include "setup/prninstall/ServerSharing.h"

#include "platform/Spooler.h"

#include <cups/adminutil.h>
#include <cups/cups.h>

#include <unistd.h>

#include <strings.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

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

// Switches the server setting that "cupsctl --[no-]share-printers" switches,
// and waits for the print system to come back from the restart it takes.
bool setSharing(bool on, std::string& error)
{
    cups_option_t* settings = nullptr;
    const int count = cupsAddOption(CUPS_SERVER_SHARE_PRINTERS, on ? "1" : "0", 0, &settings);
    const int done = cupsAdminSetServerSettings(CUPS_HTTP_DEFAULT, count, settings);
    cupsFreeOptions(count, settings);
    if (!done) {
        error = std::string("sharing was not switched ") + (on ? "on: " : "off: ") + cupsLastErrorString();
        return false;
    }
    if (!answersAgain()) {
        error = std::string("the print system did not answer after sharing was switched ")
            + (on ? "on" : "off");
        return false;
    }
    return true;
}

// cupsd.conf as the print system serves it; nothing (error said) when it
// cannot be read.
std::optional<std::string> readConfiguration(std::string& error)
{
    ScratchFile scratch;
    if (scratch.fd < 0) {
        error = "no scratch file for the print system's configuration";
        return std::nullopt;
    }
    if (!retried([&] {
            return ::ftruncate(scratch.fd, 0) == 0 && ::lseek(scratch.fd, 0, SEEK_SET) == 0
                && cupsGetFd(Connection().http, kConfigurationResource, scratch.fd) == HTTP_STATUS_OK;
        })) {
        error = std::string("the print system's configuration could not be read: ") + cupsLastErrorString();
        return std::nullopt;
    }
    std::ifstream read(scratch.path);
    std::ostringstream configuration;
    configuration << read.rdbuf();
    return configuration.str();
}

// Hands the print system its new cupsd.conf and waits for its restart.
bool writeConfiguration(const std::string& text, const char* what, std::string& error)
{
    ScratchFile scratch;
    if (scratch.fd < 0
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
        error
            = std::string(what) + ": " + httpStatus(put) + " (" + std::to_string(static_cast<int>(put)) + ")";
        return false;
    }
    if (!answersAgain()) {
        error = "the print system did not answer after its configuration changed";
        return false;
    }
    return true;
}

// The comment line that tells a later removal that sharing was off before.
constexpr const char* kSwitchedOnMark = "# Sharing was switched on with it, and goes off with it.";

} // namespace

std::string sharedPolicyBlock(bool switchedSharingOn)
{
    return std::string("# Printing to the shared printer \"Folyant Velmo\" needs an authenticated user:\n"
                       "# a job from another machine is converted for the account it authenticated as.\n")
        + (switchedSharingOn ? std::string(kSwitchedOnMark) + "\n" : std::string()) + "<Policy "
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

// What the print system says of a queue's sharing.
struct QueueSharing {
    std::string name;
    std::string policy;
    bool shared = false;
};

// Every queue's policy and sharing, asked of the print system (the
// destinations' options hold no policy).
std::vector<QueueSharing> queueSharing()
{
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    static const char* const wanted[] = {"printer-name", "printer-op-policy", "printer-is-shared"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr, wanted);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    std::vector<QueueSharing> queues;
    for (ipp_attribute_t* attribute = response ? ippFirstAttribute(response) : nullptr; attribute;
         attribute = ippNextAttribute(response)) {
        const char* name = ippGetName(attribute);
        if (!name || ippGetGroupTag(attribute) != IPP_TAG_PRINTER) {
            if (queues.empty() || !queues.back().name.empty())
                queues.emplace_back();
            continue;
        }
        if (queues.empty())
            queues.emplace_back();
        const std::string attributeName = name;
        if (attributeName == "printer-name")
            queues.back().name = ippGetString(attribute, 0, nullptr);
        else if (attributeName == "printer-op-policy")
            queues.back().policy = ippGetString(attribute, 0, nullptr);
        else if (attributeName == "printer-is-shared")
            queues.back().shared = ippGetBoolean(attribute, 0) != 0;
    }
    ippDelete(response);
    std::erase_if(queues, [](const QueueSharing& queue) { return queue.name.empty(); });
    return queues;
}

} // namespace

bool underSharedPolicy(const std::string& queue)
{
    for (const auto& found : queueSharing())
        if ((queue.empty() || strcasecmp(found.name.c_str(), queue.c_str()) == 0)
            && found.policy == kSharedPolicy)
            return true;
    return false;
}

bool shareQueue(const std::string& queue, std::vector<std::string>& changes, std::string& error)
{
    // A restart the print system still owed for its new configuration reads
    // the queue back from its file, without what was set a moment before:
    // set again until it holds.
    for (int tries = 0; tries < 10; ++tries) {
        const auto queues = queueSharing();
        const auto found = std::find_if(queues.begin(), queues.end(),
            [&queue](const QueueSharing& each) { return strcasecmp(each.name.c_str(), queue.c_str()) == 0; });
        if (found == queues.end()) {
            error = "there is no queue " + queue;
            return false;
        }
        if (found->policy == kSharedPolicy && found->shared) {
            if (tries > 0)
                changes.emplace_back(
                    "the queue " + queue + " shared under the policy \"" + kSharedPolicy + "\"");
            return true;
        }
        ipp_t* request = ippNewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
            ("ipp://localhost/printers/" + queue).c_str());
        ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-op-policy", nullptr, kSharedPolicy);
        ippAddBoolean(request, IPP_TAG_PRINTER, "printer-is-shared", 1);
        ippDelete(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/admin/"));
        if (cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
            error = std::string("the queue ") + queue + " was not shared: " + cupsLastErrorString();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::seconds(2));
    }
    error = "the queue " + queue + " did not stay shared";
    return false;
}

bool shareServer(std::vector<std::string>& changes, std::string& error)
{
    const bool switchedOn = !sharing();
    if (switchedOn) {
        if (!setSharing(true, error))
            return false;
        changes.emplace_back("printer sharing switched on, as \"cupsctl --share-printers\" does");
    }
    auto text = readConfiguration(error);
    if (!text)
        return false;
    if (hasPolicy(*text))
        return true;
    if (!text->empty() && text->back() != '\n')
        *text += '\n';
    *text += '\n';
    *text += sharedPolicyBlock(switchedOn);
    if (!writeConfiguration(*text, "the policy was not added to the print system's configuration", error))
        return false;
    changes.emplace_back(std::string("the policy \"") + kSharedPolicy
        + "\" added to cupsd.conf: printing needs an authenticated user");
    return true;
}

bool unshareServer(std::vector<std::string>& changes, std::string& error)
{
    auto text = readConfiguration(error);
    if (!text)
        return false;
    if (!hasPolicy(*text) || underSharedPolicy({}))
        return true;
    // The block as it was appended, its comment and the blank line before
    // it included; one an administrator changed by hand is theirs to remove.
    // (Found in two steps: GCC 12 warns falsely of a string sum here.)
    bool switchedOn = true;
    std::size_t at = text->find(sharedPolicyBlock(switchedOn));
    if (at == std::string::npos) {
        switchedOn = false;
        at = text->find(sharedPolicyBlock(switchedOn));
    }
    at = at == std::string::npos || at == 0 || (*text)[at - 1] != '\n' ? std::string::npos : at - 1;
    if (at == std::string::npos) {
        changes.emplace_back(std::string("the policy \"") + kSharedPolicy
            + "\" in cupsd.conf was changed by hand and stays; no printer uses it");
        return true;
    }
    text->erase(at, 1 + sharedPolicyBlock(switchedOn).size());
    if (!writeConfiguration(*text, "the policy was not taken out of the print system's configuration", error))
        return false;
    changes.emplace_back(std::string("the policy \"") + kSharedPolicy + "\" taken out of cupsd.conf");
    if (switchedOn && sharing()) {
        if (!setSharing(false, error))
            return false;
        changes.emplace_back("printer sharing switched off again, as \"cupsctl --no-share-printers\" does");
    }
    return true;
}

} // namespace folyant
