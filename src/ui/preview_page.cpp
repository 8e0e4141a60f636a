#include "ui/preview_page.h"

#include "res/controls.h"

namespace quillary {

CPreviewPage::CPreviewPage(wxWindow* parent, WindowSurface& surface)
    : CTabPage(parent, kPreviewPage, surface) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    wxWindow* html = Make(kIdHtmlView);
    wxWindow* text = Make(kIdTextView);
    text->SetFont(wxFontInfo(8).Family(wxFONTFAMILY_TELETYPE));
    html->Hide();
    sizer->Add(html, wxSizerFlags(1).Expand().Border(wxLEFT | wxRIGHT, 2).Border(wxTOP | wxBOTTOM, 6));
    sizer->Add(text, wxSizerFlags(1).Expand().Border(wxLEFT | wxRIGHT, 2).Border(wxTOP | wxBOTTOM, 6));
    FinishLayout(sizer);
}

} // namespace quillary
