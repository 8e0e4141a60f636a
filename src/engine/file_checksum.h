// Checksums of file contents, every chosen one in one read of the file in 4 MiB chunks: CRC-32 (the
// standard reflected CRC-32, polynomial 0xEDB88320), XXH3-64 and SHA-256.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/records.h"
#include "platform/crc32.h"
#include "platform/directory_reader.h"
#include "platform/file_identity.h"
#include "platform/hashes.h"
#include "platform/regular_file.h"

namespace quillary {

class FileChecksummer {
public:
    static constexpr std::size_t kChunkSize = 4u << 20;
    // A file read on the worker's own thread is read in pieces small enough to stay in the CPU's cache
    // while every chosen hash takes them; progress is still told per chunk.
    static constexpr std::size_t kPieceSize = 256u << 10;
    // A file of this size or more is read ahead on a thread of its own, one chunk while the one before
    // is hashed: chunks big enough that handing one over costs little against reading it (measured
    // faster than 1 MiB pieces, and as fast as three chunks in the ring).
    static constexpr std::uint64_t kReadAheadFrom = 16u << 20;
    static constexpr std::size_t kReadAheadPieceSize = kChunkSize;
    static constexpr unsigned kReadAheadPieces = 2;

    // Computes the checksums of `hashes` for each file it reads; with `identify`, a complete result also
    // tells the identity of the file read, as it was when the last byte had been read.
    explicit FileChecksummer(HashSet hashes = kHashCrc32, bool identify = false);

    enum class Outcome {
        Complete,   // the chosen checksums are those of the file's contents
        NotRegular, // not a regular file (a link, FIFO, device, socket): it has no checksum
        Failed,     // the file could not be opened or read: `error` says why
        Changed,    // the file's size or last-write time is not the listed one, or changed while read
        Cancelled,  // the run was cancelled while reading
    };
    struct Result {
        std::uint32_t crc = 0; // meaningful only when complete; never cache anything else
        Outcome outcome = Outcome::Cancelled;
        int error = 0;
        std::uint64_t xxh3 = 0;
        Sha256Digest sha256{};
        FileIdentity identity{}; // only when the checksummer identifies the files it reads
    };

    // Reads the file, which the listing shows with `size` bytes and last written at `lastWriteTime`
    // (seconds). A symbolic link is not followed. After each chunk of a file larger than one chunk,
    // `progress` receives the bytes read so far.
    Result Compute(const std::string& path, std::uint64_t size, std::int64_t lastWriteTime,
                   const std::atomic<bool>& cancel, const std::function<void(std::uint64_t)>& progress);
    // The same for the file `name` in an open folder (many small files of one folder).
    Result ComputeIn(const DirectoryHandle& folder, const char* name, std::uint64_t size,
                     std::int64_t lastWriteTime, const std::atomic<bool>& cancel);

private:
    Result Read(RegularFile& file, RegularFile::OpenResult opened, const FileStamp& before,
                std::uint64_t size, std::int64_t lastWriteTime, const std::atomic<bool>& cancel,
                const std::function<void(std::uint64_t)>& progress);

    HashSet m_hashes;
    bool m_identify;
    std::unique_ptr<unsigned char[]> m_buffer; // one buffer for all files this checksummer reads
    std::unique_ptr<Xxh3Hasher> m_xxh3;        // each only when chosen
    std::unique_ptr<Sha256Hasher> m_sha256;
};

} // namespace quillary
