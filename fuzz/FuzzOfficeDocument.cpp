// Documents handed to the document converter, which any user can shape: the
// compound file reader behind the checks before printing must answer for any
// bytes under any of the names it judges, without reading outside the file or
// following a chain for ever.
#include "docconverter/core/CompoundFile.h"
#include "docconverter/core/DocumentInspection.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* temp = std::getenv("TMPDIR");
    std::string path = std::string(temp && *temp == '/' ? temp : "/tmp") + "/folyant-fuzz-XXXXXX.doc";
    const int fd = ::mkstemps(path.data(), 4);
    if (fd < 0)
        std::abort();
    if (::write(fd, data, size) != static_cast<ssize_t>(size))
        std::abort();
    ::close(fd);
    std::string named = path;
    for (const char* type : {".doc", ".xls", ".ppt", ".hwp"}) {
        const std::string next = path.substr(0, path.size() - 4) + type;
        std::rename(named.c_str(), next.c_str());
        named = next;
        folyant::docconverter::inspectDocument(named);
    }
    if (const auto file = folyant::docconverter::CompoundFile::open(named))
        for (const char* stream : {"WordDocument", "Workbook", "PowerPoint Document", "FileHeader"})
            if (const auto content = file->readStream(stream, 1 << 20);
                content && content->size() > (1u << 20))
                std::abort();
    std::remove(named.c_str());
    return 0;
}
