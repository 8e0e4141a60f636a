// The base of the five pages of the main window's tab control: a panel that creates its controls from
// the control table and lays them out with sizers. When the window is smaller than a page's contents
// (the minimum window size with long captions), the page scrolls instead of clipping or overlapping.
#pragma once

#include <wx/panel.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>

#include "ui/window_surface.h"

namespace quillary {

class CTabPage : public wxScrolled<wxPanel> {
public:
    CTabPage(wxWindow* parent, int dialogId, WindowSurface& surface);

    int DialogId() const { return m_dialogId; }

    // The size at which every control of the page is in view without scrolling.
    wxSize FittingSize() const;

    // Captions changed (a language was applied): lay the page out again for the new text widths.
    virtual void CaptionsChanged();

protected:
    // Creates the control of the table with this id on `parent` (default: the page).
    wxWindow* Make(int id, wxWindow* parent = nullptr);
    // A group box from the table and the sizer for its contents; its controls go on GetStaticBox().
    wxStaticBoxSizer* MakeGroup(int id, int orient = wxVERTICAL);
    // A label and its field in a two-column grid: the label is created first, so that it labels the
    // field for assistive technology.
    void AddLabelled(wxFlexGridSizer* grid, wxWindow* parent, int labelId, int fieldId);
    // A column-width edit and its up-down, side by side.
    wxSizer* MakeWidthField(wxWindow* parent, int editId, int spinId);
    // Installs the page's sizer and sets the scroll rate.
    void FinishLayout(wxSizer* sizer);

    WindowSurface& m_surface;

private:
    int m_dialogId;
    bool m_radioGroupStarted = false;
};

// Space between controls and around groups, in pixels.
inline constexpr int kGap = 4;

} // namespace quillary
