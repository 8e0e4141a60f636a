// The folder tree through the real control: clicks on check boxes, the space key, opening folders,
// restoring and collecting selections, and what assistive technology reads.
#include <filesystem>

#include <wx/checkbox.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "gui_test_support.h"
#include "model/tri_state_tree.h"
#include "res/controls.h"
#include "ui/accessible_text.h"
#include "ui/dir_tree_ctrl.h"
#include "ui/wx_string.h"

namespace quillary::test {
namespace {

// A window over a scratch folder holding the folders
//   a/ (a1/ (a1x/), a2/)   b/   c/ (c1/)
class TreeTest : public testing::Test {
protected:
    void SetUp() override {
        m_root = std::filesystem::canonical(m_folder.Path()).string();
        for (const char* dir : {"a/a1/a1x", "a/a2", "b", "c/c1"})
            std::filesystem::create_directories(m_root + "/" + dir);
        m_window = new CQuillaryDlg(Words({}), ProgramLocations::InDirectory(m_root));
        m_closer.window = m_window;
        m_window->Show();
        m_tree = static_cast<CDirTreeCtrl*>(m_window->Surface().Window(kIdDirTree));
    }

    // Opens the folders down to `path` as a user would, and returns its item.
    wxTreeItemId Open(const std::string& path) {
        DirTreeItem item = m_tree->FirstRoot();
        std::string_view rest(path);
        while (!rest.empty()) {
            rest.remove_prefix(1);
            const std::string name(rest.substr(0, rest.find('/')));
            rest.remove_prefix(name.size());
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

    wxTreeItemId Folder(const std::string& relative) { return Open(m_root + "/" + relative); }
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

// A first start selects the home folder (fit_test.cpp); a refreshed tree has only its root loaded.
TEST_F(TreeTest, RefreshedHasTheOneRootLoadedAndNothingSelected) {
    m_tree->RefreshTree();
    const DirTreeItem root = m_tree->FirstRoot();
    ASSERT_TRUE(root);
    EXPECT_EQ(m_tree->Text(root), "/");
    EXPECT_FALSE(m_tree->NextSibling(root));
    EXPECT_TRUE(m_tree->FirstChild(root)); // its folders are there before it is opened
    EXPECT_FALSE(m_tree->GetSelection().IsOk() && m_tree->GetSelection() != m_tree->GetRootItem());
    EXPECT_EQ(m_tree->SelectedPath(), "");
    PressSpace(); // nothing selected: nothing happens
    EXPECT_TRUE(Collected().empty());
}

TEST_F(TreeTest, FoldersTheExcludeMaskNamesAreGreyed) {
    const wxTreeItemId a1 = Folder("a/a1");
    const wxTreeItemId b = Folder("b");
    auto greyed = [&](const wxTreeItemId& item) {
        return m_tree->GetItemTextColour(item) == wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT);
    };
    EXPECT_FALSE(greyed(a1));
    // Typing sends the edit's text event; a settings file sets the text without one.
    auto* edit = static_cast<wxTextCtrl*>(m_window->Surface().Window(kIdExcludeMask));
    edit->SetValue("A1;*x");
    EXPECT_TRUE(greyed(a1)); // names ignore case, as in the scan
    EXPECT_TRUE(greyed(Folder("a/a1/a1x")));
    EXPECT_FALSE(greyed(b));
    m_tree->RefreshTree(); // folders added again are greyed as they come
    EXPECT_TRUE(greyed(Folder("a/a1")));
    edit->SetValue("");
    EXPECT_FALSE(greyed(Folder("a/a1")));
}

TEST_F(TreeTest, ARealClickOnTheCheckBoxTogglesWithoutSelecting) {
    const wxTreeItemId b = Folder("b");
    const wxTreeItemId a = Folder("a");
    m_tree->SelectItem(a);
    const wxPoint point = CheckBoxPoint(b);
    wxUIActionSimulator mouse;
    mouse.MouseMove(m_tree->ClientToScreen(point));
    mouse.MouseClick();
    ASSERT_TRUE(PumpUntil([&] { return StateOf(b) != DirCheck::Unchecked; }));
    EXPECT_EQ(StateOf(b), DirCheck::WithSubdirs); // no subfolders: with them in both modes
    EXPECT_EQ(m_tree->GetSelection(), a);
}

TEST_F(TreeTest, ClicksFollowSelectWithSubdirectories) {
    const wxTreeItemId a = Folder("a");
    const wxTreeItemId c = Folder("c");
    SetWithSubdirs(false);
    Click(CheckBoxPoint(a));
    EXPECT_EQ(StateOf(a), DirCheck::Alone);
    SetWithSubdirs(true);
    Click(CheckBoxPoint(c));
    EXPECT_EQ(StateOf(c), DirCheck::WithSubdirs);
    EXPECT_EQ(Collected(), (std::vector<std::string>{"2|" + m_root + "/a", "3|" + m_root + "/c"}));
    // Every folder above them is partly checked.
    EXPECT_EQ(m_tree->State(m_tree->FirstRoot()), DirCheck::PartlyBelow);

    // A click on the text or the expand button leaves the check alone.
    wxRect text;
    ASSERT_TRUE(m_tree->GetBoundingRect(c, text, true));
    Click(text.GetPosition() + wxPoint(2, text.height / 2));
    EXPECT_EQ(StateOf(c), DirCheck::WithSubdirs);
    EXPECT_EQ(m_tree->GetSelection(), c);
}

TEST_F(TreeTest, SpaceTogglesTheSelectedFolderAndOpeningHandsDownTheState) {
    const wxTreeItemId a = Folder("a");
    SetWithSubdirs(true);
    m_tree->SelectItem(a);
    PressSpace();
    EXPECT_EQ(StateOf(a), DirCheck::WithSubdirs);
    // a1's subfolder was loaded one level ahead but not yet given the state; opening a1 does it.
    const wxTreeItemId a1x = Folder("a/a1/a1x");
    EXPECT_EQ(StateOf(a1x), DirCheck::WithSubdirs);

    // Unchecked alone, a keeps its checked subfolders and becomes partly checked.
    SetWithSubdirs(false);
    m_tree->SelectItem(a);
    PressSpace();
    EXPECT_EQ(StateOf(a), DirCheck::PartlyBelow);
    EXPECT_EQ(Collected(), (std::vector<std::string>{"3|" + m_root + "/a/a1", "3|" + m_root + "/a/a2"}));

    // A folder checked alone hands nothing down when it is opened.
    const wxTreeItemId c = Folder("c");
    m_tree->SelectItem(c);
    PressSpace();
    EXPECT_EQ(StateOf(c), DirCheck::Alone);
    EXPECT_EQ(StateOf(Folder("c/c1")), DirCheck::Unchecked);
}

TEST_F(TreeTest, ASavedSelectionComesBackAndRefreshClearsIt) {
    SetWithSubdirs(false);
    Click(CheckBoxPoint(Folder("a")));
    SetWithSubdirs(true);
    Click(CheckBoxPoint(Folder("a/a1")));
    Click(CheckBoxPoint(Folder("c/c1")));
    const std::vector<std::string> before = Collected();
    ASSERT_EQ(before.size(), 3u);
    const std::string selection = m_root + "/saved.qls";
    m_window->SaveSelectionTo(selection);

    m_window->LoadSelectionFrom(selection);
    EXPECT_EQ(Collected(), before);
    // The restore opened folders on the way and selected them; the last one is read with its state.
    EXPECT_EQ(AccessibleDescription(m_tree), m_root + "/c: not checked, subfolders partly checked");
    EXPECT_EQ(StateOf(Folder("a")), DirCheck::Alone);
    EXPECT_EQ(StateOf(Folder("a/a1/a1x")), DirCheck::WithSubdirs);

    m_tree->RefreshTree();
    EXPECT_TRUE(Collected().empty());
    EXPECT_EQ(m_tree->SelectedPath(), "");
}

TEST_F(TreeTest, AssistiveTechnologyReadsTheSelectedFolderAndItsState) {
    const wxTreeItemId b = Folder("b");
    m_tree->SelectItem(b);
    EXPECT_EQ(AccessibleName(m_tree), m_root + "/b");
    EXPECT_EQ(AccessibleDescription(m_tree), m_root + "/b: not checked");
    PressSpace();
    EXPECT_EQ(AccessibleDescription(m_tree), m_root + "/b: checked with subfolders");
    // A parent that follows its child is read anew as well.
    m_tree->SelectItem(Folder("c"));
    Click(CheckBoxPoint(Folder("c/c1")));
    EXPECT_EQ(AccessibleDescription(m_tree), m_root + "/c: not checked, subfolders partly checked");
}

} // namespace
} // namespace quillary::test

namespace quillary::test {
namespace {

TEST(TreeStartup, TheRememberedSelectionIsReadWithItsStates) {
    ScratchDir folder;
    const std::string root = std::filesystem::canonical(folder.Path()).string();
    std::filesystem::create_directories(root + "/x/y");
    WriteFile(folder.File("quillary.INI"), "[Settings]\n1032=1\n");
    WriteFile(folder.File("quillary.qls"), "3|" + root + "/x/y\n");
    auto* window = MakeWindow(folder);
    WindowCloser closer{window};
    auto* tree = static_cast<CDirTreeCtrl*>(window->Surface().Window(kIdDirTree));
    EXPECT_EQ(tree->SelectionDescription(), root + "/x: not checked, subfolders partly checked");
    EXPECT_EQ(AccessibleDescription(tree), tree->SelectionDescription());
    window->Show();
    wxYield();
    EXPECT_EQ(AccessibleDescription(tree), tree->SelectionDescription());
}

// The state words come from the language file, with the other captions.
TEST(TreeStartup, TheStatesAreReadInTheLanguageInUse) {
    ScratchDir folder;
    const std::string root = std::filesystem::canonical(folder.Path()).string();
    std::filesystem::create_directories(root + "/x/y");
    std::filesystem::copy_file(std::string(QUILLARY_SOURCE_DIR) + "/res/lang/Deutsch.lng",
                               folder.File("Deutsch.lng"));
    WriteFile(folder.File("quillary.INI"), "[Settings]\n1032=1\nLanguage=Deutsch\n");
    WriteFile(folder.File("quillary.qls"), "3|" + root + "/x/y\n");
    auto* window = MakeWindow(folder);
    WindowCloser closer{window};
    auto* tree = static_cast<CDirTreeCtrl*>(window->Surface().Window(kIdDirTree));
    EXPECT_EQ(ToUtf8(tree->SelectionDescription()),
              root + "/x: nicht ausgewählt, Unterverzeichnisse teilweise ausgewählt");
    EXPECT_EQ(AccessibleDescription(tree), tree->SelectionDescription());
    tree->SetCheckStateWords({"", "", "", "teilweise"});
    EXPECT_EQ(ToUtf8(AccessibleDescription(tree)), root + "/x: teilweise");
    tree->SetCheckStateWords({"keins"}); // words a file leaves out stay English
    EXPECT_EQ(ToUtf8(tree->SelectionDescription()), root + "/x: not checked, subfolders partly checked");
}

} // namespace
} // namespace quillary::test
