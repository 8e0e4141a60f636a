#include "res/menus.h"

namespace quillary {

namespace {

// The two separators in a row frame the place where the "Quick configuration" submenu goes.
constexpr MenuItemDef kFileItems[] = {
    {kCmdSaveListing, "&Save listing..."},
    {kCmdCompareListing, "&Compare with a saved listing..."},
    {kMenuSeparator, ""},
    {kMenuSeparator, ""},
    {kCmdLoadConfiguration, "&Load configuration"},
    {kCmdSaveConfiguration, "S&ave configuration"},
    {kMenuSeparator, ""},
    {kCmdLoadSelection, "L&oad dirs selection"},
    {kCmdSaveSelection, "Sa&ve dirs selection"},
    {kMenuSeparator, ""},
    {kCmdClearChecksumCache, "Clear c&hecksum cache"},
    {kMenuSeparator, ""},
    {kCmdExit, "E&xit"},
};

constexpr MenuItemDef kViewItems[] = {
    {kCmdRefreshTree, "&Refresh dirs tree"},
    {kCmdPreview, "&Preview"},
};

constexpr MenuItemDef kHelpItems[] = {
    {kCmdHelpOnline, "&Help online"},
    {kCmdReadMe, "&Read me"},
    {kCmdAbout, "&About"},
};

constexpr MenuDef kMainMenu[] = {
    {"&File", kFileItems},
    {"&View", kViewItems},
    {"&Help", kHelpItems},
};

constexpr AcceleratorDef kAccelerators[] = {
    {.key = kVkF12, .command = kCmdPreview},
    {.key = kVkF5, .command = kCmdRefreshTree},
    {.key = kVkTab, .control = true, .command = kCmdNextTab},
    {.key = kVkTab, .control = true, .shift = true, .command = kCmdPreviousTab},
};

} // namespace

std::span<const MenuDef> MainMenu() {
    return kMainMenu;
}

std::span<const AcceleratorDef> Accelerators() {
    return kAccelerators;
}

} // namespace quillary
