#include "app/gui/window_placement.h"

namespace quillary {

PlacementPlan PlanPlacement(const WindowPlacement& placement, bool unattended, bool initDone) {
    PlacementPlan plan;
    plan.left = placement[5];
    plan.top = placement[6];
    plan.width = placement[7] - placement[5];
    plan.height = placement[8] - placement[6];
    plan.moveAndResize = plan.width > 0 && plan.height > 0;
    const int show = unattended || !initDone ? 0 : placement[0];
    switch (show) {
    case 0:
        plan.show = ShowState::Keep;
        break;
    case 2: // SW_SHOWMINIMIZED
    case 6: // SW_MINIMIZE
    case 7: // SW_SHOWMINNOACTIVE
        plan.show = ShowState::Minimized;
        break;
    case 3: // SW_SHOWMAXIMIZED
        plan.show = ShowState::Maximized;
        break;
    default:
        plan.show = ShowState::Normal;
        break;
    }
    return plan;
}

} // namespace quillary
