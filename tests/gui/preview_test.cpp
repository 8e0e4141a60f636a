// The Preview page shows what "Save listing" writes, made by a run through the window whenever the page
// is shown; and a listing saved from folders ticked in the tree equals quillary-cli's listing of the
// same selection.
#include <cstdlib>
#include <filesystem>

#include <wx/notebook.h>
#include <wx/radiobut.h>

#include "gui_test_support.h"
#include "model/tri_state_tree.h"
#include "res/controls.h"
#include "ui/dir_tree_ctrl.h"
#include "ui/preview_page.h"

namespace quillary::test {
namespace {

constexpr int kPreviewTab = 3;

class PreviewTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
        setenv("TZ", "UTC", 1);
        m_root = std::filesystem::canonical(m_folder.Path()).string();
        std::filesystem::create_directories(m_root + "/data/sub");
        WriteFile(m_folder.File("data/notes one.txt"), "hello");
        WriteFile(m_folder.File("data/sub/deep.bin"), "0123456789");
        m_window = new CQuillaryDlg(Words({}), ProgramLocations::InDirectory(m_root));
        m_closer.window = m_window;
        m_window->Show();
        m_tree = static_cast<CDirTreeCtrl*>(m_window->Surface().Window(kIdDirTree));
        m_preview = static_cast<CPreviewPage*>(m_window->Tabs()->GetPage(kPreviewTab));
    }
    void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }

    // Ticks the folder with its subfolders, as a click on its check box does.
    void Tick(const std::string& path) {
        m_window->Surface().SetCheckState(kIdWithSubdirs, 1);
        ASSERT_TRUE(RestoreCheck(*m_tree, path, true));
    }

    void ChooseOutput(int radioId) {
        auto* radio = static_cast<wxRadioButton*>(m_window->Surface().Window(radioId));
        radio->SetValue(true);
        wxCommandEvent event(wxEVT_RADIOBUTTON, radioId);
        event.SetEventObject(radio);
        radio->ProcessWindowEvent(event);
    }

    bool RunOver() { return !m_window->IsRunActive() && m_window->IsIdle(); }

    ScratchDir m_folder;
    std::string m_root;
    CQuillaryDlg* m_window = nullptr;
    WindowCloser m_closer{nullptr};
    CDirTreeCtrl* m_tree = nullptr;
    CPreviewPage* m_preview = nullptr;
};

TEST_F(PreviewTest, ShowingThePageShowsTheTextListing) {
    Tick(m_root + "/data");
    m_window->SelectTab(kPreviewTab);
    ASSERT_TRUE(PumpUntil([&] { return RunOver() && !m_preview->IsStreaming(); }));
    const wxString text = m_preview->TextView().GetValue();
    EXPECT_TRUE(m_preview->TextView().IsShown());
    EXPECT_FALSE(m_preview->HtmlView().IsShown());
    EXPECT_NE(text.Find("notes one.txt"), wxNOT_FOUND) << text;
    EXPECT_NE(text.Find("deep.bin"), wxNOT_FOUND) << text;
    EXPECT_EQ(text, wxString::FromUTF8(ReadFile(m_folder.File("~~ql_tmp.txt"))));
    // The view fills the page less 2 pixels left and right and 6 top and bottom.
    const wxRect view = m_preview->TextView().GetRect();
    const wxSize page = m_preview->GetClientSize();
    EXPECT_EQ(view, wxRect(2, 6, page.x - 4, page.y - 12));
}

TEST_F(PreviewTest, AnHtmlListingIsShownInTheBrowser) {
    Tick(m_root + "/data");
    ChooseOutput(kIdOutputHtml);
    m_window->SelectTab(kPreviewTab);
    ASSERT_TRUE(PumpUntil([&] {
        return RunOver() && m_preview->HtmlView().LoadedUrl().EndsWith("ql_tmp.html");
    })) << m_preview->HtmlView().LoadedUrl();
    EXPECT_TRUE(m_preview->HtmlView().IsShown());
    EXPECT_FALSE(m_preview->TextView().IsShown());
    const wxString text = m_preview->HtmlView().PageText();
    EXPECT_NE(text.Find("notes one.txt"), wxNOT_FOUND) << text;

    // "app:" addresses are commands, not pages.
    wxString command;
    CHtmlCtrl html(m_preview, wxID_ANY, [&command](const wxString& rest) { command = rest; });
    html.LoadUrl("APP:refresh");
    ASSERT_TRUE(PumpUntil([&] { return !command.empty(); }));
    EXPECT_EQ(command, "refresh");
}

TEST_F(PreviewTest, TickedFoldersSaveTheListingQuillaryCliWritesForTheSameSelection) {
    Tick(m_root + "/data/sub");
    m_window->Surface().SetCheckState(kIdWithSubdirs, 0);
    ASSERT_TRUE(RestoreCheck(*m_tree, m_root + "/data", false));
    m_window->SaveListingTo(m_folder.File("window.txt"));
    ASSERT_TRUE(PumpUntil([&] { return RunOver() && std::filesystem::exists(m_folder.File("window.txt")); }));
    m_window->SaveSelectionTo(m_folder.File("ticked.qls"));
    m_window->SaveSettingsTo(m_folder.File("options.qlc"));

    const std::string command = std::string(QUILLARY_CLI_PATH) + " /o '" + m_folder.File("options.qlc") +
                                "' /l '" + m_folder.File("ticked.qls") + "' '" + m_folder.File("cli.txt") +
                                "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string listing = ReadFile(m_folder.File("window.txt"));
    EXPECT_NE(listing.find("deep.bin"), std::string::npos);
    EXPECT_EQ(listing, ReadFile(m_folder.File("cli.txt")));
}

} // namespace
} // namespace quillary::test
