// What the "Window" setting does to the window: its normal rectangle always; the minimised or
// maximised state only once the window has started (a window closed maximised comes back at its
// normal size, and only a configuration loaded later maximises it) and never in an unattended run.
#pragma once

#include "persistence/settings_file.h"

namespace quillary {

// Win32 show states as the setting stores them.
enum class ShowState { Keep, Normal, Minimized, Maximized };

struct PlacementPlan {
    bool moveAndResize = false; // false when the stored rectangle is empty
    int left = 0, top = 0, width = 0, height = 0;
    ShowState show = ShowState::Keep;
};

// A show state of 0 (hide) would make the window vanish; it keeps the state instead.
PlacementPlan PlanPlacement(const WindowPlacement& placement, bool unattended, bool initDone);

} // namespace quillary
