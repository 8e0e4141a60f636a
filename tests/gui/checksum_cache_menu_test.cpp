// "File > Clear checksum cache": the checksums a listing kept are dropped, the status line says so, and
// the next listing reads the files again.
#include <cstdlib>
#include <filesystem>
#include <optional>

#include <wx/menu.h>

#include "gui_test_support.h"
#include "model/tri_state_tree.h"
#include "platform/program_files.h"
#include "res/controls.h"
#include "res/menus.h"
#include "support/environment.h"
#include "support/system.h"
#include "ui/dir_tree_ctrl.h"

namespace quillary::test {
namespace {

// Where the checksum cache's folder is made: the variable and the folder the test gives it.
constexpr const char* kCacheVariable = kOnWindows ? "LOCALAPPDATA" : "XDG_CACHE_HOME";

class WindowChecksumCache : public testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv(kCacheVariable))
            m_savedCache = old;
        std::filesystem::create_directories(m_folder.Path() / "cache");
        SetEnvironment(kCacheVariable, m_folder.File("cache"));
        m_root = ProgramPath(m_folder.Path());
        std::filesystem::create_directories(m_folder.Path() / "data");
        WriteFile(m_folder.File("data/one.txt"), "123456789");
        m_window = new CQuillaryDlg(Words({}), ProgramLocations::InDirectory(m_root));
        m_closer.window = m_window;
        m_window->Show();
        auto* tree = static_cast<CDirTreeCtrl*>(m_window->Surface().Window(kIdDirTree));
        m_window->Surface().SetCheckState(kIdFileCrc32, 1);
        m_window->Surface().SetCheckState(kIdKeepChecksums, 1);
        ASSERT_TRUE(RestoreCheck(*tree, Below(m_root, "data"), true));
    }
    void TearDown() override {
        if (m_savedCache)
            SetEnvironment(kCacheVariable, *m_savedCache);
        else
            UnsetEnvironment(kCacheVariable);
    }

    void ClearCache() {
        wxCommandEvent clear(wxEVT_MENU, kCmdClearChecksumCache);
        m_window->ProcessWindowEvent(clear);
    }
    bool RunOver() { return !m_window->IsRunActive() && m_window->IsIdle(); }

    ScratchDir m_folder;
    std::optional<std::string> m_savedCache;
    std::string m_root;
    CQuillaryDlg* m_window = nullptr;
    WindowCloser m_closer{nullptr};
};

TEST_F(WindowChecksumCache, ClearingIsToldAndTheNextListingReadsTheFilesAgain) {
    m_window->SaveListingTo(m_folder.File("listing.txt"));
    ASSERT_TRUE(
        PumpUntil([&] { return RunOver() && std::filesystem::exists(m_folder.File("listing.txt")); }));
    const std::string cacheFile = ChecksumCacheFile();
    ASSERT_FALSE(cacheFile.empty());
    ASSERT_TRUE(std::filesystem::exists(cacheFile));

    ClearCache();
    EXPECT_EQ(m_window->ProblemsText(), "Checksum cache cleared");
    // A listing afterwards still has the checksum, read from the file again.
    m_window->SaveListingTo(m_folder.File("again.txt"));
    ASSERT_TRUE(PumpUntil([&] { return RunOver() && std::filesystem::exists(m_folder.File("again.txt")); }));
    EXPECT_NE(ReadFile(m_folder.File("again.txt")).find("cbf43926"), std::string::npos)
        << ReadFile(m_folder.File("again.txt"));
}

} // namespace
} // namespace quillary::test
