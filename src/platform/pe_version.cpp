#include "platform/pe_version.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/regular_file.h"
#include "platform/utf8.h"

namespace quillary {
namespace {

using Bytes = std::vector<unsigned char>;

// Image fields are little-endian and not necessarily aligned: read them byte by byte.
std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// ---------------------------------------------------------------------------------------------------
// Where the bytes come from: a buffer, or a file read piecewise so that a large executable costs only
// the few ranges the walk needs.

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;

    // True when `size` bytes at `offset` lie wholly inside the source (written so it cannot overflow).
    bool Contains(std::uint64_t offset, std::uint64_t size) const {
        return offset <= Size() && size <= Size() - offset;
    }

    // Reads `size` bytes at `offset` into `out`; false when the range is not wholly inside the source.
    bool Read(std::uint64_t offset, std::size_t size, Bytes& out) {
        if (!Contains(offset, size))
            return false;
        out.resize(size);
        return size == 0 || ReadAt(offset, out.data(), size);
    }

protected:
    // Called only for ranges inside the source.
    virtual bool ReadAt(std::uint64_t offset, unsigned char* dest, std::size_t size) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const unsigned char> image) : m_image(image) {}
    std::uint64_t Size() const override { return m_image.size(); }

protected:
    bool ReadAt(std::uint64_t offset, unsigned char* dest, std::size_t size) override {
        std::memcpy(dest, m_image.data() + offset, size);
        return true;
    }

private:
    std::span<const unsigned char> m_image;
};

class FileSource final : public ByteSource {
public:
    FileSource(RegularFile& file, std::uint64_t size) : m_file(file), m_size(size) {}
    std::uint64_t Size() const override { return m_size; }

protected:
    bool ReadAt(std::uint64_t offset, unsigned char* dest, std::size_t size) override {
        // A short read means an error, or that the file shrank since it was measured.
        return m_file.ReadAt(offset, dest, size) == static_cast<long long>(size);
    }

private:
    RegularFile& m_file;
    std::uint64_t m_size;
};

// ---------------------------------------------------------------------------------------------------
// The PE image: headers, section table, and reads by relative virtual address (RVA).

class PeImage {
public:
    explicit PeImage(ByteSource& source) : m_source(source) {}

    // Reads the DOS and PE headers (PE32 or PE32+) and the section table. False when the source is not a
    // PE image or has no resource directory.
    bool Open();

    std::uint32_t ResourceRva() const { return m_resourceRva; }

    // Reads `size` bytes at an RVA; false unless they lie wholly inside one section's data in the file.
    bool ReadRva(std::uint64_t rva, std::size_t size, Bytes& out) {
        std::uint64_t offset = 0;
        std::uint64_t available = 0;
        return Locate(rva, offset, available) && size <= available && m_source.Read(offset, size, out);
    }

    // Bytes of section data present in the file from an RVA on (0 when the RVA maps to none).
    std::uint64_t AvailableAt(std::uint64_t rva) const {
        std::uint64_t offset = 0;
        std::uint64_t available = 0;
        return Locate(rva, offset, available) ? available : 0;
    }

private:
    struct Section {
        std::uint32_t rva;
        std::uint32_t rawSize;
        std::uint32_t rawOffset;
    };

    bool Locate(std::uint64_t rva, std::uint64_t& offset, std::uint64_t& available) const;

    ByteSource& m_source;
    std::vector<Section> m_sections;
    std::uint32_t m_resourceRva = 0;
};

