// "Options 1": the columns of the listing (group "Include:") and how files are filtered, sorted and
// formatted (group "Options").
#pragma once

#include <vector>

#include "ui/tab_page.h"

namespace quillary {

class COptions1Page : public CTabPage {
public:
    COptions1Page(wxWindow* parent, WindowSurface& surface);

    void CaptionsChanged() override;

private:
    wxSizer* MakeIncludeGroup();
    wxSizer* MakeOptionsGroup();
    void AlignIncludeColumns();

    std::vector<wxWindow*> m_includeChecks;
};

} // namespace quillary
