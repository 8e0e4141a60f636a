#include <wx/menu.h>
#include <wx/notebook.h>

#include "gui_test_support.h"
#include "res/menus.h"

namespace quillary::test {
namespace {

TEST(Startup, WithNoFilesBesideTheProgramTheGeneratedMenusAreThereButEmpty) {
    ScratchFolder folder;
    auto* window = new CQuillaryDlg(Words({}), ProgramLocations::InDirectory(folder.Path()));
    WindowCloser closer{window};
    EXPECT_EQ(window->GetTitle(), "Quillary v0.7");
    wxMenuBar* bar = window->GetMenuBar();
    ASSERT_EQ(bar->GetMenuCount(), 4u);
    EXPECT_EQ(bar->GetMenuLabel(1), "&Language");
    EXPECT_EQ(bar->GetMenu(1)->GetMenuItemCount(), 0u);
    wxMenuItem* quick = bar->GetMenu(0)->FindItemByPosition(kQuickConfigMenuPosition);
    ASSERT_TRUE(quick->IsSubMenu());
    EXPECT_EQ(quick->GetItemLabel(), "&Quick configuration");
    EXPECT_EQ(quick->GetSubMenu()->GetMenuItemCount(), 0u);
    EXPECT_EQ(window->Tabs()->GetPageCount(), 5u);
}

} // namespace
} // namespace quillary::test
