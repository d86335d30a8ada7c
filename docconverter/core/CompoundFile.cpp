#include "docconverter/core/CompoundFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <utility>

namespace folyant::docconverter {

namespace {
constexpr unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kHeaderDifatEntries = 109;
constexpr std::size_t kEntryBytes = 128;
constexpr std::uint8_t kStream = 2;
constexpr std::uint8_t kRoot = 5;

std::uint32_t le32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
        | std::uint32_t(p[3]) << 24;
}

std::uint16_t le16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// Stream names are UTF-16; the names looked for are ASCII, so a code unit
// outside ASCII only has to differ from every ASCII letter.
std::string foldedName(const unsigned char* utf16, std::size_t units)
{
    std::string name;
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint16_t unit = le16(utf16 + 2 * i);
        if (unit == 0)
            break;
        char c = unit < 0x80 ? static_cast<char>(unit) : '\x7f';
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        name += c;
    }
    return name;
}

std::string folded(std::string name)
{
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return name;
}
} // namespace

bool CompoundFile::hasSignature(const std::string& firstBytes)
{
    return firstBytes.size() >= sizeof kSignature
        && std::memcmp(firstBytes.data(), kSignature, sizeof kSignature) == 0;
}

CompoundFile::CompoundFile(int fd)
    : m_fd(fd)
{
}

