#include "engine/ordered_windows.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace quillary {

namespace {

// The windows' shared state. A window `w` is kept in slot w % slots.size() from the moment it is
// claimed until it is written; a window is only claimed once the one `ahead` before it is written, so
// its slot is free.
class WindowPipeline {
public:
    WindowPipeline(std::size_t count, std::size_t ahead, const FormatWindow& format)
        : m_count(count), m_slots(std::max<std::size_t>(ahead, 1)), m_format(format) {}

    // A helper's loop: claims and formats windows until none is left or the work stopped.
    void Help(unsigned formatter) {
        std::string text;
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [&] { return CanClaim() || Finished(); });
            if (!CanClaim())
                return;
            if (!FormatClaimed(formatter, text, lock))
                return;
        }
    }

    // The calling thread's loop: writes the next window once it is formatted, and formats one itself
    // when the next is not ready and another may be claimed.
    void Write(unsigned formatter, const WriteWindow& write) {
        std::string text, writing;
        std::unique_lock lock(m_mutex);
        while (m_written < m_count && !m_failed) {
            Slot& next = m_slots[m_written % m_slots.size()];
            if (next.ready) {
                next.ready = false;
                writing.swap(next.text);
                ++m_written;
                m_changed.notify_all();
                lock.unlock();
                write(writing);
                writing.clear();
                lock.lock();
            } else if (CanClaim()) {
                FormatClaimed(formatter, text, lock);
            } else {
                m_changed.wait(lock);
            }
        }
    }

    // Stops the helpers (after an exception on the calling thread).
    void Stop() {
        std::lock_guard lock(m_mutex);
        m_failed = true;
        m_changed.notify_all();
    }

    // The first exception a formatter threw, if any.
    std::exception_ptr Error() {
        std::lock_guard lock(m_mutex);
        return m_error;
    }

private:
    struct Slot {
        std::string text;
        bool ready = false;
    };

    bool CanClaim() const {
        return !m_failed && m_claimed < m_count && m_claimed < m_written + m_slots.size();
    }
    bool Finished() const { return m_failed || m_claimed == m_count; }

    // Claims the next window, formats it with the lock released and puts its text in its slot (handing
    // the slot's old buffer back in `text`). False when the format failed; the error is kept then.
    bool FormatClaimed(unsigned formatter, std::string& text, std::unique_lock<std::mutex>& lock) {
        const std::size_t window = m_claimed++;
        lock.unlock();
        text.clear();
        try {
            m_format(formatter, window, text);
        } catch (...) {
            lock.lock();
            if (!m_error)
                m_error = std::current_exception();
            m_failed = true;
            m_changed.notify_all();
            return false;
        }
        lock.lock();
        Slot& slot = m_slots[window % m_slots.size()];
        slot.text.swap(text);
        slot.ready = true;
        m_changed.notify_all();
        return true;
    }

    const std::size_t m_count;
    std::vector<Slot> m_slots;
    const FormatWindow& m_format;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_claimed = 0; // windows handed to a formatter
    std::size_t m_written = 0; // windows written
    bool m_failed = false;
    std::exception_ptr m_error;
};

} // namespace

void FormatWindowsInOrder(std::size_t count, unsigned helpers, std::size_t ahead, const FormatWindow& format,
                          const WriteWindow& write) {
    WindowPipeline pipeline(count, ahead, format);
    std::vector<std::thread> threads;
    threads.reserve(helpers);
    for (unsigned i = 0; i < helpers && count > 1; ++i) {
        try {
            threads.emplace_back([&pipeline, i] { pipeline.Help(i); });
        } catch (const std::system_error&) {
            break; // no more threads: those started and the calling thread do the work
        }
    }
    auto joinAll = [&] {
        for (std::thread& thread : threads)
            thread.join();
    };
    try {
        pipeline.Write(helpers, write);
    } catch (...) {
        pipeline.Stop();
        joinAll();
        throw;
    }
    joinAll();
    if (std::exception_ptr error = pipeline.Error())
        std::rethrow_exception(error);
}

} // namespace quillary
