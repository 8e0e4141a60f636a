// Scanned directories and their entries. The engine keeps them from one run to the next as a cache, so
// that checksums and versions of unchanged files are not computed again.
//
// Records are kept small, since a run holds one per listed entry: an entry's name is a view into one
// block per folder that holds the names of all its entries, and a folder holds its own name only, not
// its path (folder_tree.h makes paths when they are needed).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/directory_reader.h"
#include "platform/hashes.h"

namespace quillary {

struct DirRecord;

// The checksums a run can compute, as bits of a set.
using HashSet = std::uint8_t;
inline constexpr HashSet kHashCrc32 = 1u << 0;
inline constexpr HashSet kHashXxh3 = 1u << 1;
inline constexpr HashSet kHashSha256 = 1u << 2;

// The longer digests, kept apart so that a record without them stays small.
struct StrongHashes {
    std::uint64_t xxh3 = 0;
    Sha256Digest sha256{};
};

// What tells a file from every other and whether it changed, as the scan read it; kept only for runs
// that look checksums up in the cache, so that other runs' records stay small.
struct ScannedIdentity {
    std::uint64_t device = 0;
    std::uint64_t fileIndex = 0;
    std::int64_t changeSeconds = 0;
    std::uint32_t writeNanoseconds = 0;
    std::uint32_t changeNanoseconds = 0;
};

struct FileRecord {
    std::string_view name; // full entry name as the file system gave it, in its folder's name block
    std::uint64_t size = 0;
    std::int64_t creationTime = 0;
    std::int64_t lastAccessTime = 0;
    std::int64_t lastWriteTime = 0;
    std::unique_ptr<std::string> version;      // the file's version text, when it has one
    const DirRecord* parent = nullptr;         // the folder the entry is in
    std::unique_ptr<StrongHashes> strong;      // set once an XXH3 or SHA-256 digest is known
    std::unique_ptr<ScannedIdentity> identity; // set when the scan told it and the run keeps it
    std::uint32_t crc = 0;
    std::uint32_t extensionStart = 0; // index after the last "."; name.size() + 1 when none
    bool isDirectory = false;
    bool isRegular = false;     // only regular files have a checksum
    HashSet hashesKnown = 0;    // the checksums this record holds
    bool checksumTried = false; // this run could not compute the checksums (not carried to the next run)
    bool versionKnown = false;
    char attributes[6] = "-----";

    // A file's name up to its last "." (the whole name when it has none); a subdirectory's whole name.
    std::string_view BaseName() const { return HasExtension() ? name.substr(0, extensionStart - 1) : name; }
    // The text after a file's last "." (empty when there is none or for a subdirectory).
    std::string_view Extension() const {
        return HasExtension() ? name.substr(extensionStart) : std::string_view();
    }
    bool HasExtension() const { return extensionStart < name.size(); }
    // The version text ("" when the file has none or it was not read).
    std::string_view Version() const { return version ? std::string_view(*version) : std::string_view(); }
};

// Sizes add up to at most the largest 64-bit number instead of wrapping round to a small one.
inline std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
    return b > UINT64_MAX - a ? UINT64_MAX : a + b;
}

struct DirRecord {
    // Its place among the scanned folders (folder_tree.h).
    std::string name;                   // a root: its whole path (see FolderTree); otherwise its own name
    DirRecord* parent = nullptr;        // the folder it is in; null for a root
    std::vector<DirRecord*> subfolders; // the first `sortedSubfolders` by name (byte order), the rest not yet
    std::uint32_t sortedSubfolders = 0;
    std::uint32_t depth = 0; // levels below its root

    // What the last scan of the folder read.
    std::uint64_t totalSize = 0; // matching files here plus the totals of directories scanned below
    std::uint32_t fileCount = 0; // matching files directly here
    std::int64_t creationTime = 0;
    std::int64_t lastAccessTime = 0;
    std::int64_t lastWriteTime = 0;
    std::string attributes;          // five letters, or empty when the directory itself was not found
    std::vector<FileRecord> entries; // sorted by name (byte order) once the directory is scanned
    std::unique_ptr<char[]> names;   // the text the entries' names view; moves with the record
    std::size_t rootPrefixLen = 0;   // length of the parent part of the selected directory
    FolderIdentity identity;         // the folder the scan read, which its own listing must go into
    bool selected = false;           // named by the selection: opened as named, a final link followed
};

} // namespace quillary
