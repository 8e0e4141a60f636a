// The tri-state folder tree of the "Select directories" page: a wxTreeCtrl whose items are the folders
// of the disk below one root "/", each with a check box of four states. It implements DirTreeAccess, so
// the rules of the tree (tri_state_tree.h: toggling, expansion, restoring and collecting a selection)
// run on its real items; this class only draws, loads, and turns clicks and keys into those rules.
//
// Folders are read one level ahead of what is visible: opening a folder loads its subfolders'
// subfolders, so that each visible item knows whether it has an expand button (a folder whose
// subfolders are not read yet, as on the way to a restored path, shows one until it is opened). A click on an
// item's check box and the space key toggle it without selecting it, with or without its subfolders as the
// page's "Select with subdirectories" box says.
//
// For assistive technology the tree's accessible name and description follow the selected item and its
// check state ("/home/ann" and "/home/ann: checked with subfolders"): the generic tree control exposes
// no items of its own.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <wx/treectrl.h>

#include "model/tree_access.h"

namespace quillary {

// What the check states of a folder are called for a screen reader ("checked with subfolders"): the words for
// the four check states, in the order of DirCheck (not checked, with subfolders, without subfolders, partly
// below), in English.
std::vector<std::string> BuiltInCheckStateWords();

class CDirTreeCtrl final : public wxTreeCtrl, public DirTreeAccess {
public:
    // `withSubdirs` reads the "Select with subdirectories" box; it is asked at every toggle.
    CDirTreeCtrl(wxWindow* parent, int id, std::function<bool()> withSubdirs);
    ~CDirTreeCtrl() override;

    // Lists the root again with its subfolders: every check state is lost and no item is selected.
    void RefreshTree();
    // A click on the item's check box or the space key on it.
    void ToggleItem(const wxTreeItemId& item);
    // The selected item's folder ("/" for the root, "" for no selection) and what the tree's accessible
    // description says of it: "/home/ann: checked with subfolders".
    wxString SelectedPath() const;
    wxString SelectionDescription() const;
    // The check states' words in the language in use (BuiltInCheckStateWords' order); an empty or
    // missing word stays English.
    void SetCheckStateWords(std::vector<std::string> words);
    // Folders whose names `excluded` accepts are left out of listings found below a ticked folder: they
    // are shown greyed, every folder loaded now and each one added later.
    void ShowExcludedFolders(std::function<bool(std::string_view)> excluded);

    static DirTreeItem ToItem(const wxTreeItemId& id) { return DirTreeItem{id.GetID()}; }
    static wxTreeItemId ToId(DirTreeItem item) { return wxTreeItemId(item.id); }

    // DirTreeAccess over the control's items.
    DirTreeItem FirstRoot() const override;
    DirTreeItem FirstChild(DirTreeItem item) const override;
    DirTreeItem NextSibling(DirTreeItem item) const override;
    DirTreeItem Parent(DirTreeItem item) const override;
    std::string Text(DirTreeItem item) const override;
    DirCheck State(DirTreeItem item) const override;
    void SetState(DirTreeItem item, DirCheck state) override;
    bool IsExpanded(DirTreeItem item) const override;
    void SetExpanded(DirTreeItem item) override;
    bool ChildrenLoaded(DirTreeItem item) const override;
    void SetChildrenLoaded(DirTreeItem item) override;
    DirTreeItem AppendItem(DirTreeItem parent, const std::string& text) override;
    void DeleteItem(DirTreeItem item) override;
    void DeleteAll() override;
    void SortChildren(DirTreeItem item) override;
    bool ReadSubdirectories(const std::string& dirPath, std::vector<std::string>& names) override;

    using wxTreeCtrl::AppendItem;
    using wxTreeCtrl::IsExpanded;
    using wxTreeCtrl::SortChildren;

protected:
    int OnCompareItems(const wxTreeItemId& first, const wxTreeItemId& second) override;

private:
    void MakeImages();
    const std::string& NameOf(const wxTreeItemId& id) const;
    void OnLeftDown(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnExpanding(wxTreeEvent& event);
    void OnCollapsing(wxTreeEvent& event);
    void OnSelectionChanged(wxTreeEvent& event);
    void UpdateAccessibleText();
    void ForgetSiblingPositions() const;
    void ShowIfExcluded(const wxTreeItemId& id);
    void ShowExcludedBelow(const wxTreeItemId& parent);

    // The real root of the wx control, hidden: the tree's root items ("/") are its children.
    wxTreeItemId m_hiddenRoot;
    std::function<bool()> m_withSubdirs;
    std::function<bool(std::string_view)> m_isExcluded;
    std::vector<std::string> m_stateWords = BuiltInCheckStateWords();
    // Set while SetExpanded opens an item whose expansion rule the caller has already run.
    bool m_expansionRuleDone = false;

    // The generic wxTreeCtrl finds an item's next sibling by searching its parent's children, which
    // makes walking many siblings quadratic. Walking by parent and cookie is constant time per step;
    // this remembers, per parent, the last child handed out and the cookie after it. Any deletion or
    // sort forgets it.
    struct SiblingPosition {
        void* item = nullptr;
        wxTreeItemIdValue cookie = nullptr;
    };
    mutable std::unordered_map<void*, SiblingPosition> m_siblingPositions;
};

} // namespace quillary
