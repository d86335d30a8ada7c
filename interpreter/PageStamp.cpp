#include "interpreter/PageStamp.h"

#include <algorithm>

namespace folyant::gs {

const std::string_view kPrologue = "\n/= { //= exec flush } bind def\n";

std::string stampPathFor(std::string_view libFolder)
{
    std::string path(libFolder);
    path += "/zev.ps";
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string endPageProcedure(std::string_view stampPath)
{
    std::string escaped;
    for (const char c : stampPath) {
        if (c == '(' || c == ')' || c == '\\')
            escaped += '\\';
        escaped += c;
    }
    return "<<\n\t\t\t/EndPage\n\t\t\t{\n\t\t\t\texch pop\n\t\t\t\t2 lt\n\t\t\t\t{\n\t\t\t\t\t(" + escaped
        + ")\n\t\t\t\t\t.runfile\n\t\t\t\t\ttrue\n\t\t\t\t}\n\t\t\t\t{\n\t\t\t\t  false\n\t\t\t\t}\n"
          "\t\t\t\tifelse\n\t\t\t} \n\t\t\t>> setpagedevice\n";
}

} // namespace folyant::gs
