// The checksums of a run's files, each read once per run. The files of up to one chunk are read by the
// workers before any row is written, a folder at a time, each file opened in its open folder; larger
// files are read one at a time as their rows are written, so that their progress can be shown.
//
// Only a complete checksum is kept in the record (and so cached for the next run); a file that could
// not be read is reported and not tried again in this run, not even for a per-folder listing.
//
// Threading: the pass lives on the run thread; ComputeSmallFiles starts the workers and waits for them.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/file_checksum.h"
#include "engine/records.h"
#include "engine/run_result.h"
#include "listing/listing_options.h"

namespace quillary {

// The checksums a listing with these options shows.
HashSet ChosenHashes(const ListingOptions& options);

// True for a file whose checksums this run has still to read: a regular file without one of `hashes`
// that has not failed already.
bool NeedsChecksum(const FileRecord& entry, HashSet hashes);

class ChecksumPass {
public:
    // The files that cannot be read are added to `problems` (the run's list), the workers' sorted by
    // path, the others as they are read.
    ChecksumPass(const std::atomic<bool>& cancel, std::vector<RunProblem>& problems, HashSet hashes)
        : m_cancel(cancel), m_hashes(hashes), m_checksummer(hashes), m_problems(problems) {}

    // Reads the checksums of the map's files up to one chunk with `threads` workers; the calling thread
    // calls `waiting` meanwhile, about ten times a second.
    void ComputeSmallFiles(DirMap& dirMap, unsigned threads, const std::function<void()>& waiting);
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
};

} // namespace quillary
