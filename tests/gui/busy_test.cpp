// The busy state while a run is active, driven with real key presses.
#include <filesystem>

#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/uiaction.h>

#include "gui_test_support.h"
#include "model/tri_state_tree.h"
#include "res/controls.h"
#include "ui/dir_tree_ctrl.h"

namespace quillary::test {
namespace {

// Gives the window the keyboard: under a bare X server the pointer's window gets the keys.
void FocusForKeys(CQuillaryDlg* window) {
    window->Show();
    window->Raise();
    ASSERT_TRUE(PumpUntil([window] { return window->IsShownOnScreen(); }));
    wxUIActionSimulator sim;
    sim.MouseMove(window->GetScreenRect().GetPosition() + wxPoint(40, 80));
    window->Tabs()->SetFocus();
    ASSERT_TRUE(PumpUntil([window] {
        return wxWindow::FindFocus() == window->Tabs() &&
               window->GetScreenRect().Contains(wxGetMousePosition());
    }));
}

TEST(Busy, AcceleratorsSwitchTabsWhileIdle) {
    ScratchDir dir;
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    ASSERT_NO_FATAL_FAILURE(FocusForKeys(window));
    wxUIActionSimulator sim;
    sim.Char(WXK_F12);
    EXPECT_TRUE(PumpUntil([window] { return window->Tabs()->GetSelection() == 3; }));
    // Showing the Preview runs a listing, and tabs do not change while one runs.
    EXPECT_TRUE(PumpUntil([window] { return !window->IsRunActive() && window->IsIdle(); }));
    sim.Char(WXK_TAB, wxMOD_CONTROL);
    EXPECT_TRUE(PumpUntil([window] { return window->Tabs()->GetSelection() == 4; }));
    sim.Char(WXK_TAB, wxMOD_CONTROL);
    EXPECT_TRUE(PumpUntil([window] { return window->Tabs()->GetSelection() == 0; }));
    sim.Char(WXK_TAB, wxMOD_CONTROL | wxMOD_SHIFT);
    EXPECT_TRUE(PumpUntil([window] { return window->Tabs()->GetSelection() == 4; }));
}

TEST(Busy, RefusesTabChangesAndCloseAndEscapeCancelsTheRun) {
    ScratchDir dir;
    CQuillaryDlg* window = MakeWindow(dir, {}, Waiting());
    WindowCloser closer{window};
    ASSERT_NO_FATAL_FAILURE(FocusForKeys(window));
    window->SelectTab(1);
    WindowSurface& surface = window->Surface();
    surface.Window(kIdMask)->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() == surface.Window(kIdMask); }));

    window->SaveListingTo(dir.File("out.txt"));
    ASSERT_TRUE(PumpUntil([window] { return !window->IsIdle(); }));
    EXPECT_FALSE(surface.IsEnabled(kIdSaveListing));
    EXPECT_FALSE(surface.IsEnabled(kIdExit));
    EXPECT_TRUE(surface.IsEnabled(kIdCancel));
    wxMenuBar* bar = window->GetMenuBar();
    EXPECT_FALSE(bar->IsEnabledTop(0));
    EXPECT_FALSE(bar->IsEnabledTop(1));
    EXPECT_FALSE(bar->IsEnabledTop(2));
    EXPECT_TRUE(bar->IsEnabledTop(3));
    EXPECT_TRUE(PumpUntil([window] { return window->GetTitle() == "Quillary v0.7, Dirs:1, Files:2"; }));

    // Keys are handled in the order they were pressed: once Escape has cancelled the run, F12 and
    // Ctrl+Tab have had their turn.
    wxUIActionSimulator sim;
    sim.Char(WXK_F12);
    sim.Char(WXK_TAB, wxMOD_CONTROL);
    EXPECT_FALSE(window->Close()); // vetoed
    window->OnOK();                // Exit and Enter do nothing
    sim.Char(WXK_ESCAPE);
    ASSERT_TRUE(PumpUntil([window] { return !window->IsRunActive(); }));
    EXPECT_EQ(window->Tabs()->GetSelection(), 1);
    EXPECT_FALSE(window->IsBeingDeleted());
    EXPECT_TRUE(window->IsIdle());
    EXPECT_TRUE(surface.IsEnabled(kIdSaveListing));
    EXPECT_FALSE(surface.IsEnabled(kIdCancel));
    EXPECT_TRUE(bar->IsEnabledTop(0));
    // The title is the program's again, the status line tells what the run did, and the control that
    // had the focus has it again, so that Escape now closes the idle window.
    EXPECT_EQ(window->GetTitle(), "Quillary v0.7");
    EXPECT_EQ(window->ProblemsText(), "Listing cancelled: out.txt (Dirs: 0, Files: 0)");
    EXPECT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() == surface.Window(kIdMask); }));
    const wxWeakRef<wxWindow> alive(window); // the closed window is deleted while events are pumped
    sim.Char(WXK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&alive] { return !alive || alive->IsBeingDeleted(); }));
}

TEST(Busy, ALateCallOfAnOlderRunChangesNothing) {
    ScratchDir dir;
    CQuillaryDlg* window = MakeWindow(dir, {}, Waiting());
    WindowCloser closer{window};
    window->SaveListingTo(dir.File("out.txt"));
    ASSERT_TRUE(PumpUntil([window] { return !window->IsIdle(); }));
    window->OnRunBusy(0, false);
    window->OnRunFinished(0, RunResult{});
    EXPECT_FALSE(window->IsIdle());
    EXPECT_TRUE(window->IsRunActive());
    window->OnCancel();
    ASSERT_TRUE(PumpUntil([window] { return !window->IsRunActive(); }));
}

