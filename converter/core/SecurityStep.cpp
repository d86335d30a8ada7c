#include "converter/core/SecurityStep.h"

#include "converter/core/CPdfSecurity.h"
#include "converter/core/OutputFile.h"
#include "converter/core/StringTable.h"
#include "platform/FileIo.h"
#include "platform/Folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

namespace folyant::converter {

namespace {

// A unique empty file beside the PDF, else in the temporary folder. Its name
// is short whatever the PDF's, so that it always fits the folder.
std::string makeCopyName(const std::string& pdfPath)
{
    for (const std::string& folder : {folders::folderOf(pdfPath), folders::tempFolder()}) {
        std::string name = folder + "/.protect-XXXXXX";
        const int fd = mkstemp(name.data());
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
    }
    return {};
}

} // namespace

int protectInPlace(const std::string& pdfPath, const CPdfSecurity& request)
{
    const std::string copy = makeCopyName(pdfPath);
    if (copy.empty())
        return RecordPdfFailure(pdferror::kInputOutput);

    const int code = EncryptPdfFile(pdfPath, "", copy, &request);
    if (code != 0) {
        ::unlink(copy.c_str());
        return code;
    }
    // The copy takes the PDF's permissions, not mkstemp's private ones.
    struct stat original { };
    if (::stat(pdfPath.c_str(), &original) == 0)
        ::chmod(copy.c_str(), original.st_mode & 07777);
    if (io::rename(copy.c_str(), pdfPath.c_str()) != 0) {
        // The PDF at the path is still the open one: that is no success.
        ::unlink(copy.c_str());
        return RecordPdfFailure(pdferror::kInputOutput);
    }
    return code;
}

std::string unprotectedNameFor(const std::string& pdfPath)
{
    return taggedNameFor(pdfPath, "unprotected");
}

bool isCutShortPdf(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info { };
    bool cut = false;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        char tail[1024];
        const off_t from = info.st_size > static_cast<off_t>(sizeof tail)
            ? info.st_size - static_cast<off_t>(sizeof tail)
            : 0;
        const ssize_t got = ::pread(fd, tail, sizeof tail, from);
        cut = got <= 0
            || std::string_view(tail, static_cast<std::size_t>(got)).find("%%EOF") == std::string_view::npos;
    }
    ::close(fd);
    return cut;
}

int securityFailureMessage(int code)
{
    switch (code) {
    case pdferror::kInputOutput:
        return strings::kPdfMissing;
    case pdferror::kStructure:
        return strings::kPdfNotCorrect;
    default:
        return 0;
    }
}

} // namespace folyant::converter
