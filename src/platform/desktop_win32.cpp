#include "platform/desktop.h"

#include <windows.h>

namespace quillary {

bool CanOpenWindows() {
    // A hidden popup of a system class: made and destroyed at once, never shown.
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (probe == nullptr)
        return false;
    DestroyWindow(probe);
    return true;
}

} // namespace quillary
