// Driving a window from code, without a test framework (the GUI tests and the screenshot tool share
// it): event pumping until a condition holds, a window destroyed at the end of a scope, and folder paths
// written as the program writes them.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include <wx/app.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include "platform/canonical_path.h"
#include "platform/path_syntax.h"

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

// Destroys the window at the end of a scope unless it was closed already. The reference is weak: a
// window that closed itself may be gone already.
struct WindowCloser {
    wxWeakRef<wxWindow> window;
    ~WindowCloser() {
        if (window && !window->IsBeingDeleted())
            window->Destroy();
        wxTheApp->ProcessIdle();
    }
};

// A folder's path as the program and its tree name it: canonical, with the system's separators (on
// Windows the drive letter in lower case).
inline std::string ProgramPath(const std::filesystem::path& folder) {
    const std::u8string text = folder.u8string();
    return CanonicalPath(std::string(text.begin(), text.end())).path;
}

// `relative`, written with "/", below the folder `base`, with the system's separators.
inline std::string Below(const std::string& base, std::string_view relative) {
    std::string path = base + kPathSeparator;
    for (const char c : relative)
        path += c == '/' ? kPathSeparator : c;
    return path;
}

} // namespace quillary::test
