// prninstall: makes the virtual printer "Folyant Velmo" exist in the print
// system. Exit status 0 when the printer was added, 1 otherwise, 2 for
// arguments it does not take.
#include "platform/Session.h"
#include "platform/Spooler.h"
#include "platform/qt/QtMessageBox.h"
#include "setup/prninstall/ExitCodes.h"
#include "setup/prninstall/PrinterInstaller.h"
#include "setup/prninstall/Usage.h"

#include <QApplication>

#include <cstdio>
#include <memory>

namespace {

constexpr const char* kUsage
    = "Usage: prninstall\n"
      "Adds the printer \"Folyant Velmo\" (queue Folyant_Velmo) to the print system,\n"
      "replacing one of that name. Run it as root with cupsd running.\n";

} // namespace

int main(int argc, char** argv)
{
    if (const auto answered = folyant::setup::answerArguments(argc, argv, kUsage))
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
    if (!folyant::InstallVirtualPrinter(names, messages)) {
        std::fprintf(stderr, "prninstall: the printer \"%s\" was not added.\n", names.printerName.c_str());
        return folyant::setup::exitcode::kFailed;
    }
    std::printf("prninstall: the printer \"%s\" was added as queue %s.\n", names.printerName.c_str(),
        folyant::spooler::queueName(names.printerName).c_str());
    return folyant::setup::exitcode::kDone;
}
