// Helpers of the GUI tests: a scratch program folder, a window built in it, and event pumping.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/window.h>

#include "app/command_line.h"
#include "app/gui/program_locations.h"
#include "app/gui/quillary_dlg.h"

namespace quillary::test {

// A fresh, empty folder that stands for the program's folder; removed at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillary_gui_XXXXXX").string();
        m_path = mkdtemp(pattern.data());
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

    void Write(const std::string& name, const std::string& contents) const {
        std::ofstream(*this / name, std::ios::binary) << contents;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(*this / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(*this / name); }

private:
    std::string m_path;
};

// Handles pending events (CallAfter calls included) until `done` holds; fails after ten seconds.
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

// Destroys a window that a test did not close, with the pending deletions.
struct WindowCloser {
    wxWindow* window;
    ~WindowCloser() {
        if (window != nullptr && !window->IsBeingDeleted())
            window->Destroy();
        wxTheApp->ProcessIdle();
    }
};

inline CommandLineInfo Words(std::initializer_list<std::string> words) {
    return CommandLineInfo::Parse(std::vector<std::string>(words));
}

} // namespace quillary::test
