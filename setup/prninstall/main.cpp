// prninstall: makes the virtual printer "Folyant Velmo" exist in the print
// system, with --shared as the office's shared printer. Exit status 0 when
// the printer was added, 1 otherwise, 2 for arguments it does not take.
#include "platform/Session.h"
#include "platform/Spooler.h"
#include "platform/qt/QtMessageBox.h"
#include "setup/prninstall/ExitCodes.h"
#include "setup/prninstall/PrinterInstaller.h"
#include "setup/prninstall/ServerSharing.h"
#include "setup/prninstall/Usage.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage
    = "Usage: prninstall [--shared | --share-server]\n"
      "Adds the printer \"Folyant Velmo\" (queue Folyant_Velmo) to the print system,\n"
      "replacing one of that name. Run it as root with cupsd running.\n"
      "  --shared  share it over the network: other machines print to it as\n"
      "            ipp://THIS-HOST/printers/Folyant_Velmo, each job converted for the\n"
      "            account it authenticated as; printer sharing is switched on and\n"
      "            the policy \"folyant-shared\" added to cupsd.conf when missing.\n"
      "  --share-server  only switch sharing on, add that policy, and put the\n"
      "            printer already there under it, keeping its jobs and settings.\n";

constexpr const char* kSharedOption = "--shared";
constexpr const char* kShareServerOption = "--share-server";

// Shares the server and the queue already there without replacing the
// queue: an upgrade shares the one it keeps, with its jobs.
int shareServerOnly()
{
    std::vector<std::string> changes;
    std::string error;
    const folyant::PrinterNames names;
    const std::string queue = folyant::spooler::queueName(names.printerName);
    const bool done = folyant::shareServer(changes, error)
        && (folyant::spooler::FindPrinter(names.printerName, false) != folyant::spooler::Presence::Present
            || folyant::shareQueue(queue, changes, error));
    for (const std::string& change : changes)
        std::printf("prninstall: %s.\n", change.c_str());
    if (!done) {
        std::fprintf(stderr, "prninstall: the print system cannot share the printer: %s\n", error.c_str());
        return folyant::setup::exitcode::kFailed;
    }
    return folyant::setup::exitcode::kDone;
}

} // namespace

int main(int argc, char** argv)
{
    const bool shared = argc == 2 && std::strcmp(argv[1], kSharedOption) == 0;
    const bool serverOnly = argc == 2 && std::strcmp(argv[1], kShareServerOption) == 0;
    if (const auto answered = folyant::setup::answerArguments(shared || serverOnly ? 1 : argc, argv, kUsage))
        return *answered;
    if (const auto refused = folyant::setup::refuseWithoutRoot("prninstall"))
        return *refused;
    if (serverOnly)
        return shareServerOnly();
    const bool unattended = folyant::session::isUnattended();
    // A window only when someone can see it.
    std::unique_ptr<QApplication> application;
    if (!unattended)
        application = std::make_unique<QApplication>(argc, argv);
    folyant::QtMessageBox messages("Setupkit", unattended);
    const folyant::PrinterNames names;
    if (!folyant::InstallVirtualPrinter(names, messages, shared)) {
        std::fprintf(stderr, "prninstall: the printer \"%s\" was not added.\n", names.printerName.c_str());
        return folyant::setup::exitcode::kFailed;
    }
    std::printf("prninstall: the printer \"%s\" was added as queue %s%s.\n", names.printerName.c_str(),
        folyant::spooler::queueName(names.printerName).c_str(),
        shared ? ", shared; a job from another machine needs an authenticated user" : "");
    return folyant::setup::exitcode::kDone;
}
