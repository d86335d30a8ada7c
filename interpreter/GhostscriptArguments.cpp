#include "interpreter/GhostscriptArguments.h"

#include <cmath>

namespace folyant::gs {

namespace {
constexpr char kListSeparator = ':';
constexpr std::string_view kFontsWord = "fonts";
constexpr std::string_view kResourceWord = "Resource/";
constexpr double kPointsPerMillimetre = 72.0 / 25.4;
} // namespace

std::string literalPercents(std::string_view path)
{
    std::string result;
    result.reserve(path.size() + 8);
    for (const char c : path) {
        if (c == '%')
            result += '%';
        result += c;
    }
    return result;
}

std::string resourceFolderFor(std::string_view fontFolder)
{
    std::string result;
    std::size_t from = 0;
    for (auto at = fontFolder.find(kFontsWord); at != std::string_view::npos;
         at = fontFolder.find(kFontsWord, from)) {
        result.append(fontFolder.substr(from, at - from));
        result.append(kResourceWord);
        from = at + kFontsWord.size();
    }
    result.append(fontFolder.substr(from));
    return result;
}

std::string includeArgument(std::string_view libFolder, std::string_view fontFolder)
{
    std::string result = "-I";
    result.append(libFolder);
    result += kListSeparator;
    result.append(fontFolder);
    return result;
}

int millimetresToPoints(int millimetres)
{
    return static_cast<int>(std::trunc(millimetres * kPointsPerMillimetre + 0.5));
}

std::string qualityPresetArgument(int quality)
{
    switch (quality) {
    case 0:
        return "-dPDFSETTINGS=/prepress";
    case 1:
        return "-dPDFSETTINGS=/printer";
    case 2:
        return "-dPDFSETTINGS=/screen";
    default:
        return "-dPDFSETTINGS=/default";
    }
}

std::vector<std::string> converterArgumentVector(const ConverterArguments& arguments)
{
    std::vector<std::string> vector{
        "Folyant Velmo",
        includeArgument(arguments.libFolder, arguments.fontFolder),
        "-sOutputFile=" + literalPercents(arguments.outputPath),
        "-dNOPAUSE",
        "-sGenericResourceDir=" + resourceFolderFor(arguments.fontFolder),
        "-dAutoRotatePages=/All",
        "-sDEVICE=pdfwrite",
        qualityPresetArgument(arguments.quality),
        "-dEmbedAllFonts=true",
    };
    if (arguments.paperSizeMode != 0) {
        vector.push_back(
            "-dDEVICEWIDTHPOINTS=" + std::to_string(millimetresToPoints(arguments.paperWidthMm)));
        vector.push_back(
            "-dDEVICEHEIGHTPOINTS=" + std::to_string(millimetresToPoints(arguments.paperHeightMm)));
    }
    return vector;
}

std::vector<std::string> documentArgumentVector(
    std::string_view libFolder, std::string_view fontFolder, std::string_view outputPath)
{
    return {
        "Folyant",
        includeArgument(libFolder, fontFolder),
        "-dNOPAUSE",
        "-sOutputFile=" + literalPercents(outputPath),
        "-sGenericResourceDir=" + resourceFolderFor(fontFolder),
        "-dAutoRotatePages=/All",
        "-sDEVICE=pdfwrite",
        qualityPresetArgument(1),
        "-dEmbedAllFonts=true",
    };
}

} // namespace folyant::gs
