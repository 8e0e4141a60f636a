// The main window's menu (menu 138, as stored; the "Language" popup and the "Quick configuration"
// submenu are added when the window starts) and its keyboard accelerators (table 139).
#pragma once

#include <span>

namespace quillary {

enum CommandId {
    kCmdSaveListing = 32771,
    kCmdLoadConfiguration = 32772,
    kCmdSaveConfiguration = 32773,
    kCmdLoadSelection = 32774,
    kCmdSaveSelection = 32775,
    kCmdExit = 32776,
    kCmdAbout = 32778,
    kCmdRefreshTree = 32781,
    kCmdPreview = 32782,
    kCmdPreviousTab = 32783,
    kCmdHelpOnline = 32784,
    kCmdCompareListing = 32785,
    kCmdClearChecksumCache = 32786,
    kCmdNextTab = 32257,
    kCmdReadMe = 57670,
    kCmdFirstLanguage = 400,    // the "Language" items: 400, 401, ... in the order the files were found
    kCmdFirstQuickConfig = 700, // the "Quick configuration" items: 700, 701, ...
};

// Item id of a separator line.
inline constexpr int kMenuSeparator = 0;

struct MenuItemDef {
    int id = kMenuSeparator;
    const char* text = "";
};

struct MenuDef {
    const char* title = "";
    std::span<const MenuItemDef> items;
};

// "&File", "&View", "&Help", as stored.
std::span<const MenuDef> MainMenu();

// Where the window inserts its two generated popups, and their titles.
inline constexpr int kLanguageMenuPosition = 1;    // position in the menu bar
inline constexpr int kQuickConfigMenuPosition = 3; // position in the "&File" menu
inline constexpr const char* kLanguageMenuTitle = "&Language";
inline constexpr const char* kQuickConfigMenuTitle = "&Quick configuration";
// Number of menu-bar positions once the "&Language" popup is in place.
inline constexpr int kMenuBarPositions = 4;

// Virtual key codes of the accelerator keys.
enum VirtualKey { kVkTab = 0x09, kVkF5 = 0x74, kVkF12 = 0x7B };

struct AcceleratorDef {
    int key = 0; // a VirtualKey
    bool control = false;
    bool shift = false;
    int command = 0;
};

std::span<const AcceleratorDef> Accelerators();

} // namespace quillary
