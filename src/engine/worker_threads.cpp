#include "engine/worker_threads.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
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
        threads.emplace_back([&, worker] {
            body(worker);
            std::lock_guard lock(mutex);
            ++finished;
            finishedOne.notify_one();
        });
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
