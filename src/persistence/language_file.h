// Language files: INI files that replace every user-visible text. Section "<control id>" key "Caption"
// holds a control's text (for a combo box its items, for the tab control its tab labels, each list
// joined by "|") and key "Hint" its tooltip; sections "600" to "603" hold the menu-bar titles by
// position, "<command id>" the texts of menu items, "699" the title of the "Quick configuration"
// submenu, and section "Messages" keys "0" to "10" the message table.
//
// A language file replaces texts wholesale: a key it lacks empties the text it stands for, so a
// translation that forgets a text shows up as a gap rather than as stray English.
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "listing/message_table.h"
#include "model/control_surface.h"
#include "persistence/profile_file.h"
#include "res/menus.h"

namespace quillary {

inline constexpr const char* kMessagesSection = "Messages";
inline constexpr int kMenuTitleSectionBase = 600; // + menu-bar position
inline constexpr int kQuickConfigSection = 699;
inline constexpr std::size_t kMaxTabLabelBytes = 255;

// Applies a language file read into a profile: control texts, combo items, tab labels and hints, and
// the message table (with the product name put into the messages that name it). The number of items
// of a combo box and of tabs never changes: missing items become empty, extra items are ignored, and
// every selection is kept, because a selected index is an option value.
void ApplyLanguage(const ProfileFile& language, ControlSurface& surface, MessageTable& messages);

// Reads and applies the language file at path. False, with nothing changed, when the file does not
// exist or cannot be read.
bool ApplyLanguageFile(const std::string& path, ControlSurface& surface, MessageTable& messages);

// Controls that keep their texts whatever the language: trees, up-downs, text and HTML views, the
// quick-preview frame, the size precision and decimal separator lists (digits and separators) and the
// product name, version, rights line and home page link of the About page.
bool IsLanguageNeutral(const ControlRef& control);

// Splits a "|"-joined caption: "A|B|C" gives A, B, C; "" gives one empty item; a trailing "|" adds no
// empty item.
std::vector<std::string> SplitCaptionList(std::string_view caption);

// The menu texts: titles by menu-bar position once the "Language" popup is in place ("&File",
// "&Language", "&View", "&Help"), the "Quick configuration" submenu's title, and the item texts by
// command id (the generated language and quick-configuration items are file names and keep them).
struct MenuCaptions {
    std::array<std::string, kMenuBarPositions> titles;
    std::string quickConfigTitle;
    std::map<int, std::string> items;

    bool operator==(const MenuCaptions&) const = default;
};

MenuCaptions BuiltInMenuCaptions();
MenuCaptions ReadMenuCaptions(const ProfileFile& language);

} // namespace quillary
