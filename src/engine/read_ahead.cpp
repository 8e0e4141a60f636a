#include "engine/read_ahead.h"

namespace quillary {

ReadAhead::ReadAhead(RegularFile& file, std::size_t pieceSize, unsigned pieces)
    : m_file(file), m_pieceSize(pieceSize), m_pieces(pieces < 2 ? 2 : pieces),
      // Not cleared: every byte handed out is read first.
      m_buffer(new unsigned char[m_pieceSize * m_pieces]), m_sizes(new long long[m_pieces]),
      m_thread([this] { ReadPieces(); }) {}

ReadAhead::~ReadAhead() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

long long ReadAhead::Next(const unsigned char*& data) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_holding) {
        ++m_consumed;
        m_holding = false;
        m_changed.notify_all();
    }
    m_changed.wait(lock, [this] { return m_read > m_consumed; });
    const unsigned slot = static_cast<unsigned>(m_consumed % m_pieces);
    const long long size = m_sizes[slot];
    if (size <= 0)
        return size; // the end or a failure: the reading thread has stopped, and this piece stays out
    m_holding = true;
    data = m_buffer.get() + slot * m_pieceSize;
    return size;
}

void ReadAhead::ReadPieces() {
    for (unsigned long long piece = 0;; ++piece) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [&] { return m_stop || piece - m_consumed < m_pieces; });
            if (m_stop)
                return;
        }
        // The slot is the reader's alone until it is published below.
        const unsigned slot = static_cast<unsigned>(piece % m_pieces);
        const long long size = m_file.Read(m_buffer.get() + slot * m_pieceSize, m_pieceSize);
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_sizes[slot] = size;
            m_read = piece + 1;
        }
        m_changed.notify_all();
        if (size <= 0)
            return;
    }
}

} // namespace quillary
