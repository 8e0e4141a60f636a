#include "engine/worker_threads.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace quillary {

unsigned DefaultWorkerCount() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
}

void RunWorkers(unsigned count, const std::function<void(unsigned worker)>& body,
                const std::function<void()>& waiting) {
    std::mutex mutex;
    std::condition_variable finishedOne;
    unsigned finished = 0;
    std::vector<std::thread> threads;
    threads.reserve(count);
    for (unsigned worker = 0; worker < count; ++worker) {
        try {
            threads.emplace_back([&, worker] {
                body(worker);
                std::lock_guard lock(mutex);
                ++finished;
                finishedOne.notify_one();
            });
        } catch (const std::system_error&) {
            // No more threads (a process or memory limit): the workers share their work, so the
            // ones started do it all; without any, the calling thread does.
            count = worker;
            if (count == 0) {
                body(0);
                return;
            }
            break;
        }
    }
    {
        std::unique_lock lock(mutex);
        while (finished < count) {
            finishedOne.wait_for(lock, std::chrono::milliseconds(100));
            if (waiting && finished < count) {
                lock.unlock();
                waiting();
                lock.lock();
            }
        }
    }
    for (std::thread& thread : threads)
        thread.join();
}

} // namespace quillary
