// What assistive technology reads of the folder tree through the system's accessibility API (ATK on
// GTK, Active Accessibility on Windows): the selected folder and its state, read anew as the state
// changes.
#include "tree_fixture.h"
#include "ui/accessible_text.h"

namespace quillary::test {
namespace {

TEST_F(TreeTest, AssistiveTechnologyReadsTheSelectedFolderAndItsState) {
    const wxTreeItemId b = Folder("b");
    m_tree->SelectItem(b);
    EXPECT_EQ(AccessibleName(m_tree), Path("b"));
    EXPECT_EQ(AccessibleDescription(m_tree), Path("b") + ": not checked");
    PressSpace();
    EXPECT_EQ(AccessibleDescription(m_tree), Path("b") + ": checked with subfolders");
    // A parent that follows its child is read anew as well.
    m_tree->SelectItem(Folder("c"));
    Click(CheckBoxPoint(Folder("c/c1")));
    EXPECT_EQ(AccessibleDescription(m_tree), Path("c") + ": not checked, subfolders partly checked");
}

TEST(TreeStartup, TheRememberedSelectionIsReadWithItsStates) {
    ScratchDir folder;
    const std::string root = ProgramPath(folder.Path());
    std::filesystem::create_directories(folder.Path() / "x" / "y");
    WriteFile(folder.File("quillary.INI"), "[Settings]\n1032=1\n");
    WriteFile(folder.File("quillary.qls"), "3|" + Below(root, "x/y") + "\n");
    auto* window = MakeWindow(folder);
    WindowCloser closer{window};
    auto* tree = static_cast<CDirTreeCtrl*>(window->Surface().Window(kIdDirTree));
    ASSERT_EQ(tree->SelectionDescription(), Below(root, "x") + ": not checked, subfolders partly checked");
    EXPECT_EQ(AccessibleDescription(tree), tree->SelectionDescription());
    window->Show();
    wxYield();
    EXPECT_EQ(AccessibleDescription(tree), tree->SelectionDescription());
}

// The restore selects the last folder it opened; that folder is read with its state.
TEST_F(TreeTest, ARestoredSelectionIsReadWithTheLastFolderItOpened) {
    Click(CheckBoxPoint(Folder("c/c1")));
    const std::string selection = Path("saved.qls");
    m_window->SaveSelectionTo(selection);
    m_window->LoadSelectionFrom(selection);
    EXPECT_EQ(AccessibleDescription(m_tree), m_tree->SelectionDescription());
}

} // namespace
} // namespace quillary::test
