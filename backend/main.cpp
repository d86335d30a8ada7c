// folyant: the CUPS backend of the virtual printer "Folyant Velmo".
//
// Run by cupsd as root (mode 0700), it becomes the job's user before it
// touches anything of that user, and then either converts the job with
// Folyant_Standard into a PDF in the user's output folder or, when the user's
// document converter has armed a hand-off, writes the job unchanged to the
// suite's spool path.
//
// A failure that belongs to the job (no such user, no PDF made, an output
// folder that cannot be used) cancels that job: retrying would fail again,
// and stopping the queue would hold up every other user's jobs. Only a
// converter that cannot be started at all, a fault of the installation,
// leaves the queue to the print system's error policy.
#include "backend/BackendJob.h"
#include "platform/Process.h"

#include <csignal>
#include <cstdio>

int main(int argc, char** argv)
{
    setbuf(stderr, nullptr);
    folyant::process::ignoreSignal(SIGPIPE);
    const folyant::process::SignalCatch cancel({SIGTERM});
    return folyant::backend::BackendJob::fromCommandLine(argc, argv).run();
}
