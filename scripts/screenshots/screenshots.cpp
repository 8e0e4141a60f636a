// quillary-screenshots DIR: pictures of every page of the window in English and German at the minimum
// window size, with folders of the source tree ticked and their listing previewed as text and as HTML,
// and Options 1 and 2 enlarged; PNG files in DIR, for a person to look at after changing a page or a
// caption. scripts/screenshots.sh builds it and runs it on a virtual X server.
//
// The window is the program's own class, driven from code in a fresh program folder (so no settings
// of the user's are read or written). Exit status 0 when every picture was written, 1 otherwise.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/notebook.h>

#include "app/gui/quillary_dlg.h"
#include "gui/window_driver.h"
#include "model/options_rules.h"
#include "model/tri_state_tree.h"
#include "platform/program_locations.h"
#include "res/controls.h"
#include "ui/dir_tree_ctrl.h"
#include "ui/preview_page.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;
using test::PumpUntil;
using test::WindowCloser;

class ScreenshotApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

// A fresh program folder in the temporary folder, removed at the end.
class ProgramFolder {
public:
    ProgramFolder() {
        std::random_device random;
        m_path = fs::temp_directory_path() / ("quillary-screenshots-" + std::to_string(random()));
        fs::create_directories(m_path);
    }
    ~ProgramFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

// Saves what the screen shows of `window` as a PNG file.
bool SaveScreenshot(wxWindow* window, const std::string& path) {
    window->Raise();
    window->Refresh();
    window->Update();
    // GTK paints on its frame clock: give it a moment of real time.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    while (std::chrono::steady_clock::now() < until) {
        wxYield();
        wxMilliSleep(10);
    }
    const wxRect rect = window->GetScreenRect();
#ifdef __WXGTK__
    // GTK 3 cannot read the screen back through a wxScreenDC; ImageMagick's import reads what the X
    // server shows.
    const std::string command = "import -window root -crop " + std::to_string(rect.width) + "x" +
                                std::to_string(rect.height) + "+" + std::to_string(rect.x) + "+" +
                                std::to_string(rect.y) + " '" + path + "'";
    if (std::system(command.c_str()) == 0)
        return true;
    std::fprintf(stderr, "quillary-screenshots: failed: %s\n", command.c_str());
    return false;
#else
    wxBitmap bitmap(rect.width, rect.height);
    {
        wxScreenDC screen;
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
    }
#ifdef __WXMSW__
    // This wxMSW has no PNG encoder: a BMP beside the name, which scripts/build-windows.sh converts.
    const std::string bmp = path.substr(0, path.size() - 4) + ".bmp";
    if (bitmap.ConvertToImage().SaveFile(wxString::FromUTF8(bmp), wxBITMAP_TYPE_BMP))
        return true;
#else
    if (bitmap.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG))
        return true;
#endif
    std::fprintf(stderr, "quillary-screenshots: cannot write '%s'\n", path.c_str());
    return false;
#endif
}

bool TakeScreenshots(const std::string& sourceDir, const std::string& outDir) {
    fs::create_directories(fs::path(outDir));
    const ProgramFolder folder;
    fs::copy_file(fs::path(sourceDir) / "res" / "lang" / "Deutsch.lng", folder.Path() / "Deutsch.lng");
    const std::string source = test::ProgramPath(sourceDir);
    for (const std::string language : {"English", "Deutsch"}) {
        auto* window = new CQuillaryDlg({}, ProgramLocations::InDirectory(folder.Path().string()));
        WindowCloser closer{window};
        const wxSize firstStart = window->GetSize();
        window->ApplyLanguage(language);
        window->Show();
        auto& tree = *static_cast<CDirTreeCtrl*>(window->Surface().Window(kIdDirTree));
        const std::string ticked = test::Below(source, "src/ui");
        RestoreCheck(tree, ticked, true);
        RestoreCheck(tree, test::Below(source, "res"), false);
        tree.SelectItem(CDirTreeCtrl::ToId(FindPath(tree, ticked)));
        auto* preview = static_cast<CPreviewPage*>(window->Tabs()->GetPage(3));
        const auto runOver = [&] {
            return !window->IsRunActive() && window->IsIdle() && !preview->IsLoading();
        };
        const auto previewShown = [&] {
            return runOver() &&
                   (!preview->HtmlView().IsShown() || preview->HtmlView().LoadedUrl().EndsWith(".html"));
        };
        const auto shoot = [&](const std::string& name) {
            return SaveScreenshot(window, outDir + "/" + language + "_" + name + ".png");
        };
        // Every page at the size a first start opens with, then at the minimum size.
        for (const auto& [size, prefix] :
             {std::pair{firstStart, "first_"}, std::pair{window->GetMinSize(), "min_"}}) {
            window->SetSize(size);
            for (int tab = 0; tab < 5; ++tab) {
                window->SelectTab(tab);
                if (!PumpUntil(previewShown)) {
                    std::fprintf(stderr, "quillary-screenshots: page %d did not settle\n", tab);
                    return false;
                }
                if (!shoot(prefix + std::to_string(tab)))
                    return false;
            }
        }
        window->Surface().SetCheckState(kIdOutputHtml, 1);
        RefreshEnabling(window->Surface());
        window->SelectTab(2);
        if (!shoot("2_html"))
            return false;
        window->SelectTab(3);
        // Where the browser cannot show pages (Wine has no HTML engine) the picture shows it empty.
        if (!PumpUntil(previewShown)) {
            if (!runOver()) {
                std::fprintf(stderr, "quillary-screenshots: the HTML preview did not settle\n");
                return false;
            }
            std::fprintf(stderr, "quillary-screenshots: the browser shows no page (no HTML engine?)\n");
        }
        if (!shoot("3_html"))
            return false;
        window->SetSize(900, 650);
        window->SelectTab(1);
        if (!shoot("large_1"))
            return false;
        window->SelectTab(2);
        if (!shoot("large_2"))
            return false;
    }
    return true;
}

} // namespace
} // namespace quillary

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillary-screenshots DIR   (PNG files of every page into DIR)\n");
        return 2;
    }
    const std::string outDir = argv[1];
    int wxArgc = 1;
    wxApp::SetInstance(new quillary::ScreenshotApp);
    if (!wxEntryStart(wxArgc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "quillary-screenshots: cannot start wxWidgets (no display?)\n");
        return 1;
    }
    wxInitAllImageHandlers();
    delete wxLog::SetActiveTarget(new wxLogStderr);
    bool written = false;
    {
        // An active event loop lets the window be painted, resized and its queued calls run.
        wxEventLoop loop;
        wxEventLoopActivator activator(&loop);
        written = quillary::TakeScreenshots(QUILLARY_SOURCE_DIR, outDir);
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    if (written)
        std::printf("quillary-screenshots: pictures in %s\n", outDir.c_str());
    return written ? 0 : 1;
}
