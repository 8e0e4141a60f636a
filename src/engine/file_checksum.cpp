#include "engine/file_checksum.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "engine/read_ahead.h"

namespace quillary {

FileChecksummer::FileChecksummer(HashSet hashes, bool identify) : m_hashes(hashes), m_identify(identify) {
    if (hashes & kHashXxh3)
        m_xxh3 = std::make_unique<Xxh3Hasher>();
    if (hashes & kHashSha256)
        m_sha256 = std::make_unique<Sha256Hasher>();
}

FileChecksummer::Result FileChecksummer::Compute(const std::string& path, std::uint64_t size,
                                                 std::int64_t lastWriteTime, const std::atomic<bool>& cancel,
                                                 const std::function<void(std::uint64_t)>& progress) {
    if (cancel.load(std::memory_order_relaxed))
        return {0, Outcome::Cancelled, 0};
    RegularFile file;
    FileStamp before;
    const auto opened = file.Open(path, before);
    return Read(file, opened, before, size, lastWriteTime, cancel, progress);
}

FileChecksummer::Result FileChecksummer::ComputeIn(const DirectoryHandle& folder, const char* name,
                                                   std::uint64_t size, std::int64_t lastWriteTime,
                                                   const std::atomic<bool>& cancel) {
    if (cancel.load(std::memory_order_relaxed))
        return {0, Outcome::Cancelled, 0};
    RegularFile file;
    FileStamp before;
    const auto opened = file.OpenIn(folder, name, before);
    return Read(file, opened, before, size, lastWriteTime, cancel, {});
}

FileChecksummer::Result FileChecksummer::Read(RegularFile& file, RegularFile::OpenResult opened,
                                              const FileStamp& before, std::uint64_t size,
                                              std::int64_t lastWriteTime, const std::atomic<bool>& cancel,
                                              const std::function<void(std::uint64_t)>& progress) {
    switch (opened) {
    case RegularFile::OpenResult::Opened:
        break;
    case RegularFile::OpenResult::NotRegular:
        return {0, Outcome::NotRegular, 0};
    case RegularFile::OpenResult::Failed:
        return {0, Outcome::Failed, file.LastError()};
    }
    // The checksum must belong to the contents the row describes: the listed size and time, unchanged
    // from the first byte read to the last.
    if (before.size != size || before.lastWriteSeconds != lastWriteTime)
        return {0, Outcome::Changed, 0};
    std::uint32_t crc = 0;
    if (m_xxh3)
        m_xxh3->Reset();
    if (m_sha256)
        m_sha256->Reset();
    // Reads the next piece: its size, 0 at the end, -1 on an error. A big file is read ahead on a
    // thread of its own while this one computes the checksums.
    std::uint64_t done = 0, nextProgress = kChunkSize;
    std::unique_ptr<ReadAhead> ahead;
    if (size >= kReadAheadFrom) {
        try {
            ahead = std::make_unique<ReadAhead>(file, kReadAheadPieceSize, kReadAheadPieces);
        } catch (const std::system_error&) {
            // No thread to be had: the file is read on this one.
        }
    }
    if (!ahead && !m_buffer)
        m_buffer.reset(new unsigned char[kPieceSize]); // not cleared: every byte used is read first
    const auto nextPiece = [&](const unsigned char*& data) -> long long {
        if (ahead)
            return ahead->Next(data);
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kPieceSize, size - done));
        data = m_buffer.get();
        return file.Read(m_buffer.get(), wanted);
    };
    while (done < size) {
        if (cancel.load(std::memory_order_relaxed))
            return {0, Outcome::Cancelled, 0}; // a partial checksum would look like a real one
        const unsigned char* data = nullptr;
        const long long got = nextPiece(data);
        if (got < 0)
            return {0, Outcome::Failed, file.LastError()};
        if (got == 0)
            break;
        // Read ahead, a file that grew gives more than its listed size: then `done` tells it changed.
        const auto piece = static_cast<std::size_t>(got);
        if (m_hashes & kHashCrc32)
            crc = Crc32Update(crc, data, piece);
        if (m_xxh3)
            m_xxh3->Update(data, piece);
        if (m_sha256)
            m_sha256->Update(data, piece);
        done += piece;
        if (size > kChunkSize && progress && (done >= nextProgress || done == size)) {
            progress(done);
            nextProgress = done + kChunkSize;
        }
    }
    ahead.reset(); // the file is this thread's again
    FileStamp after;
    FileIdentity identity;
    if (!file.Stamp(after, m_identify ? &identity : nullptr))
        return {0, Outcome::Failed, file.LastError()};
    if (done != size || after != before)
        return {0, Outcome::Changed, 0};
    Result result{crc, Outcome::Complete, 0};
    result.identity = identity;
    if (m_xxh3)
        result.xxh3 = m_xxh3->Digest();
    if (m_sha256) {
        result.sha256 = m_sha256->Digest();
        if (m_sha256->Failed())
            return {0, Outcome::Failed, EIO};
    }
    return result;
}

} // namespace quillary
