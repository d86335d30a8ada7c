// prnremove: takes the virtual printer away again. Exit status 0 when no
// printer of the suite is left, 1 otherwise.
#include "PrinterInstaller.h"

int main()
{
    return folyant::RemoveVirtualPrinter(folyant::PrinterNames{}) ? 0 : 1;
}
