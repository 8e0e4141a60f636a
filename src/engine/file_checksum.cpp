#include "engine/file_checksum.h"

#include <isa-l/crc.h>

#include <algorithm>

#include "platform/file_io.h"

namespace quillary {

std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t size) {
    // The standard reflected CRC-32 (polynomial 0xEDB88320, gzip's), continued from `crc`.
    return crc32_gzip_refl(crc, static_cast<const unsigned char*>(data), size);
}

FileChecksummer::Result FileChecksummer::Compute(const std::string& path, std::uint64_t size,
                                                 const std::atomic<bool>& cancel,
                                                 const std::function<void(std::uint64_t)>& progress) {
    if (cancel.load(std::memory_order_relaxed))
        return {0, Outcome::Cancelled, 0};
    InputFile file;
    if (!file.Open(path)) {
        const int error = file.LastError();
        return {0, error != 0 ? Outcome::Failed : Outcome::NotRegular, error};
    }
    if (!m_buffer)
        m_buffer.reset(new unsigned char[kChunkSize]); // not cleared: every byte used is read first
    std::uint32_t crc = 0;
    std::uint64_t done = 0;
    while (done < size) {
        if (cancel.load(std::memory_order_relaxed))
            return {0, Outcome::Cancelled, 0}; // a partial checksum would look like a real one
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, size - done));
        const long long got = file.Read(m_buffer.get(), wanted);
        if (got < 0)
            return {0, Outcome::Failed, file.LastError()};
        if (got == 0)
            break;
        crc = Crc32Update(crc, m_buffer.get(), static_cast<std::size_t>(got));
        done += static_cast<std::uint64_t>(got);
        if (size > kChunkSize && progress)
            progress(done);
    }
    return {crc, Outcome::Complete, 0};
}

} // namespace quillary
