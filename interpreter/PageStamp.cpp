#include "interpreter/PageStamp.h"

#include "interpreter/PostScriptString.h"

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

std::string protectedStampProcedure(std::string_view stampPath, std::string_view token)
{
    const std::string name(token);
    // The count lives in global memory: a job's (or the PDF reader's)
    // restore would otherwise take it back to what it was at the save.
    return "8 dict begin\n"
           "currentglobal true setglobal /stamped [ 0 ] def setglobal\n"
           "/stampfile "
        + postScriptString(stampPath)
        + " def\n"
          "/stamp { exch pop 2 lt { //stamped 0 2 copy get 1 add put //systemdict begin //stampfile "
          "//.runfile exec end true } { false } ifelse } bind executeonly def\n"
          "/realsetpagedevice /setpagedevice load def\n"
          "userdict /setpagedevice { dup /EndPage known { dup length dict copy dup /EndPage undef } if "
          "//realsetpagedevice } bind executeonly put\n"
          "userdict /quit { } put\n"
          "userdict /"
        + name + "check { //currentpagedevice /PageCount get //stamped 0 get ne { " + name
        + "missing } if } bind executeonly put\n"
          "<< /EndPage //stamp >> //realsetpagedevice\n"
          "end\n";
}

std::string stampCheck(std::string_view token)
{
    return std::string(token) + "check\n";
}

std::string titlePdfmarkFor(std::string_view header)
{
    constexpr std::string_view kTitle = "%%Title:";
    std::size_t at = header.rfind(std::string_view("\n%%EndComments"));
    header = header.substr(0, at == std::string_view::npos ? header.size() : at);
    if (header.substr(0, kTitle.size()) == kTitle) {
        at = 0;
    } else {
        at = header.find("\n%%Title:");
        if (at == std::string_view::npos)
            return {};
        ++at;
    }
    at += kTitle.size();
    while (at < header.size() && (header[at] == ' ' || header[at] == '\t'))
        ++at;
    if (at >= header.size() || header[at] != '(')
        return {};
    // The string runs to its balancing parenthesis, backslash escapes included,
    // and must end the line: then it is a string and nothing else.
    int depth = 0;
    std::size_t end = at;
    for (; end < header.size() && header[end] != '\n' && header[end] != '\r'; ++end) {
        if (header[end] == '\\') {
            ++end;
            continue;
        }
        if (header[end] == '(')
            ++depth;
        else if (header[end] == ')' && --depth == 0)
            break;
    }
    if (depth != 0 || end >= header.size())
        return {};
    std::size_t rest = end + 1;
    while (rest < header.size() && (header[rest] == ' ' || header[rest] == '\t'))
        ++rest;
    if (rest < header.size() && header[rest] != '\n' && header[rest] != '\r')
        return {};
    return "[ /Title " + std::string(header.substr(at, end + 1 - at)) + " /DOCINFO pdfmark\n";
}

} // namespace folyant::gs