bool PeImage::Open() {
    constexpr std::size_t kDosHeaderSize = 64;
    constexpr std::size_t kPeOffsetField = 0x3C;
    constexpr std::size_t kFileHeaderSize = 24; // "PE\0\0" and the COFF file header
    constexpr std::size_t kSectionHeaderSize = 40;
    constexpr unsigned kResourceDirectory = 2;

    Bytes dos;
    if (!m_source.Read(0, kDosHeaderSize, dos) || dos[0] != 'M' || dos[1] != 'Z')
        return false;
    const std::uint64_t peOffset = Le32(&dos[kPeOffsetField]);
    Bytes fileHeader;
    if (!m_source.Read(peOffset, kFileHeaderSize, fileHeader) ||
        std::memcmp(fileHeader.data(), "PE\0\0", 4) != 0)
        return false;
    const std::size_t sectionCount = Le16(&fileHeader[6]);
    const std::size_t optionalSize = Le16(&fileHeader[20]);

    Bytes optional;
    if (optionalSize < 2 || !m_source.Read(peOffset + kFileHeaderSize, optionalSize, optional))
        return false;
    // NumberOfRvaAndSizes, followed by the data directories, sits at 92 in PE32 and at 108 in PE32+.
    const std::uint16_t magic = Le16(optional.data());
    if (magic != 0x10B && magic != 0x20B)
        return false;
    const std::size_t dirCountAt = magic == 0x10B ? 92 : 108;
    const std::size_t resourceAt = dirCountAt + 4 + kResourceDirectory * 8;
    if (optionalSize < resourceAt + 8 || Le32(&optional[dirCountAt]) <= kResourceDirectory)
        return false;
    m_resourceRva = Le32(&optional[resourceAt]);
    if (m_resourceRva == 0 || Le32(&optional[resourceAt + 4]) == 0)
        return false;

    Bytes table;
    if (!m_source.Read(peOffset + kFileHeaderSize + optionalSize, sectionCount * kSectionHeaderSize, table))
        return false;
    m_sections.reserve(sectionCount);
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const unsigned char* header = &table[i * kSectionHeaderSize];
        m_sections.push_back({Le32(header + 12), Le32(header + 16), Le32(header + 20)});
    }
    return true;
}

