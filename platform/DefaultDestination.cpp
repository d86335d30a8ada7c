#include "platform/DefaultDestination.h"

#include "platform/Folders.h"
#include "platform/WholeFile.h"

#include <cups/cups.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace folyant {

namespace {
constexpr const char* kRecordHeader = "folyant saved printer choices\n";

bool isLink(const std::string& path)
{
    struct stat info { };
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// A file's content: nothing with absent set when there is no such file,
// nothing with absent clear when it could not be read (or is no regular file).
std::optional<std::string> readFile(const std::string& path, bool& absent)
{
    auto content = wholefile::read(path, false);
    absent = !content && errno == ENOENT;
    return content;
}

// Whether the choices name queue as the default ("Default QUEUE[/INSTANCE] options").
bool namesDefault(const std::string& choices, const std::string& queue)
{
    std::istringstream lines(choices);
    for (std::string line; std::getline(lines, line);) {
        const std::string prefix = "Default " + queue;
        if (line.compare(0, prefix.size(), prefix) == 0
            && (line.size() == prefix.size() || line[prefix.size()] == ' ' || line[prefix.size()] == '\t'))
            return true;
    }
    return false;
}
} // namespace

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

bool CupsDefaultDestination::save()
{
    m_path.clear();
    m_content.reset();
    const std::string path = choicesFile();
    // The print system's library would write through a link, and putting the
    // file back would replace the link: neither is ours to do.
    if (isLink(path) || isLink(folders::folderOf(path)))
        return false;
    bool absent = false;
    auto content = readFile(path, absent);
    if (!content && !absent)
        return false;
    ::mkdir(folders::folderOf(path).c_str(), 0700);
    std::string record
        = std::string(kRecordHeader) + path + "\n" + (content ? "present\n" + *content : "absent\n");
    if (!wholefile::replace(recordFile(), record, 0600))
        return false;
    m_path = path;
    m_content = std::move(content);
    return true;
}

bool CupsDefaultDestination::makeDefault(const std::string& queue)
{
    if (m_path.empty() || isLink(m_path))
        return false;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    bool found = false;
    for (int i = 0; i < count; ++i) {
        dests[i].is_default = !dests[i].instance && queue == dests[i].name;
        found = found || dests[i].is_default;
    }
    const bool stored = found && cupsSetDests2(CUPS_HTTP_DEFAULT, count, dests) == 0;
    cupsFreeDests(count, dests);
    // The library does not always notice a write that the disk did not take.
    bool absent = false;
    const auto written = readFile(m_path, absent);
    return stored && written && namesDefault(*written, queue);
}

bool CupsDefaultDestination::restore()
{
    if (m_path.empty() || isLink(m_path))
        return false;
    bool restored = false;
    if (!m_content)
        restored = std::remove(m_path.c_str()) == 0 || errno == ENOENT;
    else
        restored = wholefile::replace(m_path, *m_content, 0644);
    if (restored) {
        std::remove(recordFile().c_str());
        m_path.clear();
    }
    return restored;
}

void CupsDefaultDestination::recover()
{
    bool absent = false;
    const auto record = readFile(recordFile(), absent);
    const std::string header = kRecordHeader;
    if (!record || record->compare(0, header.size(), header) != 0)
        return;
    const auto pathEnd = record->find('\n', header.size());
    const auto stateEnd = pathEnd == std::string::npos ? pathEnd : record->find('\n', pathEnd + 1);
    if (stateEnd == std::string::npos)
        return;
    const std::string path = record->substr(header.size(), pathEnd - header.size());
    const std::string state = record->substr(pathEnd + 1, stateEnd - pathEnd - 1);
    // Only the file the record stands beside.
    if (path != choicesFile() || (state != "present" && state != "absent"))
        return;
    m_path = path;
    m_content.reset();
    if (state == "present")
        m_content = record->substr(stateEnd + 1);
    restore();
}

} // namespace folyant
