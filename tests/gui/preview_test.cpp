// The Preview page shows what "Save listing" writes, made by a run through the window whenever the page
// is shown; and a listing saved from folders ticked in the tree equals quillary-cli's listing of the
// same selection.
#include <cstdio>
#include <filesystem>

#include <wx/notebook.h>
#include <wx/radiobut.h>

#include "gui_test_support.h"
#include "model/tri_state_tree.h"
#include "res/controls.h"
#include "support/environment.h"
#include "support/run_program.h"
#include "ui/dir_tree_ctrl.h"
#include "ui/preview_page.h"
#include "ui/text_preview_view.h"

namespace quillary::test {
namespace {

constexpr int kPreviewTab = 3;

class PreviewTest : public testing::Test {
protected:
    void SetUp() override {
        SetEnvironment("SOURCE_DATE_EPOCH", "1700000000");
        SetEnvironment("TZ", "UTC");
        m_root = ProgramPath(m_folder.Path());
        std::filesystem::create_directories(m_folder.Path() / "data" / "sub");
        WriteFile(m_folder.File("data/notes one.txt"), "hello");
        WriteFile(m_folder.File("data/sub/deep.bin"), "0123456789");
        m_window = new CQuillaryDlg(Words({}), ProgramLocations::InDirectory(m_root));
        m_closer.window = m_window;
        m_window->Show();
        m_tree = static_cast<CDirTreeCtrl*>(m_window->Surface().Window(kIdDirTree));
        m_preview = static_cast<CPreviewPage*>(m_window->Tabs()->GetPage(kPreviewTab));
    }
    void TearDown() override { UnsetEnvironment("SOURCE_DATE_EPOCH"); }

    // Ticks the folder with its subfolders, as a click on its check box does.
    void Tick(const std::string& path) {
        m_window->Surface().SetCheckState(kIdWithSubdirs, 1);
        ASSERT_TRUE(RestoreCheck(*m_tree, path, true));
    }

    void ChooseOutput(int radioId) { test::ChooseOutput(*m_window, radioId); }

    bool RunOver() { return !m_window->IsRunActive() && m_window->IsIdle(); }

    // The data folder's listing in the output type of `radioId`, shown on the Preview page in the
    // browser, whole (no cut note) and instead of the text view.
    void ShowWholeInTheBrowser(int radioId) {
        Tick(Below(m_root, "data"));
        ChooseOutput(radioId);
        m_window->SelectTab(kPreviewTab);
        ASSERT_TRUE(PumpUntil([&] {
            return RunOver() && m_preview->HtmlView().LoadedUrl().EndsWith("ql_tmp.html");
        })) << m_preview->HtmlView().LoadedUrl();
        EXPECT_TRUE(m_preview->HtmlView().IsShown());
        EXPECT_FALSE(m_preview->TextView().IsShown());
        EXPECT_FALSE(m_preview->CutNote().IsShown());
    }