CompoundFile::CompoundFile(CompoundFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
    , m_fileSize(other.m_fileSize)
    , m_sectorShift(other.m_sectorShift)
    , m_miniSectorShift(other.m_miniSectorShift)
    , m_miniCutoff(other.m_miniCutoff)
    , m_fat(std::move(other.m_fat))
    , m_miniFat(std::move(other.m_miniFat))
    , m_miniStreamSectors(std::move(other.m_miniStreamSectors))
    , m_entries(std::move(other.m_entries))
    , m_rootChildren(std::move(other.m_rootChildren))
{
}

CompoundFile::~CompoundFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::optional<CompoundFile> CompoundFile::open(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    CompoundFile file(fd);
    if (!file.load())
        return std::nullopt;
    return file;
}

bool CompoundFile::readAt(std::uint64_t offset, void* into, std::size_t bytes) const
{
    if (offset > m_fileSize || bytes > m_fileSize - offset)
        return false;
    auto* out = static_cast<char*>(into);
    while (bytes > 0) {
        const ssize_t got = ::pread(m_fd, out, bytes, static_cast<off_t>(offset));
        if (got <= 0)
            return false;
        out += got;
        offset += static_cast<std::uint64_t>(got);
        bytes -= static_cast<std::size_t>(got);
    }
    return true;
}

std::vector<std::uint32_t> CompoundFile::chain(
    std::uint32_t start, const std::vector<std::uint32_t>& table) const
{
    // A chain visits each sector once at most: a longer one is a loop.
    std::vector<std::uint32_t> sectors;
    for (std::uint32_t sector = start; sector != kEndOfChain; sector = table[sector]) {
        if (sector >= table.size() || sectors.size() >= table.size())
            return {};
        sectors.push_back(sector);
    }
    return sectors;
}

bool CompoundFile::load()
{
    struct stat info { };
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    m_fileSize = static_cast<std::uint64_t>(info.st_size);
    unsigned char header[512];
    if (!readAt(0, header, sizeof header) || std::memcmp(header, kSignature, sizeof kSignature) != 0)
        return false;
    m_sectorShift = le16(header + 0x1E);
    m_miniSectorShift = le16(header + 0x20);
    if ((m_sectorShift != 9 && m_sectorShift != 12) || m_miniSectorShift != 6)
        return false;
    m_miniCutoff = le32(header + 0x38);
    if (!loadAllocationTable(header) || !loadDirectory(header) || !loadMiniStreamTable(header))
        return false;
    collectRootChildren();
    return true;
}

bool CompoundFile::readTable(
    const std::vector<std::uint32_t>& sectors, std::vector<std::uint32_t>& table) const
{
    const std::uint32_t sectorBytes = 1u << m_sectorShift;
    std::vector<unsigned char> sector(sectorBytes);
    for (const std::uint32_t at : sectors) {
        if (!readAt((std::uint64_t(at) + 1) << m_sectorShift, sector.data(), sectorBytes))
            return false;
        for (std::uint32_t i = 0; i < sectorBytes / 4; ++i)
            table.push_back(le32(sector.data() + std::size_t{4} * i));
    }
    return true;
}

// The sectors of the allocation table: 109 in the header, the rest in a
// chain of DIFAT sectors.
bool CompoundFile::loadAllocationTable(const unsigned char* header)
{
    const std::uint32_t sectorBytes = 1u << m_sectorShift;
    const std::uint32_t perSector = sectorBytes / 4;
    const std::uint64_t sectorsInFile = m_fileSize >> m_sectorShift;
    std::vector<std::uint32_t> fatSectors;
    const std::uint32_t fatCount = le32(header + 0x2C);
    if (fatCount > sectorsInFile)
        return false;
    for (std::uint32_t i = 0; i < kHeaderDifatEntries && fatSectors.size() < fatCount; ++i)
        fatSectors.push_back(le32(header + 0x4C + std::size_t{4} * i));
    std::vector<unsigned char> sector(sectorBytes);
    std::uint32_t difat = le32(header + 0x44);
    for (std::uint64_t hops = 0; fatSectors.size() < fatCount; ++hops) {
        if (hops > sectorsInFile
            || !readAt((std::uint64_t(difat) + 1) << m_sectorShift, sector.data(), sectorBytes))
            return false;
        for (std::uint32_t i = 0; i + 1 < perSector && fatSectors.size() < fatCount; ++i)
            fatSectors.push_back(le32(sector.data() + std::size_t{4} * i));
        difat = le32(sector.data() + sectorBytes - 4);
    }
    m_fat.reserve(std::size_t(fatCount) * perSector);
    return readTable(fatSectors, m_fat);
}

bool CompoundFile::loadDirectory(const unsigned char* header)
{
    const std::uint32_t sectorBytes = 1u << m_sectorShift;
    const auto directory = chain(le32(header + 0x30), m_fat);
    if (directory.empty())
        return false;
    std::vector<unsigned char> sector(sectorBytes);
    for (const std::uint32_t at : directory) {
        if (!readAt((std::uint64_t(at) + 1) << m_sectorShift, sector.data(), sectorBytes))
            return false;
        for (std::size_t offset = 0; offset + kEntryBytes <= sectorBytes; offset += kEntryBytes) {
            const unsigned char* raw = sector.data() + offset;
            Entry entry;
            entry.name = foldedName(raw, std::min<std::size_t>(le16(raw + 64) / 2, 32));
            entry.type = raw[66];
            entry.left = le32(raw + 68);
            entry.right = le32(raw + 72);
            entry.child = le32(raw + 76);
            entry.start = le32(raw + 116);
            entry.size = std::uint64_t(le32(raw + 120))
                | (m_sectorShift == 12 ? std::uint64_t(le32(raw + 124)) << 32 : 0);
            m_entries.push_back(entry);
        }
    }
    return !m_entries.empty() && m_entries[0].type == kRoot;
}

bool CompoundFile::loadMiniStreamTable(const unsigned char* header)
{
    const std::uint32_t miniFatStart = le32(header + 0x3C);
    if (le32(header + 0x40) == 0 || miniFatStart == kEndOfChain)
        return true;
    if (!readTable(chain(miniFatStart, m_fat), m_miniFat))
        return false;
    m_miniStreamSectors = chain(m_entries[0].start, m_fat);
    return true;
}

// The root storage's children: a tree over the left and right siblings of
// the root's child, each entry visited once.
void CompoundFile::collectRootChildren()
{
    std::vector<bool> seen(m_entries.size());
    std::vector<std::uint32_t> pending{m_entries[0].child};
    while (!pending.empty()) {
        const std::uint32_t index = pending.back();
        pending.pop_back();
        if (index >= m_entries.size() || seen[index])
            continue;
        seen[index] = true;
        m_rootChildren.push_back(index);
        pending.push_back(m_entries[index].left);
        pending.push_back(m_entries[index].right);
    }
}

const CompoundFile::Entry* CompoundFile::rootStream(const std::string& name) const
{
    const std::string wanted = folded(name);
    for (const std::size_t index : m_rootChildren)
        if (m_entries[index].type == kStream && m_entries[index].name == wanted)
            return &m_entries[index];
    return nullptr;
}

bool CompoundFile::hasStream(const std::string& name) const
{
    return rootStream(name) != nullptr;
}

std::optional<std::string> CompoundFile::readChain(std::uint32_t start, std::size_t bytes, bool mini) const
{
    const auto sectors = chain(start, mini ? m_miniFat : m_fat);
    const std::uint32_t shift = mini ? m_miniSectorShift : m_sectorShift;
    const std::size_t unit = std::size_t(1) << shift;
    std::string text;
    for (const std::uint32_t at : sectors) {
        if (text.size() >= bytes)
            break;
        const std::size_t take = std::min(unit, bytes - text.size());
        std::string piece(take, '\0');
        std::uint64_t offset = 0;
        if (mini) {
            // A mini sector lies inside the mini stream, itself a chain of sectors.
            const std::uint64_t inStream = std::uint64_t(at) << shift;
            const std::uint64_t which = inStream >> m_sectorShift;
            if (which >= m_miniStreamSectors.size())
                return std::nullopt;
            offset = ((std::uint64_t(m_miniStreamSectors[which]) + 1) << m_sectorShift)
                + (inStream & ((std::uint64_t(1) << m_sectorShift) - 1));
        } else {
            offset = (std::uint64_t(at) + 1) << shift;
        }
        if (!readAt(offset, piece.data(), take))
            return std::nullopt;
        text += piece;
    }
    if (text.size() < bytes)
        return std::nullopt;
    return text;
}

std::optional<std::string> CompoundFile::readStream(const std::string& name, std::size_t maxBytes) const
{
    const Entry* entry = rootStream(name);
    if (!entry)
        return std::nullopt;
    const std::size_t bytes = static_cast<std::size_t>(std::min<std::uint64_t>(entry->size, maxBytes));
    if (bytes == 0)
        return std::string();
    return readChain(entry->start, bytes, entry->size < m_miniCutoff);
}

} // namespace folyant::docconverter
