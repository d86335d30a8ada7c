// prninstall: makes the virtual printer "Folyant Velmo" exist in the print
// system, with --shared as the office's shared printer. Exit status 0 when
// the printer was added, 1 otherwise, 2 for arguments it does not take.
#include "platform/Session.h"
#include "platform/Spooler.h"
#include "platform/qt/QtMessageBox.h"
#include "setup/prninstall/ExitCodes.h"
#include "setup/prninstall/PrinterInstaller.h"
#include "setup/prninstall/Usage.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr const char* kUsage
    = "Usage: prninstall [--shared]\n"
      "Adds the printer \"Folyant Velmo\" (queue Folyant_Velmo) to the print system,\n"
      "replacing one of that name. Run it as root with cupsd running.\n"
      "  --shared  share it over the network: other machines print to it as\n"
      "            ipp://THIS-HOST/printers/Folyant_Velmo, each job converted for the\n"
      "            account it authenticated as; printer sharing is switched on and\n"
      "            the policy \"folyant-shared\" added to cupsd.conf when missing.\n";

constexpr const char* kSharedOption = "--shared";

} // namespace

int main(int argc, char** argv)
{
    const bool shared = argc == 2 && std::strcmp(argv[1], kSharedOption) == 0;
    if (const auto answered = folyant::setup::answerArguments(shared ? 1 : argc, argv, kUsage))
        return *answered;
    if (const auto refused = folyant::setup::refuseWithoutRoot("prninstall"))
        return *refused;
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