    ScratchDir m_folder;
    std::string m_root;
    CQuillaryDlg* m_window = nullptr;
    WindowCloser m_closer{nullptr};
    CDirTreeCtrl* m_tree = nullptr;
    CPreviewPage* m_preview = nullptr;
};

TEST_F(PreviewTest, ShowingThePageShowsTheTextListing) {
    Tick(Below(m_root, "data"));
    m_window->SelectTab(kPreviewTab);
    ASSERT_TRUE(PumpUntil([&] { return RunOver() && m_preview->TextView().Lines().LineCount() > 0; }));
    const std::string& text = m_preview->TextView().Lines().Text();
    EXPECT_TRUE(m_preview->TextView().IsShown());
    EXPECT_FALSE(m_preview->HtmlView().IsShown());
    EXPECT_FALSE(m_preview->CutNote().IsShown());
    EXPECT_NE(text.find("notes one.txt"), std::string::npos) << text;
    EXPECT_NE(text.find("deep.bin"), std::string::npos) << text;
    EXPECT_EQ(text, ReadFile(m_folder.File("~~ql_tmp.txt")));
    // The view fills the page less 2 pixels left and right and 6 top and bottom.
    const wxRect view = m_preview->TextView().GetRect();
    const wxSize page = m_preview->GetClientSize();
    EXPECT_EQ(view, wxRect(2, 6, page.x - 4, page.y - 12));
}

TEST_F(PreviewTest, AnHtmlListingIsShownInTheBrowser) {
    if (RunningUnderWine())
        GTEST_SKIP() << "Wine has no HTML engine (no wine-gecko in Debian): the browser cannot show pages";
    ASSERT_NO_FATAL_FAILURE(ShowWholeInTheBrowser(kIdOutputHtml));
    const wxString text = m_preview->HtmlView().PageText();
    EXPECT_NE(text.Find("notes one.txt"), wxNOT_FOUND) << text;

    // "app:" addresses are commands, not pages.
    wxString command;
    CHtmlCtrl html(m_preview, wxID_ANY, [&command](const wxString& rest) { command = rest; });
    html.LoadUrl("APP:refresh");
    ASSERT_TRUE(PumpUntil([&] { return !command.empty(); }));
    EXPECT_EQ(command, "refresh");
}

// The browsable listing draws only the rows in view itself: the whole file is opened, never cut. (Its
// text cannot be read here: the page's security policy refuses eval, which the web view's scripts
// from outside go through.)
TEST_F(PreviewTest, ABrowsableListingIsOpenedWhole) {
    if (RunningUnderWine())
        GTEST_SKIP() << "Wine has no HTML engine (no wine-gecko in Debian): the browser cannot show pages";
    ASSERT_NO_FATAL_FAILURE(ShowWholeInTheBrowser(kIdOutputBrowsableHtml));
    EXPECT_FALSE(m_preview->OpenWholeButton().IsShown());
}

// A listing with more rows than the HTML preview shows: its first rows, the line saying how many more
// the file holds, and the button that opens the whole file.
TEST_F(PreviewTest, ABigHtmlListingIsShownCutToItsFirstRows) {
    if (RunningUnderWine())
        GTEST_SKIP() << "Wine has no HTML engine (no wine-gecko in Debian): the browser cannot show pages";
    std::filesystem::create_directories(Below(m_root, "big"));
    for (std::size_t file = 0; file <= kHtmlPreviewRows; ++file) {
        char name[32];
        std::snprintf(name, sizeof name, "big/f%05zu", file);
        WriteFile(m_folder.File(name), "");
    }
    Tick(Below(m_root, "big"));
    ChooseOutput(kIdOutputHtml);
    m_window->SelectTab(kPreviewTab);
    ASSERT_TRUE(
        PumpUntil([&] { return RunOver() && m_preview->HtmlView().LoadedUrl().EndsWith("ql_tmp.html"); }));
    EXPECT_TRUE(m_preview->CutNote().IsShown());
    EXPECT_TRUE(m_preview->OpenWholeButton().IsShown());
    // The listing's rows: the folder's and its 2,001 files'.
    EXPECT_EQ(m_preview->CutNote().GetLabel(),
              "The preview shows the first 2 000 of 2 002 rows; the file holds 2 more.");
    EXPECT_EQ(m_preview->OpenWholeButton().GetLabel(), "Open the whole listing in the browser");
    EXPECT_TRUE(m_preview->WholeListingUrl().StartsWith("file://"));
    EXPECT_TRUE(m_preview->WholeListingUrl().EndsWith("ql_tmp.html"));
    const wxString text = m_preview->HtmlView().PageText();
    EXPECT_NE(text.Find("f01998"), wxNOT_FOUND);
    EXPECT_EQ(text.Find("f01999"), wxNOT_FOUND);
    EXPECT_EQ(text.Find("f02000"), wxNOT_FOUND);

    // A small listing afterwards is shown whole, without the line.
    m_window->SelectTab(0);
    ASSERT_TRUE(RestoreCheck(*m_tree, Below(m_root, "big"), false));
    Tick(Below(m_root, "data"));
    m_window->SelectTab(kPreviewTab);
    ASSERT_TRUE(
        PumpUntil([&] { return RunOver() && m_preview->HtmlView().LoadedUrl().EndsWith("ql_tmp.html"); }));
    EXPECT_FALSE(m_preview->CutNote().IsShown());
}

// The text view is driven by the keyboard: scrolling, selecting lines, selecting all.
TEST_F(PreviewTest, TheTextViewScrollsAndSelectsWithTheKeyboard) {
    m_window->SelectTab(kPreviewTab);
    ASSERT_TRUE(PumpUntil([&] { return RunOver() && !m_preview->IsLoading(); }));
    CTextPreviewView& view = m_preview->TextView();
    std::string text;
    for (int line = 0; line < 1000; ++line)
        text += "line " + std::to_string(line) + "\n";
    view.SetLines(LineIndex(text));
    wxYield();
    const auto press = [&view](int key, int modifiers = wxMOD_NONE) {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = key;
        event.m_controlDown = (modifiers & wxMOD_CONTROL) != 0;
        event.m_shiftDown = (modifiers & wxMOD_SHIFT) != 0;
        event.SetEventObject(&view);
        view.ProcessWindowEvent(event);
    };
    press(WXK_PAGEDOWN);
    const std::size_t page = view.TopLine(); // the lines the view shows
    ASSERT_GT(page, 2u);
    press(WXK_HOME, wxMOD_CONTROL);
    struct Step {
        int key;
        int modifiers;
        std::size_t top;      // the first line shown after the key
        std::size_t selFirst; // the selection after it
        std::size_t selLast;
    };
    const Step steps[] = {
        {WXK_DOWN, wxMOD_NONE, 1, 0, 0},
        {WXK_UP, wxMOD_NONE, 0, 0, 0},
        {WXK_UP, wxMOD_NONE, 0, 0, 0}, // stays at the top
        {WXK_END, wxMOD_CONTROL, 1000 - page, 0, 0},
        {WXK_DOWN, wxMOD_NONE, 1000 - page, 0, 0}, // the last line stays at the bottom
        {WXK_HOME, wxMOD_CONTROL, 0, 0, 0},
        {WXK_DOWN, wxMOD_SHIFT, 0, 0, 2},
        {WXK_DOWN, wxMOD_SHIFT, 0, 0, 3},
        {WXK_UP, wxMOD_SHIFT, 0, 0, 2},
        {'A', wxMOD_CONTROL, 0, 0, 1000},
    };
    for (const Step& step : steps) {
        press(step.key, step.modifiers);
        EXPECT_EQ(view.TopLine(), step.top) << step.key;
        EXPECT_EQ(view.SelectionFirst(), step.selFirst) << step.key;
        EXPECT_EQ(view.SelectionLast(), step.selLast) << step.key;
    }
    EXPECT_EQ(view.Lines().Lines(view.SelectionFirst(), view.SelectionLast()), text);
}

TEST_F(PreviewTest, TickedFoldersSaveTheListingQuillaryCliWritesForTheSameSelection) {
    Tick(Below(m_root, "data/sub"));
    m_window->Surface().SetCheckState(kIdWithSubdirs, 0);
    ASSERT_TRUE(RestoreCheck(*m_tree, Below(m_root, "data"), false));
    m_window->SaveListingTo(m_folder.File("window.txt"));
    ASSERT_TRUE(PumpUntil([&] { return RunOver() && std::filesystem::exists(m_folder.File("window.txt")); }));
    m_window->SaveSelectionTo(m_folder.File("ticked.qls"));
    m_window->SaveSettingsTo(m_folder.File("options.qlc"));

    const ProgramResult cli = RunProgram(
        QUILLARY_CLI_PATH,
        {"/o", m_folder.File("options.qlc"), "/l", m_folder.File("ticked.qls"), m_folder.File("cli.txt")},
        m_folder.Path());
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    const std::string listing = ReadFile(m_folder.File("window.txt"));
    EXPECT_NE(listing.find("deep.bin"), std::string::npos);
    EXPECT_EQ(listing, ReadFile(m_folder.File("cli.txt")));
}

} // namespace
} // namespace quillary::test
