#include "ui/select_dirs_page.h"

#include <wx/wupdlock.h>

#include "persistence/selection_file.h"
#include "res/controls.h"

namespace quillary {

CSelectDirsPage::CSelectDirsPage(wxWindow* parent, WindowSurface& surface)
    : CTabPage(parent, kSelectDirsPage, surface) {
    m_tree = new CDirTreeCtrl(this, kIdDirTree, [this] { return m_surface.CheckState(kIdWithSubdirs) != 0; });
    m_surface.Add(kIdDirTree, ControlKind::Tree, m_tree);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_tree, wxSizerFlags(1).Expand().Border(wxALL, kGap));
    sizer->Add(Make(kIdWithSubdirs), wxSizerFlags().Border(wxLEFT | wxRIGHT | wxBOTTOM, kGap));
    FinishLayout(sizer);
}

void CSelectDirsPage::RefreshTree() {
    m_tree->RefreshTree();
}

RestoreReport CSelectDirsPage::LoadSelection(const std::string& path) {
    wxWindowUpdateLocker noUpdates(m_tree);
    m_tree->RefreshTree();
    return quillary::LoadSelection(*m_tree, path);
}

} // namespace quillary
