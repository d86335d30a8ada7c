#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace folyant::gs {

// Every "%" doubled: the interpreter reads "%d" in an output path as a page
// number and would write one file per page; a path we pass is only a path.
std::string literalPercents(std::string_view path);

// The font folder with every "fonts" replaced by "Resource/": the resource
// folder that belongs beside Ghostscript's font folder.
std::string resourceFolderFor(std::string_view fontFolder);

// -I list of the lib and font folders, joined with the platform's separator.
std::string includeArgument(std::string_view libFolder, std::string_view fontFolder);

// Whole points for whole millimetres, rounded half up.
int millimetresToPoints(int millimetres);

// 0 prepress, 1 printer, 2 screen, any other number the default preset.
std::string qualityPresetArgument(int quality);

struct ConverterArguments {
    std::string libFolder;
    std::string fontFolder;
    std::string outputPath;
    int quality = 1;
    int paperSizeMode = 0; // 0: the job's own size; otherwise the size below
    int paperWidthMm = 0;
    int paperHeightMm = 0;
};

// The print-job converter's vector: nine strings, eleven with a custom size.
std::vector<std::string> converterArgumentVector(const ConverterArguments& arguments);

// The document converter's vector: nine strings, the printer preset, no size.
std::vector<std::string> documentArgumentVector(
    std::string_view libFolder, std::string_view fontFolder, std::string_view outputPath);

} // namespace folyant::gs
