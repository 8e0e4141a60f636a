// What changed between two listings, as the comparison reports it and its reports write it: the
// entries it matched, each change, and the totals per kind of change.
#pragma once

#include <cstdint>
#include <string>

namespace quillary {

struct ListedEntry {
    bool folder = false;
    std::string key;  // the path below the selected folder ("" for it), or the full path
    std::string path; // the full path, its exact bytes
    std::uint64_t size = 0;
    std::string modified;            // as the listing writes it; "" when it has no time
    std::string crc32, xxh3, sha256; // the checksums the listing has for it ("" for none)
};

enum class ChangeKind { Added, Removed, Changed };

struct ListingChange {
    ChangeKind kind = ChangeKind::Changed;
    const ListedEntry* before = nullptr; // absent for an added entry
    const ListedEntry* after = nullptr;  // absent for a removed entry
    bool sizeChanged = false;
    bool timeChanged = false;
    bool crcChanged = false;

    const ListedEntry& Entry() const { return after != nullptr ? *after : *before; }
};

struct ChangeCounts {
    std::uint64_t folders = 0;
    std::uint64_t files = 0;
};

struct CompareTotals {
    ChangeCounts added, removed, changed, unchanged;
    std::uint64_t bytesBefore = 0; // of the files in each listing
    std::uint64_t bytesAfter = 0;

    bool AnyChange() const {
        return added.folders + added.files + removed.folders + removed.files + changed.folders +
                   changed.files >
               0;
    }
};

// What a listing's header says of it, for the report's header.
struct ListingOrigin {
    std::string path; // the listing file
    std::string time; // its time stamp as written
};

// Receives the changes in the merge's order, then the totals.
class ChangeSink {
public:
    virtual ~ChangeSink() = default;
    virtual void Begin(const ListingOrigin& before, const ListingOrigin& after) = 0;
    virtual void Change(const ListingChange& change) = 0;
    virtual void End(const CompareTotals& totals) = 0;
};

} // namespace quillary
