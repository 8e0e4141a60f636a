// The folder tree through the real control: its root folders, clicks on check boxes, the space key,
// opening folders, restoring and collecting selections. (What assistive technology reads of it:
// accessibility_test.cpp.)
#include <wx/checkbox.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "tree_fixture.h"
#include "ui/accessible_text.h"
#include "ui/wx_string.h"

namespace quillary::test {
namespace {

// A first start selects the home folder (fit_test.cpp); a refreshed tree has only its root folders
// loaded: "/" alone on Linux; on Windows every drive ("c:" and "z:" under Wine), the floppy drives unread.
TEST_F(TreeTest, RefreshedHasTheRootFoldersLoadedAndNothingSelected) {
    m_tree->RefreshTree();
    const std::vector<RootFolder> roots = RootFolders();
    ASSERT_FALSE(roots.empty());
    DirTreeItem root = m_tree->FirstRoot();
    for (const RootFolder& expected : roots) {
        ASSERT_TRUE(root) << expected.text;
        EXPECT_EQ(m_tree->Text(root), expected.text);
        if (expected.readAtStart) { // its folders are there before it is opened
            EXPECT_TRUE(m_tree->FirstChild(root)) << expected.text;
        }
        root = m_tree->NextSibling(root);
    }
    EXPECT_FALSE(root);
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
    EXPECT_EQ(Collected(), (std::vector<std::string>{"2|" + Path("a"), "3|" + Path("c")}));
    // Every folder above them is partly checked.
    EXPECT_EQ(m_tree->State(m_tree->FirstRoot()), DirCheck::PartlyBelow);

    // A click on the text selects the folder and leaves the check alone (a real click: the native
    // tree of Windows selects on the system's message, not on wx's event).
    wxRect text;
    ASSERT_TRUE(m_tree->GetBoundingRect(c, text, true));
    wxUIActionSimulator mouse;
    mouse.MouseMove(m_tree->ClientToScreen(text.GetPosition() + wxPoint(2, text.height / 2)));
    mouse.MouseClick();
    EXPECT_TRUE(PumpUntil([&] { return m_tree->GetSelection() == c; }));
    EXPECT_EQ(StateOf(c), DirCheck::WithSubdirs);
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
    EXPECT_EQ(Collected(), (std::vector<std::string>{"3|" + Path("a/a1"), "3|" + Path("a/a2")}));

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
    const std::string selection = Path("saved.qls");
    m_window->SaveSelectionTo(selection);

    m_window->LoadSelectionFrom(selection);
    EXPECT_EQ(Collected(), before);
    // The restore opened folders on the way and selected them; the last one is read with its state.
    EXPECT_EQ(m_tree->SelectionDescription(), Path("c") + ": not checked, subfolders partly checked");
    EXPECT_EQ(StateOf(Folder("a")), DirCheck::Alone);
    EXPECT_EQ(StateOf(Folder("a/a1/a1x")), DirCheck::WithSubdirs);

    m_tree->RefreshTree();
    EXPECT_TRUE(Collected().empty());
    EXPECT_EQ(m_tree->SelectedPath(), "");
}

TEST(TreeStartup, TheRememberedSelectionIsRestoredWithItsStates) {
    ScratchDir folder;
    const std::string root = ProgramPath(folder.Path());
    std::filesystem::create_directories(folder.Path() / "x" / "y");
    WriteFile(folder.File("quillary.INI"), "[Settings]\n1032=1\n");
    WriteFile(folder.File("quillary.qls"), "3|" + Below(root, "x/y") + "\n");
    auto* window = MakeWindow(folder);
    WindowCloser closer{window};
    auto* tree = static_cast<CDirTreeCtrl*>(window->Surface().Window(kIdDirTree));
    EXPECT_EQ(tree->SelectionDescription(), Below(root, "x") + ": not checked, subfolders partly checked");
}

// The state words come from the language file, with the other captions.
TEST(TreeStartup, TheStatesAreReadInTheLanguageInUse) {
    ScratchDir folder;
    const std::string root = ProgramPath(folder.Path());
    std::filesystem::create_directories(folder.Path() / "x" / "y");
    std::filesystem::copy_file(std::string(QUILLARY_SOURCE_DIR) + "/res/lang/Deutsch.lng",
                               folder.File("Deutsch.lng"));
    WriteFile(folder.File("quillary.INI"), "[Settings]\n1032=1\nLanguage=Deutsch\n");
    WriteFile(folder.File("quillary.qls"), "3|" + Below(root, "x/y") + "\n");
    auto* window = MakeWindow(folder);
    WindowCloser closer{window};
    auto* tree = static_cast<CDirTreeCtrl*>(window->Surface().Window(kIdDirTree));
    EXPECT_EQ(ToUtf8(tree->SelectionDescription()),
              Below(root, "x") + ": nicht ausgewählt, Unterverzeichnisse teilweise ausgewählt");
    EXPECT_EQ(AccessibleDescription(tree), tree->SelectionDescription());
    tree->SetCheckStateWords({"", "", "", "teilweise"});
    EXPECT_EQ(ToUtf8(AccessibleDescription(tree)), Below(root, "x") + ": teilweise");
    tree->SetCheckStateWords({"keins"}); // words a file leaves out stay English
    EXPECT_EQ(ToUtf8(tree->SelectionDescription()),
              Below(root, "x") + ": not checked, subfolders partly checked");
}

} // namespace
} // namespace quillary::test
