// Closing: what is saved and what is deleted.
#include <wx/app.h>

#include "gui_test_support.h"
#include "model/tri_state_tree.h"
#include "res/controls.h"

namespace quillary::test {
namespace {

TEST(Close, SavesSettingsAndTheRememberedSelectionAndDeletesPreviewFiles) {
    ScratchDir dir;
    WriteFile(dir.File("~~ql_tmp.html"), "<html></html>");
    WriteFile(dir.File("~~ql_tmp.txt"), "listing");
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    window->Surface().SetText(kIdMask, "*.cpp");
    window->Surface().SetText(kIdDirNameWidth, "300"); // stored validated, as the page stores it
    window->Surface().SetCheckState(kIdRememberSelection, 1);
    ASSERT_TRUE(window->Close());

    const std::string settings = ReadTextFile(dir.File("quillary.INI"));
    EXPECT_NE(settings.find("1064=*.cpp\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("1033=260\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("Window=1|"), std::string::npos) << settings;
    EXPECT_NE(settings.find("Language=English\n"), std::string::npos) << settings;
    EXPECT_TRUE(fs::exists(dir.File("quillary.qls")));
    EXPECT_FALSE(fs::exists(dir.File("~~ql_tmp.html")));
    EXPECT_FALSE(fs::exists(dir.File("~~ql_tmp.txt")));
}

// A new user's first start: the settings folder is made (only for the user) when they are saved; a
// folder that cannot be made is told in the status line.
TEST(Close, TheSettingsFolderIsMadeOnTheFirstSave) {
    ScratchDir dir;
    ProgramLocations locations = ProgramLocations::InDirectory(dir.Path().string());
    const fs::path folder = dir.Path() / "config" / "quillary";
    locations.settingsDir = folder.string();
    CQuillaryDlg* window = new CQuillaryDlg({}, locations, {});
    WindowCloser closer{window};
    window->Surface().SetCheckState(kIdRememberSelection, 1);
    ASSERT_TRUE(window->Close());
    EXPECT_TRUE(fs::exists(folder / "quillary.INI"));
    EXPECT_TRUE(fs::exists(folder / "quillary.qls"));
#ifndef _WIN32 // Windows folders have no permission bits of their own
    EXPECT_EQ(fs::status(dir.Path() / "config").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
#endif
    EXPECT_EQ(window->ProblemsText(), "");

    WriteFile(dir.File("blocked"), "a file where the folder should be");
    locations.settingsDir = Below(ProgramPath(dir.Path()), "blocked/quillary");
    CQuillaryDlg* blocked = new CQuillaryDlg({}, locations, {});
    WindowCloser blockedCloser{blocked};
    ASSERT_TRUE(blocked->Close());
    // The system's reason follows ("Not a directory" on Linux; Windows words it its own way).
    EXPECT_NE(blocked->ProblemsText().find("cannot save the settings to '" +
                                           Below(locations.settingsDir, "quillary.INI") + "': "),
              std::string::npos)
        << blocked->ProblemsText();
}

TEST(Close, TheRememberedSelectionComesBackAtTheNextStart) {
    ScratchDir dir;
    fs::create_directories(dir.Path() / "data" / "sub");
    const std::string line = "3|" + ProgramPath(dir.Path() / "data") + "\n";
    WriteFile(dir.File("quillary.INI"), "[Settings]\n1032=1\n");
    WriteFile(dir.File("quillary.qls"), line);
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    CheckedDirList checked;
    CollectChecked(window->Tree(), checked);
    EXPECT_EQ(checked, CheckedDirList{line.substr(0, line.size() - 1)});

    fs::remove(dir.File("quillary.qls"));
    ASSERT_TRUE(window->Close());
    EXPECT_EQ(ReadTextFile(dir.File("quillary.qls")), line);
}

TEST(Close, FoldersOfASelectionThatAreMissingAreToldInTheStatusLine) {
    ScratchDir dir;
    fs::create_directories(dir.Path() / "data");
    WriteFile(dir.File("sel.qls"), "3|" + (dir.Path() / "data").string() + "\n3|" + dir.File("gone") + "\n");
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    window->LoadSelectionFrom(dir.File("sel.qls"));
    EXPECT_NE(window->ProblemsText().find("line 2: folder '" + dir.File("gone") + "' not found"),
              std::string::npos)
        << window->ProblemsText();
    CheckedDirList checked;
    CollectChecked(window->Tree(), checked);
    EXPECT_EQ(checked, CheckedDirList{"3|" + ProgramPath(dir.Path() / "data")});
}

TEST(Close, WithAConfigurationOnTheCommandLineNothingIsSaved) {
    ScratchDir dir;
    WriteFile(dir.File("team.qlc"), "[Settings]\n1064=*.team\n");
    CQuillaryDlg* window = MakeWindow(dir, Words({"/o", dir.File("team.qlc")}));
    WindowCloser closer{window};
    window->Surface().SetCheckState(kIdRememberSelection, 1);
    ASSERT_TRUE(window->Close());
    EXPECT_FALSE(fs::exists(dir.File("quillary.INI")));
    EXPECT_FALSE(fs::exists(dir.File("quillary.qls")));
}

TEST(Close, EscapeWhileIdleClosesTheWindow) {
    ScratchDir dir;
    CQuillaryDlg* window = MakeWindow(dir);
    WindowCloser closer{window};
    wxKeyEvent escape(wxEVT_CHAR_HOOK);
    escape.m_keyCode = WXK_ESCAPE;
    window->ProcessWindowEvent(escape);
    EXPECT_TRUE(wxPendingDelete.Member(window));
    EXPECT_TRUE(fs::exists(dir.File("quillary.INI")));
}

} // namespace
} // namespace quillary::test
