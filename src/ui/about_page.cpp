#include "ui/about_page.h"

#include <wx/hyperlink.h>
#include <wx/stattext.h>

#include "res/controls.h"

namespace quillary {

CAboutPage::CAboutPage(wxWindow* parent, WindowSurface& surface, std::function<void()> openHomePage)
    : CTabPage(parent, kAboutPage, surface) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->AddStretchSpacer(1);
    wxWindow* name = Make(kIdProductName);
    name->SetFont(name->GetFont().Scaled(2.0f).Bold());
    // GTK reports the label's size for its old font until it is drawn: measure with the new one.
    name->SetMinSize(name->GetTextExtent(name->GetLabel()) + wxSize(4, 4));
    sizer->Add(name, wxSizerFlags().CenterHorizontal().Border(wxALL, kGap * 2));
    sizer->Add(Make(kIdVersionLine), wxSizerFlags().CenterHorizontal().Border(wxALL, kGap));
    sizer->Add(Make(kIdRightsLine), wxSizerFlags().CenterHorizontal().Border(wxALL, kGap));
    auto* home = new wxBoxSizer(wxHORIZONTAL);
    home->Add(Make(kIdHomePageLabel), wxSizerFlags().CenterVertical().Border(wxRIGHT, kGap));
    wxWindow* link = Make(kIdHomePageLink);
    home->Add(link, wxSizerFlags().CenterVertical());
    sizer->Add(home, wxSizerFlags().CenterHorizontal().Border(wxALL, kGap * 2));
    sizer->AddStretchSpacer(2);
    FinishLayout(sizer);
    link->Bind(wxEVT_HYPERLINK, [openHomePage](wxHyperlinkEvent&) { openHomePage(); });
}

} // namespace quillary
