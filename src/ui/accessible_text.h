// The accessible name and description of a window as assistive technology (AT-SPI, screen readers)
// reads them. wxWidgets 3.2 has no accessibility API on GTK; its windows are GTK widgets whose ATK
// objects carry a name and a description, which these functions set and read. On Windows the window
// gets a wxAccessible that answers with them through Microsoft Active Accessibility, and they are read
// back through that API as a screen reader reads them.
#pragma once

#include <wx/string.h>
#include <wx/window.h>

namespace quillary {

// Sets both on the window's widget and on the widget that takes its focus (GTK), or on the window's
// accessible object (Windows). Does nothing where neither is available.
void SetAccessibleText(wxWindow* window, const wxString& name, const wxString& description);

// What the window's focus widget (GTK) or the window's client object (Windows) reports, "" where
// neither is available.
wxString AccessibleName(wxWindow* window);
wxString AccessibleDescription(wxWindow* window);

} // namespace quillary
