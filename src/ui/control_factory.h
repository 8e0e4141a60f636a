// Creates the window for one entry of the control table (res/controls.h) with its numeric id, caption,
// initial state, items, length limit and range, and registers it with the control surface.
#pragma once

#include <wx/window.h>

#include "ui/window_surface.h"

namespace quillary {

// `parent` is the page, or the static box of the group the control sits in. Radio buttons: the first
// one created on a page (`startsGroup`) opens the group. Returns null for an id that is not in the table.
wxWindow* CreateTableControl(wxWindow* parent, int id, WindowSurface& surface, bool startsGroup = false);

// The caption of a table entry as wx shows it.
wxString TableCaption(int id);

} // namespace quillary
