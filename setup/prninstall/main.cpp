// prninstall: makes the virtual printer "Folyant Velmo" exist in the print
// system. Exit status 0 when the printer was added, 1 otherwise.
#include "platform/QtMessageBox.h"
#include "platform/Session.h"
#include "setup/prninstall/ExitCodes.h"
#include "setup/prninstall/PrinterInstaller.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv)
{
    const bool unattended = folyant::session::isUnattended();
    // A window only when someone can see it.
    std::unique_ptr<QApplication> application;
    if (!unattended)
        application = std::make_unique<QApplication>(argc, argv);
    folyant::QtMessageBox messages("Setupkit", unattended);
    return folyant::InstallVirtualPrinter(folyant::PrinterNames{}, messages)
        ? folyant::setup::exitcode::kDone
        : folyant::setup::exitcode::kFailed;
}
