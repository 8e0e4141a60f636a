// The busy state while a run is active, driven with real key presses.
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/uiaction.h>

#include "gui_test_support.h"
#include "res/controls.h"

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
    PumpUntil([] { return true; });
}

TEST(Busy, AcceleratorsSwitchTabsWhileIdle) {
    ScratchDir dir;
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    FocusForKeys(window);
    wxUIActionSimulator sim;
    sim.Char(WXK_F12);
    EXPECT_TRUE(PumpUntil([window] { return window->Tabs()->GetSelection() == 3; }));
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
    FocusForKeys(window);
    window->SelectTab(1);
    WindowSurface& surface = window->Surface();

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
    EXPECT_EQ(window->GetTitle(), "Quillary v0.7, Dirs:1, Files:2"); // the title keeps the last progress
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
    EXPECT_NE(window->ProblemsText().find("cannot read folder '/x/locked': Permission denied"),
              std::string::npos)
        << window->ProblemsText();
    EXPECT_TRUE(window->IsIdle());
}

} // namespace
} // namespace quillary::test
