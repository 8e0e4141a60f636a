// What the window runs on its run thread: the listing engine (kept for the window's lifetime, so that
// its scan cache serves the next run), or a stand-in that tests control.
#pragma once

#include <functional>
#include <memory>

#include "engine/listing_engine.h"

namespace quillary {

class ListingRunner {
public:
    virtual ~ListingRunner() = default;
    // Called on the run thread. Reaches the window only through the host the runner was made with,
    // in the host contract's order, RunFinished last.
    virtual void Run(RunTarget target) = 0;
    // Called on the UI thread while a run is active.
    virtual void RequestCancel() = 0;
};

using ListingRunnerFactory = std::function<std::unique_ptr<ListingRunner>(ListingHost& host)>;

// The runner over the engine.
std::unique_ptr<ListingRunner> MakeEngineRunner(ListingHost& host);

} // namespace quillary
