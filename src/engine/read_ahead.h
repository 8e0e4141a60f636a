// Reads an open file ahead of the code that consumes it, on a thread of its own, into a ring of
// pieces: the checksums of one piece are computed while the next ones are read, so that a big file is
// checksummed at about the speed it can be read.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/regular_file.h"

namespace quillary {

class ReadAhead {
public:
    // Starts reading `file` from where it stands, in pieces of `pieceSize` bytes (the last may be
    // shorter), keeping at most `pieces` of them read ahead. `file` must outlive this and must not be
    // used by anyone else until this is destroyed.
    ReadAhead(RegularFile& file, std::size_t pieceSize, unsigned pieces);
    // Stops reading (whatever is left unread stays so) and waits for the reading thread.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next piece, read in order: its size (0 at the end of the file), or -1 when reading failed
    // (the file's LastError says why). `data` points at it until the next call. The piece before is
    // handed back for reading.
    long long Next(const unsigned char*& data);

private:
    void ReadPieces();

    RegularFile& m_file;
    const std::size_t m_pieceSize;
    const unsigned m_pieces;
    std::unique_ptr<unsigned char[]> m_buffer; // m_pieces pieces one after the other
    std::unique_ptr<long long[]> m_sizes;      // of each piece read: as RegularFile::Read returns it

    std::mutex m_mutex;
    std::condition_variable m_changed;
    unsigned long long m_read = 0;     // pieces read so far (guarded)
    unsigned long long m_consumed = 0; // pieces handed back (guarded)
    bool m_stop = false;               // guarded
    bool m_holding = false;            // a piece is out with the consumer (its thread only)

    std::thread m_thread; // last: started once everything above is ready
};

} // namespace quillary
