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
