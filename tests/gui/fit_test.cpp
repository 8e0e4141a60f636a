// The window's sizes: at the size a first start opens with, every tab is in the tab strip and every
// control of every page is in its page's view without scrolling, in English and German; Options 1 and
// 2 fit at 900 x 650; the folder tree scrolls inside its page. And what a first start shows: the
// user's home folder, opened and selected, nothing ticked.
#include <cstdlib>
#include <filesystem>
#include <optional>

#include <wx/notebook.h>

#include "gui_test_support.h"
#include "model/tri_state_tree.h"
#include "res/controls.h"
#include "ui/dir_tree_ctrl.h"
#include "ui/fitting_size.h"
#include "ui/select_dirs_page.h"

namespace quillary::test {
namespace {

void CopyGermanLanguage(const ScratchDir& dir) {
    std::filesystem::copy_file(std::string(QUILLARY_SOURCE_DIR) + "/res/lang/Deutsch.lng",
                               dir.File("Deutsch.lng"));
}

// Shows the window at `size` and lets GTK give every widget its place.
void ShowAt(CQuillaryDlg* window, wxSize size) {
    window->Show();
    window->SetSize(size);
    ASSERT_TRUE(PumpUntil([window, size] { return window->GetSize() == size && window->IsShownOnScreen(); }));
    // The widgets get their allocation on GTK's frame clock, after the resize: a few turns.
    for (int turn = 0; turn < 20; ++turn) {
        wxTheApp->ProcessPendingEvents();
        wxYield();
    }
}

// The first control of `page` (the windows of the control table on it) that lies outside the page's
// view, with its id; nothing when all are in view.
std::optional<int> ControlOutsideView(CQuillaryDlg* window, wxWindow* page) {
    const wxRect view(page->GetClientSize());
    for (const ControlRef& control : window->Surface().Controls()) {
        // A group box is a frame around controls that are checked themselves (and GTK places the box's
        // origin below its label).
        wxWindow* shown = window->Surface().Window(control.id);
        if (shown == nullptr || !shown->IsShown() || control.kind == ControlKind::GroupBox)
            continue;
        bool onPage = false;
        for (wxWindow* parent = shown->GetParent(); parent != nullptr && !onPage;
             parent = parent->GetParent())
            onPage = parent == page;
        if (!onPage)
            continue;
        const wxRect rect(page->ScreenToClient(shown->GetScreenPosition()), shown->GetSize());
        if (!view.Contains(rect))
            return control.id;
    }
    return std::nullopt;
}

// Every tab's label in the strip, every control of the pages named in view, no page scrolled.
void ExpectEverythingInView(CQuillaryDlg* window, std::initializer_list<int> tabs,
                            const std::string& context) {
    wxNotebook* notebook = window->Tabs();
    for (std::size_t tab = 0; tab < notebook->GetPageCount(); ++tab) {
        const wxRect label = TabLabelRect(notebook, tab);
        EXPECT_FALSE(label.IsEmpty()) << context << ": tab " << tab << " is not shown";
        EXPECT_LE(label.GetRight(), notebook->GetSize().x) << context << ": tab " << tab;
    }
    for (int tab : tabs) {
        window->SelectTab(tab);
        wxYield();
        wxWindow* page = notebook->GetPage(static_cast<std::size_t>(tab));
        const std::optional<int> outside = ControlOutsideView(window, page);
        EXPECT_FALSE(outside.has_value())
            << context << ": control " << outside.value_or(0) << " of tab " << tab
            << " is outside the page's " << page->GetClientSize().x << "x" << page->GetClientSize().y;
        EXPECT_LE(page->GetVirtualSize().y, page->GetClientSize().y)
            << context << ": tab " << tab << " scrolls";
        EXPECT_LE(page->GetVirtualSize().x, page->GetClientSize().x)
            << context << ": tab " << tab << " scrolls";
    }
}

TEST(Fit, AtTheFirstStartSizeEveryTabAndEveryControlIsInView) {
    ScratchDir dir;
    CopyGermanLanguage(dir);
    for (const std::string language : {"English", "Deutsch"}) {
        CQuillaryDlg* window = MakeWindow(dir);
        WindowCloser closer{window};
        const wxSize firstStart = window->GetSize();
        EXPECT_GE(firstStart.x, window->GetMinSize().x);
        EXPECT_GE(firstStart.y, window->GetMinSize().y);
        if (language != "English")
            window->ApplyLanguage(language);
        // Measured in every language found: changing the language does not change the size.
        EXPECT_EQ(window->GetSize(), firstStart) << language;
        ShowAt(window, firstStart);
        ExpectEverythingInView(window, {0, 1, 2, 3, 4}, language + " at the first-start size");
    }
}

TEST(Fit, BothOptionPagesFitAt900By650) {
    ScratchDir dir;
    CopyGermanLanguage(dir);
    for (const std::string language : {"English", "Deutsch"}) {
        CQuillaryDlg* window = MakeWindow(dir);
        WindowCloser closer{window};
        if (language != "English")
            window->ApplyLanguage(language);
        ShowAt(window, wxSize(900, 650));
        ExpectEverythingInView(window, {1, 2}, language + " at 900x650");
    }
}

// However many folders are open, the tree scrolls itself: the page keeps "Select with subdirectories"
// in view, at the minimum size and enlarged.
TEST(Fit, TheTreeScrollsInsideItsPage) {
    ScratchDir dir;
    for (int i = 0; i < 80; ++i)
        std::filesystem::create_directories(dir.Path() / "many" / ("folder" + std::to_string(100 + i)));
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    auto* page = static_cast<CSelectDirsPage*>(window->Tabs()->GetPage(0));
    ASSERT_TRUE(page->OpenFolder(Below(ProgramPath(dir.Path()), "many")));
    for (const wxSize size : {window->GetMinSize(), wxSize(900, 1000)}) {
        ShowAt(window, size);
        const std::optional<int> outside = ControlOutsideView(window, page);
        EXPECT_FALSE(outside.has_value()) << size.x << "x" << size.y << ": control " << outside.value_or(0);
        EXPECT_LE(page->GetVirtualSize().y, page->GetClientSize().y) << size.x << "x" << size.y;
    }
}

// $HOME for one test.
class HomeFolder {
public:
    explicit HomeFolder(const std::string& path) {
        if (const char* old = std::getenv("HOME"))
            m_old = old;
        wxSetEnv("HOME", path);
    }
    ~HomeFolder() {
        if (m_old)
            wxSetEnv("HOME", *m_old);
        else
            wxUnsetEnv("HOME");
    }

private:
    std::optional<std::string> m_old;
};

TEST(Fit, AFirstStartOpensAndSelectsTheHomeFolderAndTicksNothing) {
    ScratchDir dir;
    std::filesystem::create_directories(dir.Path() / "home" / "ann" / "Documents");
    const std::string home = Below(ProgramPath(dir.Path()), "home/ann");
    HomeFolder homeFolder(home);
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    auto* tree = static_cast<CDirTreeCtrl*>(window->Surface().Window(kIdDirTree));
    EXPECT_EQ(tree->SelectedPath(), home);
    EXPECT_TRUE(tree->IsExpanded(tree->GetSelection()));
    std::vector<std::string> checked;
    CollectChecked(*tree, checked);
    EXPECT_TRUE(checked.empty());

    // A remembered selection is shown instead.
    WriteFile(dir.File("quillary.INI"), "[Settings]\n1032=1\n");
    WriteFile(dir.File("quillary.qls"), "3|" + Below(home, "Documents") + "\n");
    CQuillaryDlg* remembered = MakeWindow(dir);
    WindowCloser rememberedCloser{remembered};
    auto* rememberedTree = static_cast<CDirTreeCtrl*>(remembered->Surface().Window(kIdDirTree));
    checked.clear();
    CollectChecked(*rememberedTree, checked);
    EXPECT_EQ(checked, std::vector<std::string>{"3|" + Below(home, "Documents")});
}

} // namespace
} // namespace quillary::test
