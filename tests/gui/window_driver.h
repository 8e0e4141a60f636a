// Driving a window from code, without a test framework (the GUI tests and the screenshot tool share
// it): event pumping until a condition holds, and a window destroyed at the end of a scope.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include <wx/app.h>
#include <wx/window.h>

namespace quillary::test {

// Handles pending events (CallAfter calls included) until `done` holds; false after ten seconds.
inline bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        wxTheApp->ProcessPendingEvents();
        wxYield();
        std::this_thread::yield();
    }
    return true;
}

// Destroys the window at the end of a scope unless it was closed already.
struct WindowCloser {
    wxWindow* window;
    ~WindowCloser() {
        if (window != nullptr && !window->IsBeingDeleted())
            window->Destroy();
        wxTheApp->ProcessIdle();
    }
};

} // namespace quillary::test
