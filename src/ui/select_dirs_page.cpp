#include "ui/select_dirs_page.h"

#include "res/controls.h"
#include "ui/model/tri_state_tree.h"

namespace quillary {

CSelectDirsPage::CSelectDirsPage(wxWindow* parent, WindowSurface& surface)
    : CTabPage(parent, kSelectDirsPage, surface), m_tree(std::make_unique<MemoryDirTree>()) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(Make(kIdDirTree), wxSizerFlags(1).Expand().Border(wxALL, kGap));
    sizer->Add(Make(kIdWithSubdirs), wxSizerFlags().Border(wxLEFT | wxRIGHT | wxBOTTOM, kGap));
    FinishLayout(sizer);
    RefreshTree(*m_tree);
}

} // namespace quillary
