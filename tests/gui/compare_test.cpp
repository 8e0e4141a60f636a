// "Compare with a saved listing..." in the window: the ticked folders are listed again and compared
// with a JSON Lines listing saved earlier, the report is written in the type of Options 2, the status
// line tells what changed, and the private listing of the ticked folders does not stay behind.
#include <filesystem>

#include <wx/radiobut.h>

#include "gui_test_support.h"
#include "model/tri_state_tree.h"
#include "res/controls.h"
#include "support/environment.h"
#include "ui/dir_tree_ctrl.h"

namespace quillary::test {
namespace {

class WindowCompare : public testing::Test {
protected:
    void SetUp() override {
        SetEnvironment("SOURCE_DATE_EPOCH", "1700000000");
        m_root = ProgramPath(m_folder.Path());
        std::filesystem::create_directories(m_folder.Path() / "data" / "sub");
        WriteFile(m_folder.File("data/kept.txt"), "same");
        WriteFile(m_folder.File("data/gone.txt"), "soon removed");
        WriteFile(m_folder.File("data/sub/grows.bin"), "0123");
        m_window = new CQuillaryDlg(Words({}), ProgramLocations::InDirectory(m_root));
        m_closer.window = m_window;
        m_window->Show();
        auto* tree = static_cast<CDirTreeCtrl*>(m_window->Surface().Window(kIdDirTree));
        m_window->Surface().SetCheckState(kIdWithSubdirs, 1);
        ASSERT_TRUE(RestoreCheck(*tree, Below(m_root, "data"), true));
    }
    void TearDown() override { UnsetEnvironment("SOURCE_DATE_EPOCH"); }

    void ChooseOutput(int radioId) { test::ChooseOutput(*m_window, radioId); }

    bool RunOver() { return !m_window->IsRunActive() && m_window->IsIdle(); }

    // No private listing of a comparison is left in the preview folder.
    bool NoCompareListingLeft() {
        std::error_code error;
        for (const auto& entry :
             std::filesystem::directory_iterator(ProgramPath(m_window->Locations().previewDir), error)) {
            if (entry.path().filename().string().find("-compare-") != std::string::npos)
                return false;
        }
        return true;
    }

    ScratchDir m_folder;
    std::string m_root;
    CQuillaryDlg* m_window = nullptr;
    WindowCloser m_closer{nullptr};
};

TEST_F(WindowCompare, TheTickedFoldersAreComparedWithASavedListingAndTheStatusLineCountsTheChanges) {
    ChooseOutput(kIdOutputJsonLines);
    m_window->SaveListingTo(m_folder.File("before.jsonl"));
    ASSERT_TRUE(
        PumpUntil([&] { return RunOver() && std::filesystem::exists(m_folder.File("before.jsonl")); }));

    WriteFile(m_folder.File("data/new.txt"), "added later");
    std::filesystem::remove(m_folder.File("data/gone.txt"));
    WriteFile(m_folder.File("data/sub/grows.bin"), "0123456789");
    ChooseOutput(kIdOutputText);
    ASSERT_TRUE(m_window->CompareListingTo(m_folder.File("before.jsonl"), m_folder.File("report.txt")));
    EXPECT_TRUE(m_window->IsRunActive());
    EXPECT_FALSE(m_window->CompareListingTo(m_folder.File("before.jsonl"), m_folder.File("other.txt")));
    ASSERT_TRUE(PumpUntil([&] { return RunOver() && !m_window->ProblemsText().empty(); }));

    // The file that grew, and the two folders whose totals it and the others changed.
    EXPECT_EQ(m_window->ProblemsText(),
              "Compared with before.jsonl: 1 added, 1 removed, 3 changed; report report.txt");
    const std::string report = ReadFile(m_folder.File("report.txt"));
    for (const char* name : {"new.txt", "gone.txt", "grows.bin"})
        EXPECT_NE(report.find(name), std::string::npos) << name << "\n" << report;
    EXPECT_EQ(report.find("kept.txt"), std::string::npos) << report;
    EXPECT_FALSE(std::filesystem::exists(m_folder.File("other.txt")));
    EXPECT_TRUE(NoCompareListingLeft());
}

TEST_F(WindowCompare, ASavedFileThatIsNoListingWritesNoReportAndSaysWhy) {
    WriteFile(m_folder.File("notes.jsonl"), "just some notes\n");
    ASSERT_TRUE(m_window->CompareListingTo(m_folder.File("notes.jsonl"), m_folder.File("report.txt")));
    ASSERT_TRUE(PumpUntil([&] { return RunOver() && !m_window->ProblemsText().empty(); }));

    EXPECT_NE(m_window->ProblemsText().find("notes.jsonl"), std::string::npos) << m_window->ProblemsText();
    EXPECT_FALSE(std::filesystem::exists(m_folder.File("report.txt")));
    EXPECT_TRUE(NoCompareListingLeft());
    // The window is usable again: a listing can be saved.
    m_window->SaveListingTo(m_folder.File("after.txt"));
    EXPECT_TRUE(PumpUntil([&] { return RunOver() && std::filesystem::exists(m_folder.File("after.txt")); }));
}

} // namespace
} // namespace quillary::test
