// How the menu table's command ids become wx menu item ids.
#pragma once

namespace quillary {

// The wx item id of a menu command: wx ids stay below 0x7FFF, so the command ids above that (32771,
// 57670, ...) are shifted down into a free range. The language files keep naming items by command ids.
int MenuItemId(int commandId);

} // namespace quillary
