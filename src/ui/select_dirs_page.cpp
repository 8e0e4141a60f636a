#include "ui/select_dirs_page.h"

#include <wx/wupdlock.h>

#include "model/tri_state_tree.h"
#include "persistence/selection_file.h"
#include "res/controls.h"

namespace quillary {

CSelectDirsPage::CSelectDirsPage(wxWindow* parent, WindowSurface& surface)
    : CTabPage(parent, kSelectDirsPage, surface) {
    m_tree = new CDirTreeCtrl(this, kIdDirTree, [this] { return m_surface.CheckState(kIdWithSubdirs) != 0; });
    m_surface.Add(kIdDirTree, ControlKind::Tree, m_tree);
    // The tree takes what the page has left and scrolls inside itself: its best size grows with every
    // folder opened, and a page sized by it would push "Select with subdirectories" out of view.
    m_tree->SetMinSize(wxSize(m_tree->FromDIP(200), m_tree->FromDIP(120)));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_tree, wxSizerFlags(1).Expand().Border(wxALL, kGap));
    sizer->Add(Make(kIdWithSubdirs), wxSizerFlags().Border(wxLEFT | wxRIGHT | wxBOTTOM, kGap));
    // The folders a listing leaves out, under the tree that shows them.
    auto* exclude = new wxFlexGridSizer(2, kGap / 2, kGap);
    exclude->AddGrowableCol(1);
    AddLabelled(exclude, this, kIdExcludeMaskLabel, kIdExcludeMask);
    exclude->AddSpacer(0);
    exclude->Add(Make(kIdSkipHiddenDirs));
    sizer->Add(exclude, wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT | wxBOTTOM, kGap));
    FinishLayout(sizer);
    m_surface.Window(kIdExcludeMask)->Bind(wxEVT_TEXT, [this](wxCommandEvent& event) {
        ShowExcludedFolders();
        event.Skip();
    });
    ShowExcludedFolders();
}

void CSelectDirsPage::ShowExcludedFolders() {
    m_excludeMask = NameMask(m_surface.Text(kIdExcludeMask));
    m_tree->ShowExcludedFolders([this](std::string_view name) { return m_excludeMask.Matches(name); });
}

void CSelectDirsPage::RefreshTree() {
    m_tree->RefreshTree();
}

bool CSelectDirsPage::OpenFolder(const std::string& path) {
    const DirTreeItem item = FindPath(*m_tree, path);
    if (!item)
        return false;
    const wxTreeItemId id = CDirTreeCtrl::ToId(item);
    m_tree->Expand(id);
    m_tree->SelectItem(id);
    m_tree->EnsureVisible(id);
    return true;
}

RestoreReport CSelectDirsPage::LoadSelection(const std::string& path) {
    wxWindowUpdateLocker noUpdates(m_tree);
    m_tree->RefreshTree();
    return quillary::LoadSelection(*m_tree, path);
}

} // namespace quillary
