#include "platform/DefaultDestination.h"

#include <cups/cups.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace folyant {

bool CupsDefaultDestination::exists(const std::string& queue)
{
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
    if (!dest)
        return false;
    cupsFreeDests(1, dest);
    return true;
}

std::string CupsDefaultDestination::choicesFile()
{
    // Where the print system's library itself writes them: the home's file
    // whenever there is a home (root's included), else the system's.
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.cups/lpoptions";
    const char* root = std::getenv("CUPS_SERVERROOT");
    return std::string(root && *root ? root : "/etc/cups") + "/lpoptions";
}

void CupsDefaultDestination::save()
{
    m_path = choicesFile();
    m_content.reset();
    std::ifstream in(m_path, std::ios::binary);
    if (in) {
        std::ostringstream content;
        content << in.rdbuf();
        m_content = content.str();
    }
}

bool CupsDefaultDestination::restore()
{
    if (m_path.empty())
        return false;
    if (!m_content)
        return std::remove(m_path.c_str()) == 0 || access(m_path.c_str(), F_OK) != 0;
    // A reader never sees the file half written.
    const std::string partial = m_path + ".folyant-restore";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << *m_content;
        if (!out.flush())
            return false;
    }
    chmod(partial.c_str(), 0644);
    return std::rename(partial.c_str(), m_path.c_str()) == 0;
}

bool CupsDefaultDestination::makeDefault(const std::string& queue)
{
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    bool found = false;
    for (int i = 0; i < count; ++i) {
        dests[i].is_default = !dests[i].instance && queue == dests[i].name;
        found = found || dests[i].is_default;
    }
    const bool stored = found && cupsSetDests2(CUPS_HTTP_DEFAULT, count, dests) == 0;
    cupsFreeDests(count, dests);
    return stored;
}

} // namespace folyant
