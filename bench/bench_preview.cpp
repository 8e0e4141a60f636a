// The Preview page's figures: the window as the program makes it, on its Preview tab, shown a big text
// listing and a big HTML listing. For each: the time from the listing being handed to the page to its
// first screen (text: the view filled and painted; HTML: the browser's load finished and its layout
// done), and the longest
// time the event loop was away meanwhile (the window does not answer while it is away).
//
//   bench_preview [--runs N] [--screenshots DIR] TEXT_LISTING HTML_LISTING
//
// Needs a display (bench/run.sh starts it under xvfb-run). With --screenshots, the window with each
// preview is saved as DIR/preview_text.png and DIR/preview_html.png (ImageMagick's import).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/notebook.h>

#include "app/command_line.h"
#include "app/gui/quillary_dlg.h"
#include "listing/output_type.h"
#include "platform/program_locations.h"
#include "ui/preview_page.h"

namespace {

using Clock = std::chrono::steady_clock;
using quillary::CPreviewPage;
using quillary::CQuillaryDlg;
using quillary::ProgramLocations;

class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The event loop's turns until `done` holds (at most a minute); the longest turn goes into `longest`.
bool Pump(const std::function<bool()>& done, double& longest) {
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        const auto turn = Clock::now();
        wxTheApp->ProcessPendingEvents();
        wxYield();
        longest = std::max(longest, Seconds(Clock::now() - turn));
    }
    return true;
}

// Real time for painting, with the loop turning.
void Settle(double seconds) {
    double ignored = 0;
    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    Pump([&] { return Clock::now() >= until; }, ignored);
}

void Screenshot(wxWindow* window, const std::string& path) {
    window->Raise();
    window->Refresh();
    window->Update();
    Settle(1.0);
    const wxRect rect = window->GetScreenRect();
    const std::string command = "import -window root -crop " + std::to_string(rect.width) + "x" +
                                std::to_string(rect.height) + "+" + std::to_string(rect.x) + "+" +
                                std::to_string(rect.y) + " '" + path + "'";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "bench_preview: failed: %s\n", command.c_str());
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 != 0 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Figures {
    std::vector<double> firstScreen;
    std::vector<double> handOver; // from the start to the document handed to the browser
    double longestTurn = 0;
};

// One text preview: handed over, then painted.
bool TextRun(CPreviewPage& page, const std::string& path, const quillary::MessageTable& messages,
             Figures& out) {
    page.Prepare(quillary::OutputType::Text);
    Settle(0.2);
    const auto start = Clock::now();
    page.ShowListing(path, messages);
    double longest = Seconds(Clock::now() - start);
    if (!Pump([&] { return !page.IsLoading(); }, longest))
        return false;
    const auto paint = Clock::now();
    page.TextView().Update();
    longest = std::max(longest, Seconds(Clock::now() - paint));
    out.firstScreen.push_back(Seconds(Clock::now() - start));
    out.longestTurn = std::max(out.longestTurn, longest);
    return page.TextView().Lines().LineCount() > 0;
}

// One HTML preview: handed over, then loaded by the browser.
bool HtmlRun(CPreviewPage& page, const std::string& path, const quillary::MessageTable& messages,
             Figures& out) {
    page.Prepare(quillary::OutputType::Html);
    double ignored = 0;
    if (!Pump([&] { return page.HtmlView().LoadedUrl() == "about:blank"; }, ignored))
        return false;
    const auto start = Clock::now();
    page.ShowListing(path, messages);
    double longest = Seconds(Clock::now() - start);
    if (!Pump([&] { return !page.IsLoading(); }, longest))
        return false;
    out.handOver.push_back(Seconds(Clock::now() - start));
    if (!Pump([&] { return page.HtmlView().LoadedUrl().EndsWith(".html"); }, longest))
        return false;
    // The page is laid out (what its first screen waits for) once the script can read its height.
    // (The script's answer is waited for in a loop of its own: the window answers meanwhile.)
    page.HtmlView().PageHeight();
    out.firstScreen.push_back(Seconds(Clock::now() - start));
    out.longestTurn = std::max(out.longestTurn, longest);
    return true;
}

void Report(const char* what, const Figures& figures) {
    const double first = Median(figures.firstScreen);
    std::printf(
        "%-40s first screen %6.3f s (goal <= 2 s: %s)   longest loop turn %6.3f s (goal <= 0.5 s: %s)\n",
        what, first, first <= 2 ? "met" : "MISSED", figures.longestTurn,
        figures.longestTurn <= 0.5 ? "met" : "MISSED");
}

// Lines of the file that start with `prefix` ("" counts every line).
std::size_t CountLines(const std::string& path, const std::string& prefix) {
    std::ifstream in(path, std::ios::binary);
    std::size_t count = 0;
    for (std::string line; std::getline(in, line);)
        count += line.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return count;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5;
    std::string screenshots;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--screenshots") == 0 && i + 1 < argc)
            screenshots = argv[++i];
        else
            files.emplace_back(argv[i]);
    }
    if (files.size() != 2) {
        std::fprintf(stderr,
                     "usage: bench_preview [--runs N] [--screenshots DIR] TEXT_LISTING HTML_LISTING\n");
        return 2;
    }
    wxApp::SetInstance(new BenchApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "bench_preview: cannot start wxWidgets (no display?)\n");
        return 1;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxEventLoop loop;
    int status = 0;
    {
        wxEventLoopActivator activator(&loop);
        // The window keeps its settings in a folder of its own, removed at the end.
        const std::filesystem::path home =
            std::filesystem::temp_directory_path() /
            ("quillary-bench-preview." + std::to_string(Clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(home);
        auto* window =
            new CQuillaryDlg(quillary::CommandLineInfo{}, ProgramLocations::InDirectory(home.string()));
        window->SetSize(900, 700);
        window->Show();
        Settle(0.5);
        window->Tabs()->ChangeSelection(3);
        auto& page = *static_cast<CPreviewPage*>(window->Tabs()->GetPage(3));
        const quillary::MessageTable& messages = window->Messages();

        std::printf("text listing: %s, %zu lines\n", files[0].c_str(), CountLines(files[0], ""));
        std::printf("HTML listing: %s, %zu rows\n", files[1].c_str(), CountLines(files[1], "<tr"));
        Figures text;
        Figures html;
        for (int run = 0; run < runs && status == 0; ++run) {
            if (!TextRun(page, files[0], messages, text) || !HtmlRun(page, files[1], messages, html)) {
                std::fprintf(stderr, "bench_preview: a preview did not appear\n");
                status = 1;
            }
        }
        if (status == 0) {
            std::printf("medians of %d runs; the window on its Preview tab, %dx%d\n", runs,
                        window->GetSize().x, window->GetSize().y);
            Report("text preview (view filled and painted)", text);
            Report("HTML preview (loaded and laid out)", html);
            std::printf("HTML preview: read, cut and handed to the browser after %.3f s\n",
                        Median(html.handOver));
            std::printf("HTML preview shows: %s\n", page.CutNote().GetLabel().utf8_str().data());
        }
        if (status == 0 && !screenshots.empty()) {
            std::filesystem::create_directories(screenshots);
            TextRun(page, files[0], messages, text);
            Screenshot(window, screenshots + "/preview_text.png");
            HtmlRun(page, files[1], messages, html);
            Screenshot(window, screenshots + "/preview_html.png");
        }
        window->Destroy();
        wxTheApp->ProcessIdle();
        std::error_code ignored;
        std::filesystem::remove_all(home, ignored);
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return status;
}
