// "Options 1": the columns of the listing (group "Include:") and how files are filtered, sorted and
// formatted (group "Options").
#pragma once

#include "ui/tab_page.h"

namespace quillary {

class COptions1Page : public CTabPage {
public:
    COptions1Page(wxWindow* parent, WindowSurface& surface);

    // What the page does before its values are used: each column width becomes a number in its
    // range ("300" becomes 260, "12a" the width's initial value). Also when a width edit loses focus.
    void StoreValues();

private:
    void OnRuleInput(wxCommandEvent& event);
    wxSizer* MakeIncludeGroup();
    wxSizer* MakeOptionsGroup();
};

} // namespace quillary
