// prnremove: takes the virtual printer away again. Exit status 0 when no
// printer of the suite is left, 1 otherwise.
#include "setup/prninstall/ExitCodes.h"
#include "setup/prninstall/PrinterInstaller.h"

int main()
{
    return folyant::RemoveVirtualPrinter(folyant::PrinterNames{}) ? folyant::setup::exitcode::kDone
                                                                  : folyant::setup::exitcode::kFailed;
}