// A run that reports one unreadable folder.
class ProblemRunner final : public ListingRunner {
public:
    explicit ProblemRunner(ListingHost& host) : m_host(host) {}
    void Run(RunTarget target) override {
        RunResult result;
        result.status = RunStatus::Written;
        result.outputPath = target.outputPath;
        result.problems.push_back({ProblemKind::FolderUnreadable, "/x/locked", "Permission denied"});
        m_host.RunFinished(result);
    }
    void RequestCancel() override {}

private:
    ListingHost& m_host;
};

TEST(Busy, ProblemsOfARunAreShownWithoutStoppingAnything) {
    ScratchDir dir;
    CQuillaryDlg* window =
        MakeWindow(dir, {}, [](ListingHost& host) { return std::make_unique<ProblemRunner>(host); });
    WindowCloser closer{window};
    EXPECT_EQ(window->ProblemsText(), "");
    window->SaveListingTo(dir.File("out.txt"));
    ASSERT_TRUE(PumpUntil([window] { return !window->IsRunActive(); }));
    EXPECT_EQ(window->ProblemsText(),
              "Listing written: out.txt (Dirs: 0, Files: 0), Problems: 1 - cannot read "
              "folder '/x/locked': Permission denied");
    EXPECT_TRUE(window->IsIdle());
}

TEST(Busy, F5ReadsTheFoldersAgainAndShowsTheFirstPage) {
    ScratchDir dir;
    const std::string root = std::filesystem::canonical(dir.Path()).string();
    std::filesystem::create_directory(root + "/a");
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    auto& tree = *static_cast<CDirTreeCtrl*>(window->Surface().Window(kIdDirTree));
    ASSERT_TRUE(RestoreCheck(tree, root + "/a", true));
    // Made after the tree read the scratch folder: only reading the folders again shows it.
    std::filesystem::create_directory(root + "/b");
    EXPECT_FALSE(FindPath(tree, root + "/b"));
    window->SelectTab(2);
    ASSERT_NO_FATAL_FAILURE(FocusForKeys(window));

    wxUIActionSimulator sim;
    sim.Char(WXK_F5);
    ASSERT_TRUE(PumpUntil([window] { return window->Tabs()->GetSelection() == 0; }));
    std::vector<std::string> checked;
    CollectChecked(tree, checked);
    EXPECT_TRUE(checked.empty()); // the ticks go with the old tree
    EXPECT_TRUE(FindPath(tree, root + "/b"));
}

// The engine's own runner, with a host between it and the window that holds the run thread at its
// first progress line until the window cancels: a real listing run, cancelled at a known point.
class HeldEngineRunner final : public ListingRunner, private ListingHost {
public:
    HeldEngineRunner(ListingHost& window, std::atomic<bool>& held, std::atomic<int>& status)
        : m_window(window), m_held(held), m_status(status), m_engine(MakeEngineRunner(*this)) {}

    void Run(RunTarget target) override { m_engine->Run(std::move(target)); }
    void RequestCancel() override {
        m_engine->RequestCancel();
        m_release.store(true);
        m_release.notify_all();
    }

private:
    void ShowProgress(const RunProgress& progress) override {
        m_window.ShowProgress(progress);
        if (!m_held.exchange(true))
            m_release.wait(false);
    }
    void EnterBusyState() override { m_window.EnterBusyState(); }
    void LeaveBusyState() override { m_window.LeaveBusyState(); }
    void RunFinished(const RunResult& result) override {
        m_status.store(static_cast<int>(result.status));
        m_window.RunFinished(result);
    }

    ListingHost& m_window;
    std::atomic<bool>& m_held;
    std::atomic<int>& m_status;
    std::atomic<bool> m_release{false};
    std::unique_ptr<ListingRunner> m_engine;
};

TEST(Busy, EscapeCancelsARealListingRun) {
    ScratchDir dir;
    const std::string root = std::filesystem::canonical(dir.Path()).string();
    for (const char* name : {"a/one.txt", "a/sub/two.txt", "a/sub/three.txt"}) {
        std::filesystem::create_directories(std::filesystem::path(root + "/" + name).parent_path());
        WriteFile(root + "/" + name, "text");
    }
    std::atomic<bool> held{false};
    std::atomic<int> status{-1};
    CQuillaryDlg* window = MakeWindow(
        dir, {}, [&](ListingHost& host) { return std::make_unique<HeldEngineRunner>(host, held, status); });
    WindowCloser closer{window};
    auto& tree = *static_cast<CDirTreeCtrl*>(window->Surface().Window(kIdDirTree));
    ASSERT_TRUE(RestoreCheck(tree, root + "/a", true));
    ASSERT_NO_FATAL_FAILURE(FocusForKeys(window));

    window->SaveListingTo(dir.File("out.txt"));
    ASSERT_TRUE(PumpUntil([&] { return held.load() && !window->IsIdle(); }));
    EXPECT_TRUE(window->IsRunActive());
    EXPECT_TRUE(window->Surface().IsEnabled(kIdCancel));
    wxUIActionSimulator sim;
    sim.Char(WXK_ESCAPE);
    ASSERT_TRUE(PumpUntil([window] { return !window->IsRunActive(); }));
    EXPECT_EQ(status.load(), static_cast<int>(RunStatus::Cancelled));
    EXPECT_TRUE(window->IsIdle());
    EXPECT_FALSE(window->IsBeingDeleted()); // Escape cancelled the run; it did not close the window
    EXPECT_FALSE(window->Surface().IsEnabled(kIdCancel));
}

} // namespace
} // namespace quillary::test