bool PeImage::Locate(std::uint64_t rva, std::uint64_t& offset, std::uint64_t& available) const {
    for (const Section& section : m_sections) {
        if (rva < section.rva || rva - section.rva >= section.rawSize)
            continue;
        const std::uint64_t delta = rva - section.rva;
        offset = section.rawOffset + delta;
        if (offset >= m_source.Size())
            return false; // the section's data was cut off with the file
        available = std::min<std::uint64_t>(section.rawSize - delta, m_source.Size() - offset);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------------
// The resource tree: type -> name -> language -> data. Exactly three levels are followed, so an entry
// pointing back at its own directory cannot make the walk loop.

constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;

// The OffsetToData field of one entry of the resource directory at `dirOffset` (relative to the start
// of the resource tree): the entry whose Name field is `id`, or the first entry when `id` is empty.
std::optional<std::uint32_t> ResourceEntry(PeImage& pe, std::uint32_t dirOffset,
                                           std::optional<std::uint32_t> id) {
    constexpr std::size_t kDirectorySize = 16;
    constexpr std::size_t kEntrySize = 8;
    const std::uint64_t dirRva = std::uint64_t{pe.ResourceRva()} + dirOffset;
    Bytes header;
    if (!pe.ReadRva(dirRva, kDirectorySize, header))
        return std::nullopt;
    const std::size_t count = std::size_t{Le16(&header[12])} + Le16(&header[14]);
    Bytes entries;
    if (count == 0 || !pe.ReadRva(dirRva + kDirectorySize, count * kEntrySize, entries))
        return std::nullopt;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* entry = &entries[i * kEntrySize];
        if (!id || Le32(entry) == *id)
            return Le32(entry + 4);
    }
    return std::nullopt;
}

// The bytes of the first version resource (the root VS_VERSIONINFO block and what follows it).
std::optional<Bytes> VersionResource(PeImage& pe) {
    const auto type = ResourceEntry(pe, 0, kRtVersion);
    if (!type || !(*type & kSubdirectoryBit))
        return std::nullopt;
    const auto name = ResourceEntry(pe, *type & ~kSubdirectoryBit, std::nullopt);
    if (!name || !(*name & kSubdirectoryBit))
        return std::nullopt;
    const auto language = ResourceEntry(pe, *name & ~kSubdirectoryBit, std::nullopt);
    if (!language || (*language & kSubdirectoryBit))
        return std::nullopt;

    Bytes dataEntry; // data RVA, size, code page, reserved
    if (!pe.ReadRva(std::uint64_t{pe.ResourceRva()} + *language, 16, dataEntry))
        return std::nullopt;
    const std::uint32_t dataRva = Le32(&dataEntry[0]);
    // The root block's length is a 16-bit field, so nothing of use lies beyond 64 KiB.
    const std::size_t size = static_cast<std::size_t>(
        std::min<std::uint64_t>({Le32(&dataEntry[4]), pe.AvailableAt(dataRva), 0xFFFF}));
    Bytes data;
    if (size == 0 || !pe.ReadRva(dataRva, size, data))
        return std::nullopt;
    return data;
}

// ---------------------------------------------------------------------------------------------------
// Version blocks: wLength, wValueLength, wType, a NUL-terminated UTF-16 key, padding to 32 bits, the
// value (wValueLength bytes, or UTF-16 units when wType is not 0), padding, then the child blocks.
// All offsets are relative to the start of the root block. A block must lie wholly inside its parent,
// so a truncated resource gives no text rather than a cut-off one.

struct Block {
    std::size_t keyBegin = 0;
    std::size_t keyEnd = 0; // at the key's NUL
    std::size_t valueBegin = 0;
    std::size_t valueEnd = 0;
    std::size_t childrenBegin = 0;
    std::size_t end = 0;
    std::size_t next = 0; // where the following sibling starts
};

std::size_t Align4(std::size_t offset) {
    return (offset + 3) & ~std::size_t{3};
}

class VersionBlocks {
public:
    explicit VersionBlocks(std::span<const unsigned char> data) : m_data(data) {}

    std::optional<Block> Root() const { return BlockAt(0, m_data.size()); }

    // The first child of `parent` whose key equals `key`, ignoring ASCII case.
    std::optional<Block> Child(const Block& parent, std::string_view key) const {
        for (auto child = FirstChild(parent); child; child = NextSibling(parent, *child)) {
            if (KeyEquals(*child, key))
                return child;
        }
        return std::nullopt;
    }

    std::optional<Block> FirstChild(const Block& parent) const {
        return BlockAt(parent.childrenBegin, parent.end);
    }

    // Every block is at least 8 bytes long, so walking siblings always moves forward and ends.
    std::optional<Block> NextSibling(const Block& parent, const Block& child) const {
        return BlockAt(child.next, parent.end);
    }

    std::span<const unsigned char> Value(const Block& block) const {
        return m_data.subspan(block.valueBegin, block.valueEnd - block.valueBegin);
    }

    // A text value in UTF-8, up to its first NUL. Unpaired surrogates become U+FFFD.
    std::string Text(const Block& block) const;

private:
    std::optional<Block> BlockAt(std::size_t pos, std::size_t limit) const;
    bool KeyEquals(const Block& block, std::string_view key) const;

    std::span<const unsigned char> m_data;
};

std::optional<Block> VersionBlocks::BlockAt(std::size_t pos, std::size_t limit) const {
    constexpr std::size_t kHeaderSize = 6;
    if (pos > limit || limit - pos < kHeaderSize)
        return std::nullopt;
    const std::size_t length = Le16(&m_data[pos]);
    const std::size_t valueLength = Le16(&m_data[pos + 2]);
    const bool isText = Le16(&m_data[pos + 4]) != 0;
    if (length < kHeaderSize || length > limit - pos)
        return std::nullopt; // too short to be a block, or sticking out of its parent

    Block block;
    block.end = pos + length;
    block.next = pos + Align4(length);
    block.keyBegin = pos + kHeaderSize;
    block.keyEnd = block.keyBegin;
    while (block.keyEnd + 2 <= block.end && Le16(&m_data[block.keyEnd]) != 0)
        block.keyEnd += 2;
    if (block.keyEnd + 2 > block.end)
        return std::nullopt; // the key runs past the block
    const std::size_t valueBegin = Align4(block.keyEnd + 2);
    const std::size_t valueSize = isText ? valueLength * 2 : valueLength;
    block.valueBegin = std::min(valueBegin, block.end);
    block.valueEnd = std::min(valueBegin + valueSize, block.end);
    block.childrenBegin = Align4(valueBegin + valueSize);
    return block;
}

bool VersionBlocks::KeyEquals(const Block& block, std::string_view key) const {
    const auto fold = [](unsigned c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    if ((block.keyEnd - block.keyBegin) / 2 != key.size())
        return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (fold(Le16(&m_data[block.keyBegin + 2 * i])) != fold(static_cast<unsigned char>(key[i])))
            return false;
    }
    return true;
}

std::string VersionBlocks::Text(const Block& block) const {
    const std::span<const unsigned char> value = Value(block);
    const std::size_t units = value.size() / 2;
    std::string text;
    for (std::size_t i = 0; i < units; ++i) {
        char32_t unit = Le16(&value[2 * i]);
        if (unit == 0)
            break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const char32_t low = Le16(&value[2 * (i + 1)]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF)
            unit = 0xFFFD;
        AppendUtf8(text, unit);
    }
    return text;
}

// The FileVersion string of the table named by the first translation; when that table is missing or
// lacks the string, the first table that has one (many files name a table their translation does not).
std::string FileVersionFromBlocks(std::span<const unsigned char> data) {
    const VersionBlocks blocks(data);
    const auto root = blocks.Root();
    if (!root)
        return {};
    const auto strings = blocks.Child(*root, "StringFileInfo");
    if (!strings)
        return {};

    const auto varInfo = blocks.Child(*root, "VarFileInfo");
    const auto translation = varInfo ? blocks.Child(*varInfo, "Translation") : std::nullopt;
    if (translation && blocks.Value(*translation).size() >= 4) {
        const auto value = blocks.Value(*translation);
        const unsigned long code = static_cast<unsigned long>(Le16(&value[0])) << 16 | Le16(&value[2]);
        char tableName[16];
        std::snprintf(tableName, sizeof tableName, "%08lx", code);
        if (const auto table = blocks.Child(*strings, tableName)) {
            if (const auto version = blocks.Child(*table, "FileVersion"))
                return blocks.Text(*version);
        }
    }
    for (auto table = blocks.FirstChild(*strings); table; table = blocks.NextSibling(*strings, *table)) {
        if (const auto version = blocks.Child(*table, "FileVersion"))
            return blocks.Text(*version);
    }
    return {};
}

std::string ReadFileVersion(ByteSource& source) {
    PeImage pe(source);
    if (!pe.Open())
        return {};
    const auto data = VersionResource(pe);
    return data ? FileVersionFromBlocks(*data) : std::string();
}

} // namespace

std::string ReadFileVersionFromImage(std::span<const unsigned char> image) {
    MemorySource source(image);
    return ReadFileVersion(source);
}

std::string GetFileVersionText(const std::string& path, int* error) {
    // Only a regular file is read, never a link (which has no version, as it has no checksum), and a
    // FIFO cannot stall the listing.
    RegularFile file;
    FileStamp stamp;
    const RegularFile::OpenResult opened = file.Open(path, stamp);
    if (error != nullptr)
        *error = opened == RegularFile::OpenResult::Failed ? file.LastError() : 0;
    if (opened != RegularFile::OpenResult::Opened)
        return {};
    FileSource source(file, stamp.size);
    return ReadFileVersion(source);
}

} // namespace quillary
