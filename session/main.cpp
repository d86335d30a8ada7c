// folyant-session: the desktop agent of the virtual printer. Started with the
// desktop session, it takes the user's print jobs from the backend, asks
// where to save each and runs the converter with its progress dialog.
#include "session/AgentCommand.h"

int main(int argc, char** argv)
{
    return folyant::session::AgentCommand::fromCommandLine(argc, argv).run();
}
