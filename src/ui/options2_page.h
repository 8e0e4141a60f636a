// "Options 2": the output type, the HTML options with the colour and font buttons, the HTML quick
// preview (whose samples hold the HTML appearance) and the CSV options.
#pragma once

#include "ui/tab_page.h"

namespace quillary {

class COptions2Page : public CTabPage {
public:
    COptions2Page(wxWindow* parent, WindowSurface& surface);

private:
    wxSizer* MakeOutputGroup();
    wxSizer* MakeHtmlGroup();
    wxSizer* MakeQuickPreviewGroup();
    wxSizer* MakeCsvGroup();
};

} // namespace quillary
