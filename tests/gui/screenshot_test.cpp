// Screenshots of every page in English and German at the minimum window size, with folders of the
// source tree ticked and their listing previewed as text and as HTML, for a person to look at. Runs only when
// QUILLARY_SCREENSHOT_DIR names the folder for the pictures (see the README).
#include <cstdlib>
#include <filesystem>

#include <wx/notebook.h>

#include "gui_test_support.h"
#include "model/options_rules.h"
#include "model/tri_state_tree.h"
#include "res/controls.h"
#include "ui/dir_tree_ctrl.h"
#include "ui/preview_page.h"

namespace quillary::test {
namespace {

void SaveScreenshot(wxWindow* window, const std::string& path) {
    window->Raise();
    window->Refresh();
    window->Update();
    // GTK paints on its frame clock: give it a moment of real time (pictures only; no test waits).
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    while (std::chrono::steady_clock::now() < until) {
        wxYield();
        wxMilliSleep(10);
    }
    // ImageMagick's import reads what the X server shows.
    const wxRect rect = window->GetScreenRect();
    const std::string command = "import -window root -crop " + std::to_string(rect.width) + "x" +
                                std::to_string(rect.height) + "+" + std::to_string(rect.x) + "+" +
                                std::to_string(rect.y) + " '" + path + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

TEST(Screenshots, EveryPageInEnglishAndGerman) {
    const char* dir = std::getenv("QUILLARY_SCREENSHOT_DIR");
    if (dir == nullptr || *dir == '\0')
        GTEST_SKIP() << "QUILLARY_SCREENSHOT_DIR is not set";
    std::filesystem::create_directories(dir);
    ScratchDir folder;
    std::filesystem::copy_file(std::string(QUILLARY_SOURCE_DIR) + "/res/lang/Deutsch.lng",
                               folder.File("Deutsch.lng"));
    for (const std::string language : {"English", "Deutsch"}) {
        auto* window = MakeWindow(folder);
        WindowCloser closer{window};
        window->ApplyLanguage(language);
        window->SetSize(window->GetMinSize());
        window->Show();
        auto& tree = *static_cast<CDirTreeCtrl*>(window->Surface().Window(kIdDirTree));
        const std::string source = std::filesystem::canonical(QUILLARY_SOURCE_DIR).string();
        RestoreCheck(tree, source + "/src/ui", true);
        RestoreCheck(tree, source + "/res", false);
        tree.SelectItem(CDirTreeCtrl::ToId(FindPath(tree, source + "/src/ui")));
        auto* preview = static_cast<CPreviewPage*>(window->Tabs()->GetPage(3));
        const auto previewShown = [&] {
            return !window->IsRunActive() && window->IsIdle() && !preview->IsStreaming() &&
                   (!preview->HtmlView().IsShown() || preview->HtmlView().LoadedUrl().EndsWith(".html"));
        };
        for (int tab = 0; tab < 5; ++tab) {
            window->SelectTab(tab);
            ASSERT_TRUE(PumpUntil(previewShown));
            SaveScreenshot(window, std::string(dir) + "/" + language + "_" + std::to_string(tab) + ".png");
        }
        window->Surface().SetCheckState(kIdOutputHtml, 1);
        RefreshEnabling(window->Surface());
        window->SelectTab(2);
        SaveScreenshot(window, std::string(dir) + "/" + language + "_2_html.png");
        window->SelectTab(3);
        ASSERT_TRUE(PumpUntil(previewShown));
        SaveScreenshot(window, std::string(dir) + "/" + language + "_3_html.png");
        window->SetSize(900, 700);
        window->SelectTab(1);
        SaveScreenshot(window, std::string(dir) + "/" + language + "_large_1.png");
        window->SelectTab(2);
        SaveScreenshot(window, std::string(dir) + "/" + language + "_large_2.png");
    }
}

} // namespace
} // namespace quillary::test
