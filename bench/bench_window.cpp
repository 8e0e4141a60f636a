// bench_window: timings of the window's heavy steps, printed: opening a folder with 20,000 subfolders
// (the preview's figures come from bench_preview). Needs a display: bench/run.sh window runs it on a
// virtual X server.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/notebook.h>

#include "app/gui/quillary_dlg.h"
#include "gui/window_driver.h"
#include "platform/program_locations.h"
#include "res/controls.h"
#include "temporary_folder.h"
#include "ui/dir_tree_ctrl.h"

namespace quillary {
namespace {

using Clock = std::chrono::steady_clock;
using test::WindowCloser;

class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

bool Failed(const char* what) {
    std::fprintf(stderr, "bench_window: %s\n", what);
    return false;
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

DirTreeItem ChildNamed(const CDirTreeCtrl& tree, DirTreeItem parent, const std::string& name) {
    for (DirTreeItem child = tree.FirstChild(parent); child; child = tree.NextSibling(child)) {
        if (tree.Text(child) == name)
            return child;
    }
    return {};
}

bool OpeningAFolderWith20000Subfolders() {
    const bench::TemporaryFolder folder("quillary-bench-window-");
    const std::string root = std::filesystem::canonical(folder.Path().string()).string();
    for (int i = 0; i < 20000; ++i)
        std::filesystem::create_directories(root + "/many/sub" + std::to_string(i));
    auto* window = new CQuillaryDlg({}, ProgramLocations::InDirectory(root));
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
        if (!item)
            return Failed("the scratch folder is not in the tree");
    }
    auto start = Clock::now();
    tree.Expand(CDirTreeCtrl::ToId(item));
    wxTheApp->ProcessIdle();
    openParent = MillisecondsSince(start);
    const DirTreeItem many = ChildNamed(tree, item, "many");
    if (!many)
        return Failed("\"many\" is not in the tree");

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
    return true;
}

} // namespace
} // namespace quillary

int main(int argc, char** argv) {
    wxApp::SetInstance(new quillary::BenchApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "bench_window: cannot start wxWidgets (no display?)\n");
        return 1;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr);
    bool measured = false;
    {
        wxEventLoop loop;
        wxEventLoopActivator activator(&loop);
        measured = quillary::OpeningAFolderWith20000Subfolders();
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return measured ? 0 : 1;
}
