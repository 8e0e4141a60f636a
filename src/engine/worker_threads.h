// The small pool of threads a run reads folders and files with. The run thread starts the workers,
// stays free for the host calls (progress) while they work, and continues when all have finished.
#pragma once

#include <functional>

namespace quillary {

// How many workers a run uses unless it is told otherwise: as many as the machine has cores, at most 8.
unsigned DefaultWorkerCount();

// Runs body(worker) on `count` new threads (worker = 0 .. count - 1) and returns when every one has
// returned. Meanwhile the calling thread calls `waiting` about ten times a second. The bodies must share
// their work (a queue they all take from): when the system cannot start all threads, fewer run, and
// when it starts none, body(0) runs on the calling thread.
void RunWorkers(unsigned count, const std::function<void(unsigned worker)>& body,
                const std::function<void()>& waiting);

} // namespace quillary
