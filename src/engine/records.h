// Scanned directories and their entries. The engine keeps them from one run to the next as a cache, so
// that checksums and versions of unchanged files are not computed again.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quillary {

struct DirRecord;
// Directory path (no trailing separator; the root is "") to its record. Node addresses are stable, so
// entries point at their directory's node.
using DirMap = std::map<std::string, DirRecord>;
using DirMapEntry = DirMap::value_type;

struct FileRecord {
    std::string name;                 // full entry name as the file system gave it
    std::uint32_t extensionStart = 0; // index after the last "."; name.size() + 1 when none
    bool isDirectory = false;
    bool crcKnown = false;
    bool versionKnown = false;
    char attributes[6] = "-----";
    std::uint32_t crc = 0;
    std::uint64_t size = 0;
    std::int64_t creationTime = 0;
    std::int64_t lastAccessTime = 0;
    std::int64_t lastWriteTime = 0;
    std::string version;
    const DirMapEntry* parent = nullptr;

    // A file's name up to its last "." (the whole name when it has none); a subdirectory's whole name.
    std::string_view BaseName() const {
        return HasExtension() ? std::string_view(name).substr(0, extensionStart - 1) : std::string_view(name);
    }
    // The text after a file's last "." (empty when there is none or for a subdirectory).
    std::string_view Extension() const {
        return HasExtension() ? std::string_view(name).substr(extensionStart) : std::string_view();
    }
    bool HasExtension() const { return extensionStart < name.size(); }
};

// Sizes add up to at most the largest 64-bit number instead of wrapping round to a small one.
inline std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
    return b > UINT64_MAX - a ? UINT64_MAX : a + b;
}

struct DirRecord {
    std::uint64_t totalSize = 0; // matching files here plus the totals of directories scanned below
    std::uint32_t fileCount = 0; // matching files directly here
    std::int64_t creationTime = 0;
    std::int64_t lastAccessTime = 0;
    std::int64_t lastWriteTime = 0;
    std::string attributes;          // five letters, or empty when the directory itself was not found
    std::vector<FileRecord> entries; // sorted by name (byte order) once the directory is scanned
    std::size_t rootPrefixLen = 0;   // length of the parent part of the selected directory
};

} // namespace quillary
