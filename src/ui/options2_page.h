// "Options 2": the output type, the HTML options with the colour and font buttons, the HTML quick
// preview (whose samples hold the HTML appearance) and the CSV options. The HTML options are enabled
// only for HTML output, the CSV options only for CSV; the colour and font buttons open the platform's
// dialogs and the samples they belong to repaint in the chosen colours and fonts.
#pragma once

#include <vector>

#include "ui/tab_page.h"

namespace quillary {

class COptions2Page : public CTabPage {
public:
    COptions2Page(wxWindow* parent, WindowSurface& surface);

private:
    void ChooseBackground(const std::vector<int>& samples);
    void ChooseFont(const std::vector<int>& samples);
    wxSizer* MakeOutputGroup();
    wxSizer* MakeHtmlGroup();
    wxSizer* MakeQuickPreviewGroup();
    wxSizer* MakeCsvGroup();
};

} // namespace quillary
