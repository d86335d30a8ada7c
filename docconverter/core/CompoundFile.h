#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace folyant::docconverter {

// Reads streams of the root storage of an OLE compound file (the container
// of .doc, .xls, .ppt and HWP 5 documents), far enough to tell what kind of
// document it holds and whether it is encrypted. The file is untrusted: every
// offset and chain is checked, and no chain is followed further than the file
// has sectors.
class CompoundFile {
public:
    // Nothing when the file cannot be read or is no compound file.
    static std::optional<CompoundFile> open(const std::string& path);

    CompoundFile(CompoundFile&& other) noexcept;
    CompoundFile& operator=(CompoundFile&&) = delete;
    CompoundFile(const CompoundFile&) = delete;
    CompoundFile& operator=(const CompoundFile&) = delete;
    ~CompoundFile();

    // Whether the root storage holds a stream of that name (names compare
    // without regard to ASCII case, as the format has it).
    bool hasStream(const std::string& name) const;
    // The first bytes of that stream, at most maxBytes; nothing when there is
    // no such stream or it cannot be read whole that far.
    std::optional<std::string> readStream(const std::string& name, std::size_t maxBytes) const;

    // True when text starts with the compound file signature.
    static bool hasSignature(const std::string& firstBytes);

private:
    struct Entry {
        std::string name; // ASCII letters lowered, any other unit as 0x7F
        std::uint8_t type = 0;
        std::uint32_t left = 0;
        std::uint32_t right = 0;
        std::uint32_t child = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    explicit CompoundFile(int fd);
    bool load();
    // The parts of load(), in order; header: the file's first 512 bytes.
    bool loadAllocationTable(const unsigned char* header);
    bool loadDirectory(const unsigned char* header);
    bool loadMiniStreamTable(const unsigned char* header);
    void collectRootChildren();
    // Appends the 32-bit entries of the sectors to table.
    bool readTable(const std::vector<std::uint32_t>& sectors, std::vector<std::uint32_t>& table) const;
    bool readAt(std::uint64_t offset, void* into, std::size_t bytes) const;
    std::vector<std::uint32_t> chain(std::uint32_t start, const std::vector<std::uint32_t>& table) const;
    std::optional<std::string> readChain(std::uint32_t start, std::size_t bytes, bool mini) const;
    const Entry* rootStream(const std::string& name) const;

    int m_fd = -1;
    std::uint64_t m_fileSize = 0;
    std::uint32_t m_sectorShift = 9;
    std::uint32_t m_miniSectorShift = 6;
    std::uint32_t m_miniCutoff = 4096;
    std::vector<std::uint32_t> m_fat;
    std::vector<std::uint32_t> m_miniFat;
    std::vector<std::uint32_t> m_miniStreamSectors;
    std::vector<Entry> m_entries;
    std::vector<std::size_t> m_rootChildren;
};

} // namespace folyant::docconverter
