// Timings of the window's heavy steps, printed for a person to read: opening a folder with 20,000
// subfolders, and streaming a 200,000-row preview. Runs only when QUILLARY_MEASURE is set.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <wx/notebook.h>

#include "gui_test_support.h"
#include "listing/output_type.h"
#include "res/controls.h"
#include "ui/dir_tree_ctrl.h"
#include "ui/preview_page.h"

namespace quillary::test {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool Measuring() {
    const char* value = std::getenv("QUILLARY_MEASURE");
    return value != nullptr && *value != '\0';
}

DirTreeItem ChildNamed(const CDirTreeCtrl& tree, DirTreeItem parent, const std::string& name) {
    for (DirTreeItem child = tree.FirstChild(parent); child; child = tree.NextSibling(child)) {
        if (tree.Text(child) == name)
            return child;
    }
    return {};
}

TEST(Measure, OpeningAFolderWith20000Subfolders) {
    if (!Measuring())
        GTEST_SKIP() << "QUILLARY_MEASURE is not set";
    ScratchDir folder;
    const std::string root = std::filesystem::canonical(folder.Path().string()).string();
    for (int i = 0; i < 20000; ++i)
        std::filesystem::create_directories(root + "/many/sub" + std::to_string(i));
    auto* window = new CQuillaryDlg(Words({}), ProgramLocations::InDirectory(root));
    WindowCloser closer{window};
    window->Show();
    auto& tree = *static_cast<CDirTreeCtrl*>(window->Surface().Window(kIdDirTree));

    // Down to the scratch folder; opening it loads "many"'s 20,000 children one level ahead.
    DirTreeItem item = tree.FirstRoot();
    std::string_view rest(root);
    double openParent = 0;
    while (!rest.empty()) {
        rest.remove_prefix(1);
        const std::string name(rest.substr(0, rest.find('/')));
        rest.remove_prefix(name.size());
        tree.Expand(CDirTreeCtrl::ToId(item));
        item = ChildNamed(tree, item, name);
        ASSERT_TRUE(item);
    }
    auto start = Clock::now();
    tree.Expand(CDirTreeCtrl::ToId(item));
    wxTheApp->ProcessIdle();
    openParent = MillisecondsSince(start);
    const DirTreeItem many = ChildNamed(tree, item, "many");
    ASSERT_TRUE(many);

    start = Clock::now();
    tree.Expand(CDirTreeCtrl::ToId(many));
    wxTheApp->ProcessIdle(); // the tree lays its items out
    const double openMany = MillisecondsSince(start);
    tree.Update();

    start = Clock::now();
    tree.ToggleItem(CDirTreeCtrl::ToId(many));
    const double toggle = MillisecondsSince(start);

    std::printf("opening the parent (20,000 children loaded, sorted): %.0f ms\n", openParent);
    std::printf("opening the folder (20,000 subfolders read one level ahead): %.0f ms\n", openMany);
    std::printf("toggling it with its 20,000 subfolders: %.0f ms\n", toggle);
}

// The longest time the event loop is away while a 200,000-row text listing streams into the preview:
// each turn below is one slice plus whatever GTK does with it (layout, painting).
TEST(Measure, StreamingA200000RowPreview) {
    if (!Measuring())
        GTEST_SKIP() << "QUILLARY_MEASURE is not set";
    ScratchDir folder;
    std::string listing;
    for (int row = 0; row < 200000; ++row) {
        char line[128];
        std::snprintf(line, sizeof line, "file_%06d.txt%*s%12d 2026-12-08 11:14 -a--\n", row, 40, "",
                      row * 7);
        listing += line;
    }
    WriteFile(folder.File("big.txt"), listing);
    auto* window = MakeWindow(folder);
    WindowCloser closer{window};
    window->Show();
    window->SelectTab(0);
    auto* preview = static_cast<CPreviewPage*>(window->Tabs()->GetPage(3));
    window->Tabs()->ChangeSelection(3);
    preview->Prepare(kOutputText);
    wxYield();

    const auto start = Clock::now();
    preview->ShowListing(folder.File("big.txt"));
    double longest = MillisecondsSince(start);
    int turns = 1;
    while (preview->IsStreaming()) {
        const auto turn = Clock::now();
        wxYield(); // native events, then one idle turn: one slice
        longest = std::max(longest, MillisecondsSince(turn));
        ++turns;
    }
    const double total = MillisecondsSince(start);
    EXPECT_EQ(preview->TextView().GetNumberOfLines(), 200001);
    std::printf("200,000-row preview (%zu bytes): %.0f ms in all, %d turns, longest turn %.0f ms\n",
                listing.size(), total, turns, longest);
}

} // namespace
} // namespace quillary::test
