// "Preview": the place of the HTML view (1087) and the text view (1088), one of them shown at a time.
// Both fill the page. The preview runs that fill them are still to come.
#pragma once

#include "ui/tab_page.h"

namespace quillary {

class CPreviewPage : public CTabPage {
public:
    CPreviewPage(wxWindow* parent, WindowSurface& surface);
};

} // namespace quillary
