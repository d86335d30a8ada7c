#include "docconverter/core/StartCommand.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

namespace folyant::docconverter {

namespace {
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isFolder(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A file open for writing anywhere refuses a read lease; the system grants
// leases only to the file's owner, so for others only the lock can tell.
bool isOpenForWriting(int fd)
{
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        return false;
    }
    return errno == EAGAIN || errno == EBUSY;
}
} // namespace

std::string trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

std::string fromCommandLine(std::string_view name, const std::string& workingFolder)
{
    std::string path = trimmed(name);
    if (path.empty() || path.front() == '/' || workingFolder.empty())
        return path;
    return workingFolder + (workingFolder.back() == '/' ? "" : "/") + path;
}

std::string completedPdfPath(const std::string& pdfPath)
{
    std::string ending = pdfPath.size() >= 4 ? pdfPath.substr(pdfPath.size() - 4) : std::string();
    for (char& c : ending)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ending == ".pdf" ? pdfPath : pdfPath + ".pdf";
}

std::string temporaryPathFor(const std::string& pdfPath)
{
    return pdfPath.substr(0, pdfPath.size() >= 4 ? pdfPath.size() - 4 : 0) + ".tmp";
}

std::string folderPartOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool canOpenExclusively(const std::string& path, bool refuseWriters)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info { };
    bool usable = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (usable && ::flock(fd, LOCK_SH | LOCK_NB) != 0)
        usable = false;
    if (usable && refuseWriters && isOpenForWriting(fd))
        usable = false;
    ::close(fd);
    return usable;
}

StartVerdict checkStartNames(StartNames& names)
{
    names.pdfPath = trimmed(names.pdfPath);
    names.documentPath = trimmed(names.documentPath);
    if (names.pdfPath.empty() || names.documentPath.empty())
        return {};
    names.pdfPath = completedPdfPath(names.pdfPath);

    struct stat info { };
    if (::stat(names.pdfPath.c_str(), &info) == 0) {
        if (!canOpenExclusively(names.pdfPath, true))
            return {StartCheck::Refused, "'" + names.pdfPath + "' 파일이 열려있습니다."};
    } else {
        const std::string folder = folderPartOf(names.pdfPath);
        if (folder.empty() || folder.front() != '/' || !isFolder(folder))
            return {StartCheck::Refused, "'" + folder + "' 폴더가 존재하지 않습니다."};
    }
    if (!canOpenExclusively(names.documentPath, false))
        return {
            StartCheck::Refused, "'" + names.documentPath + "' 파일이 열려있거나, 올바르지 않는 파일입니다."};
    return {StartCheck::Ready, {}};
}

} // namespace folyant::docconverter
