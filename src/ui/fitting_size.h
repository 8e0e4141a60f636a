// What the window's first-start size is measured from: the captions in use as a language (to return
// to them after measuring another language), the width the tab control needs to show every tab, and
// where a tab's label is shown.
#pragma once

#include <cstddef>

#include <wx/gdicmn.h>

#include "model/control_surface.h"
#include "persistence/profile_file.h"

class wxNotebook;

namespace quillary {

// The captions, list items and hints of the surface's controls as a language file holds them, so that
// applying it gives the controls back their texts.
ProfileFile CaptionsAsLanguage(const ControlSurface& surface);

// The width at which the tab control shows all of its tabs side by side, without scroll arrows; 0
// where the platform cannot tell.
int TabStripWidth(wxNotebook* tabs);

// Where the label of tab `index` is shown, in the tab control's coordinates; empty when the label is
// scrolled out of the strip or the platform cannot tell.
wxRect TabLabelRect(wxNotebook* tabs, std::size_t index);

} // namespace quillary
