// CRC-32 of file contents (the standard reflected CRC-32, polynomial 0xEDB88320), read in 4 MiB chunks.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace quillary {

// Continues a CRC-32 over more bytes; start with 0 for a new checksum.
std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t size);

class FileChecksummer {
public:
    static constexpr std::size_t kChunkSize = 4u << 20;

    enum class Outcome {
        Complete,   // `crc` is the checksum of the file's contents
        NotRegular, // not a regular file (a FIFO, device, socket): it has no checksum
        Failed,     // the file could not be opened or read: `error` says why
        Cancelled,  // the run was cancelled while reading
    };
    struct Result {
        std::uint32_t crc = 0; // meaningful only when complete; never cache anything else
        Outcome outcome = Outcome::Cancelled;
        int error = 0;
    };

    // Reads up to `size` bytes of the file. After each chunk of a file larger than one chunk,
    // `progress` receives the bytes read so far.
    Result Compute(const std::string& path, std::uint64_t size, const std::atomic<bool>& cancel,
                   const std::function<void(std::uint64_t)>& progress);

private:
    std::unique_ptr<unsigned char[]> m_buffer; // one buffer for all files of a run
};

} // namespace quillary
