// The accessible name and description of a window as assistive technology (AT-SPI, screen readers)
// reads them. wxWidgets 3.2 has no accessibility API on GTK; its windows are GTK widgets whose ATK
// objects carry a name and a description, which these functions set and read.
#pragma once

#include <wx/string.h>
#include <wx/window.h>

namespace quillary {

// Sets both on the window's widget and on the widget that takes its focus. Does nothing where ATK is
// not available.
void SetAccessibleText(wxWindow* window, const wxString& name, const wxString& description);

// What the window's focus widget reports, "" where ATK is not available.
wxString AccessibleName(wxWindow* window);
wxString AccessibleDescription(wxWindow* window);

} // namespace quillary
