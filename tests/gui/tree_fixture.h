// The folder tree's tests' fixture: a window over a scratch folder, opened, clicked and read as a
// user would.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "gui_test_support.h"
#include "model/tri_state_tree.h"
#include "res/controls.h"
#include "ui/dir_tree_ctrl.h"

namespace quillary::test {

// A window over a scratch folder holding the folders
//   a/ (a1/ (a1x/), a2/)   b/   c/ (c1/)
class TreeTest : public testing::Test {
protected:
    void SetUp() override {
        m_root = ProgramPath(m_folder.Path());
        for (const char* dir : {"a/a1/a1x", "a/a2", "b", "c/c1"})
            std::filesystem::create_directories(m_folder.Path() / dir);
        m_window = new CQuillaryDlg(Words({}), ProgramLocations::InDirectory(m_root));
        m_closer.window = m_window;
        m_window->Show();
        m_tree = static_cast<CDirTreeCtrl*>(m_window->Surface().Window(kIdDirTree));
    }

    // Opens the folders down to `path` (as the program names it) as a user would, and returns its item.
    wxTreeItemId Open(const std::string& path) {
        std::size_t end = kNativePaths.FindSeparator(path);
        const std::string rootKey = path.substr(0, end);
        DirTreeItem item = m_tree->FirstRoot();
        while (item && kNativePaths.RootKeyFromText(m_tree->Text(item)) != rootKey)
            item = m_tree->NextSibling(item);
        EXPECT_TRUE(item) << "no root folder " << rootKey;
        while (item && end != std::string::npos) {
            const std::size_t next = kNativePaths.FindSeparator(path, end + 1);
            const std::string name = path.substr(end + 1, next == std::string::npos ? next : next - end - 1);
            end = next;
            m_tree->Expand(CDirTreeCtrl::ToId(item));
            DirTreeItem child = m_tree->FirstChild(item);
            while (child && m_tree->Text(child) != name)
                child = m_tree->NextSibling(child);
            EXPECT_TRUE(child) << name << " not found in " << path;
            if (!child)
                return {};
            item = child;
        }
        return CDirTreeCtrl::ToId(item);
    }

    wxTreeItemId Folder(const std::string& relative) { return Open(Below(m_root, relative)); }
    std::string Path(const std::string& relative) const { return Below(m_root, relative); }
    DirCheck StateOf(const wxTreeItemId& item) const { return m_tree->State(CDirTreeCtrl::ToItem(item)); }

    void SetWithSubdirs(bool on) { m_window->Surface().SetCheckState(kIdWithSubdirs, on ? 1 : 0); }

    // Where the item's check box is, in the tree's client coordinates.
    wxPoint CheckBoxPoint(const wxTreeItemId& item) {
        m_tree->EnsureVisible(item);
        wxTheApp->ProcessIdle(); // lets the tree compute its item positions
        wxRect text;
        EXPECT_TRUE(m_tree->GetBoundingRect(item, text, true));
        const int y = text.y + text.height / 2;
        for (int x = 0; x < text.x; ++x) {
            int flags = 0;
            if (m_tree->HitTest(wxPoint(x, y), flags) == item &&
                (flags & wxTREE_HITTEST_ONITEMSTATEICON) != 0)
                return wxPoint(x + 3, y);
        }
        ADD_FAILURE() << "no check box found";
        return {};
    }

    // A left click as the mouse sends it to the tree.
    void Click(const wxPoint& point) {
        wxMouseEvent down(wxEVT_LEFT_DOWN);
        down.SetPosition(point);
        down.SetEventObject(m_tree);
        m_tree->ProcessWindowEvent(down);
    }

    void PressSpace() {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = WXK_SPACE;
        key.SetEventObject(m_tree);
        m_tree->ProcessWindowEvent(key);
    }

    std::vector<std::string> Collected() const {
        std::vector<std::string> entries;
        CollectChecked(*m_tree, entries);
        return entries;
    }

    ScratchDir m_folder;
    std::string m_root;
    CQuillaryDlg* m_window = nullptr;
    WindowCloser m_closer{nullptr};
    CDirTreeCtrl* m_tree = nullptr;
};

} // namespace quillary::test
