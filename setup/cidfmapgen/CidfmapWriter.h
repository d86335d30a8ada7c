#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace folyant::cidfmap {

// One line of the map: a CID font name and the TrueType collection that
// Windows installs it in.
struct Entry {
    const char* cidFontName;
    const char* collectionFile;
    int subfontId; // the face's index in the collection, counted from 0
    const char* ordering;
    int supplement;
    // What the face looks like, for finding a stand-in: a fontconfig family.
    const char* style;
};

// The Korean and Japanese faces, in the order of the map.
const std::vector<Entry>& table();

// Where a face is found on this machine.
struct FontFile {
    std::string path;
    int subfontId;
};

// Finds the file for an entry: the Windows collection of that name in any
// font folder (name compared without regard to case), else the best
// installed font of the entry's language and style, else the Windows name in
// the first font folder (an entry is written in any case).
class FontLocator {
public:
    virtual ~FontLocator() = default;
    virtual FontFile locate(const Entry& entry) = 0;
};

// FontLocator over fontconfig's font folders and matching.
class FontconfigLocator final : public FontLocator {
public:
    FontconfigLocator();
    ~FontconfigLocator() override;
    FontconfigLocator(const FontconfigLocator&) = delete;
    FontconfigLocator& operator=(const FontconfigLocator&) = delete;

    FontFile locate(const Entry& entry) override;

private:
    std::vector<std::string> m_folders;
};

// Writes one line of the map for an entry.
void WriteCidfmapEntry(std::FILE* file, const Entry& entry, FontLocator& fonts);

// The map the distribution's Ghostscript reads for every other CID font name.
inline constexpr const char* kSystemMap = "/var/lib/ghostscript/fonts/cidfmap";

// The whole generator: 0 when the map was written into libFolder, -1 when the
// folder is unknown or too long, or the map cannot be created. The map runs
// systemMap first when there is one.
int generate(const std::string* libFolder, FontLocator& fonts, const std::string& systemMap = kSystemMap);

} // namespace folyant::cidfmap
