// The checksums of a run's files, each read once per run. The files of up to one chunk are read by the
// workers before any row is written, a folder at a time, each file opened in its open folder; larger
// files are read one at a time as their rows are written, so that their progress can be shown.
//
// Only a complete checksum is kept in the record (and so cached for the next run); a file that could
// not be read is reported and not tried again in this run, not even for a per-folder listing.
//
// With a checksum cache (checksum_cache.h), each folder's row is looked up once, and each file's identity
// is taken from the scan (or, where the scan does not tell it, read with one stat): a file the row holds
// with the same identity (device and index, under any name) and every wanted checksum is not read at all. A
// file that is read is kept in the folder's row when the open file's identity after the read (no second look
// up of its name) is still the one it had before; a row is written only when it gains something (a file read,
// or one seen last on an earlier day).
//
// Threading: the pass lives on the run thread; ComputeSmallFiles starts the workers and waits for them.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/file_checksum.h"
#include "engine/folder_tree.h"
#include "engine/records.h"
#include "engine/run_result.h"
#include "listing/listing_options.h"
#include "persistence/checksum_cache.h"

namespace quillary {

// The checksums a listing with these options shows.
HashSet ChosenHashes(const ListingOptions& options);
// True when a run with `options` looks its checksums up in the cache of earlier runs (and keeps what
// it reads there): it shows a checksum column and the files, and keeps checksums between runs.
bool UsesChecksumCache(const ListingOptions& options);

// True for a file whose checksums this run has still to read: a regular file without one of `hashes`
// that has not failed already.
bool NeedsChecksum(const FileRecord& entry, HashSet hashes);

class ChecksumPass {
public:
    // The files that cannot be read are added to `problems` (the run's list), the workers' sorted by
    // path, the others as they are read. `cache` (may be null) outlives the pass.
    ChecksumPass(const std::atomic<bool>& cancel, std::vector<RunProblem>& problems, HashSet hashes,
                 ChecksumCache* cache = nullptr)
        : m_cancel(cancel), m_hashes(hashes), m_checksummer(hashes, cache != nullptr), m_problems(problems),
          m_cache(cache) {}

    // Reads the checksums of the tree's files up to one chunk with `threads` workers; the calling thread
    // calls `waiting` meanwhile, about ten times a second.
    void ComputeSmallFiles(FolderTree& folders, unsigned threads, const std::function<void()>& waiting);
    // Reads the checksum of one file at `path` on the calling thread; `progress` receives the share
    // read so far (0..100) after each chunk of a file larger than one chunk.
    void Compute(FileRecord& entry, const std::string& path, const std::function<void(unsigned)>& progress);

    // Files whose contents were read for a checksum.
    std::uint64_t Computed() const { return m_computed; }

private:
    const std::atomic<bool>& m_cancel;
    HashSet m_hashes;
    FileChecksummer m_checksummer; // for the large files, read on the calling thread
    std::uint64_t m_computed = 0;
    std::vector<RunProblem>& m_problems;
    ChecksumCache* m_cache;
    std::unique_ptr<ChecksumCache::Reader> m_reader; // for the large files, made when first needed
    CachedFolder m_row;                              // the row of the folder of the last large file
    const DirRecord* m_rowOf = nullptr;
};

} // namespace quillary
