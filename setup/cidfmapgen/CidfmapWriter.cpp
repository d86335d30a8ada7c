#include "setup/cidfmapgen/CidfmapWriter.h"

#include "interpreter/PostScriptString.h"

#include <fontconfig/fontconfig.h>

#include <dirent.h>
#include <strings.h>
#include <unistd.h>

#include <cstring>

namespace folyant::cidfmap {

namespace {

// Bounds of the buffers the value and the map's path are built in.
constexpr std::size_t kPathBuffer = 512;

const char* languageOf(const Entry& entry)
{
    return std::strcmp(entry.ordering, "Japan1") == 0 ? "ja" : "ko";
}

} // namespace

const std::vector<Entry>& table()
{
    // Faces inside a collection are numbered from 0, as the interpreter
    // counts them.
    static const std::vector<Entry> entries = {
        {"Batang", "BATANG.TTC", 0, "Korea1", 2, "serif"},
        {"BatangChe", "BATANG.TTC", 1, "Korea1", 2, "monospace"},
        {"Gungseo", "BATANG.TTC", 2, "Korea1", 2, "serif"},
        {"GungseoChe", "BATANG.TTC", 3, "Korea1", 2, "monospace"},
        {"Gulim", "GULIM.TTC", 0, "Korea1", 2, "sans-serif"},
        {"GulimChe", "GULIM.TTC", 1, "Korea1", 2, "monospace"},
        {"Dotum", "GULIM.TTC", 2, "Korea1", 2, "sans-serif"},
        {"DotumChe", "GULIM.TTC", 3, "Korea1", 2, "monospace"},
        {"Gothic", "MSGOTHIC.TTC", 0, "Japan1", 2, "sans-serif"},
        {"Mincho", "MSMINCHO.TTC", 0, "Japan1", 2, "serif"},
    };
    return entries;
}

FontconfigLocator::FontconfigLocator()
{
    FcInit();
    if (FcStrList* folders = FcConfigGetFontDirs(nullptr)) {
        while (FcChar8* folder = FcStrListNext(folders))
            m_folders.emplace_back(reinterpret_cast<const char*>(folder));
        FcStrListDone(folders);
    }
}

FontconfigLocator::~FontconfigLocator() = default;

FontFile FontconfigLocator::locate(const Entry& entry)
{
    for (const std::string& folder : m_folders) {
        DIR* dir = opendir(folder.c_str());
        if (!dir)
            continue;
        std::string found;
        while (const dirent* item = readdir(dir)) {
            if (strcasecmp(item->d_name, entry.collectionFile) == 0) {
                found = folder + "/" + item->d_name;
                break;
            }
        }
        closedir(dir);
        if (!found.empty())
            return {found, entry.subfontId};
    }

    const std::string query = std::string(entry.style) + ":lang=" + languageOf(entry);
    FontFile result{(m_folders.empty() ? std::string("/usr/share/fonts") : m_folders.front()) + "/"
            + entry.collectionFile,
        entry.subfontId};
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(query.c_str()));
    if (!pattern)
        return result;
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    // The best face that speaks the language and that the interpreter can
    // load as TrueType: a CFF-based OpenType face written as TrueType would
    // fail every job that asks for it.
    FcResult outcome = FcResultNoMatch;
    if (FcFontSet* matches = FcFontSort(nullptr, pattern, FcFalse, nullptr, &outcome)) {
        for (int i = 0; i < matches->nfont; ++i) {
            FcPattern* match = FcFontRenderPrepare(nullptr, pattern, matches->fonts[i]);
            if (!match)
                continue;
            FcChar8* file = nullptr;
            FcChar8* format = nullptr;
            FcLangSet* languages = nullptr;
            int index = 0;
            const bool speaks = FcPatternGetLangSet(match, FC_LANG, 0, &languages) == FcResultMatch
                && FcLangSetHasLang(languages, reinterpret_cast<const FcChar8*>(languageOf(entry)))
                    == FcLangEqual;
            const bool trueType = FcPatternGetString(match, FC_FONTFORMAT, 0, &format) == FcResultMatch
                && std::strcmp(reinterpret_cast<const char*>(format), "TrueType") == 0;
            const bool found
                = speaks && trueType && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
            if (found) {
                FcPatternGetInteger(match, FC_INDEX, 0, &index);
                result = {reinterpret_cast<const char*>(file), index};
            }
            FcPatternDestroy(match);
            if (found)
                break;
        }
        FcFontSetDestroy(matches);
    }
    FcPatternDestroy(pattern);
    return result;
}

void WriteCidfmapEntry(std::FILE* file, const Entry& entry, FontLocator& fonts)
{
    FontFile font = fonts.locate(entry);
    for (char& c : font.path)
        if (c == '\\')
            c = '/';
    std::fprintf(file, "/%s << /FileType /TrueType /Path %s /SubfontID %d /CSI [(%s) %d] >> ;\n",
        entry.cidFontName, gs::postScriptString(font.path).c_str(), font.subfontId, entry.ordering,
        entry.supplement);
}

int generate(const std::string* libFolder, FontLocator& fonts, const std::string& systemMap)
{
    if (!libFolder || libFolder->size() + 1 > kPathBuffer)
        return -1;
    const std::string mapPath = *libFolder + "/cidfmap";
    if (mapPath.size() + 1 > kPathBuffer)
        return -1;

    std::FILE* file = std::fopen(mapPath.c_str(), "w");
    if (!file)
        return -1;
    // The system's own map first, so that every other CID name keeps its
    // font, and the ten names below it win.
    if (!systemMap.empty() && access(systemMap.c_str(), R_OK) == 0)
        std::fprintf(file, "%s .runlibfile\n", gs::postScriptString(systemMap).c_str());
    for (const Entry& entry : table())
        WriteCidfmapEntry(file, entry, fonts);
    const bool written = std::fflush(file) == 0 && std::ferror(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        // A half-written map would misdirect every later job.
        std::remove(mapPath.c_str());
        return -1;
    }
    return 0;
}

} // namespace folyant::cidfmap
