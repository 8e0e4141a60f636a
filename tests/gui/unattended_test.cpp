// "quillary /l SELECTION OUTPUT": the real program writes the listing and closes by itself.
#include <cstdlib>

#include "gui_test_support.h"

namespace quillary::test {
namespace {

// Copies a program into its own folder, which then is its program folder (portable use), so that its
// settings file does not land in the build tree.
std::string InstallAlone(const std::string& program, const ScratchDir& dir, const std::string& name) {
    fs::create_directories(dir.Path() / (name + "-dir"));
    const fs::path target = dir.Path() / (name + "-dir") / name;
    fs::copy_file(program, target);
    return target.string();
}

int RunIn(const ScratchDir& dir, const std::string& command) {
    const std::string line = "cd '" + dir.Path().string() +
                             "' && SOURCE_DATE_EPOCH=1700000000 TZ=UTC timeout 60 " + command +
                             " >/dev/null 2>&1";
    return std::system(line.c_str());
}

TEST(Unattended, WritesTheSameListingAsTheConsoleProgramAndClosesByItself) {
    ScratchDir dir;
    fs::create_directories(dir.Path() / "data" / "sub");
    WriteFile(dir.Path() / "data" / "a.txt", "hello");
    WriteFile(dir.Path() / "data" / "sub" / "b.csv", "1;2;3\n");
    WriteFile(dir.File("sel.qls"), "3|" + (dir.Path() / "data").string() + "\n");
    const std::string gui = InstallAlone(QUILLARY_GUI_PATH, dir, "quillary");
    const std::string cli = InstallAlone(QUILLARY_CLI_PATH, dir, "quillary-cli");

    ASSERT_EQ(RunIn(dir, "'" + cli + "' /l sel cli.txt"), 0);
    ASSERT_EQ(RunIn(dir, "'" + gui + "' /l sel gui.txt"), 0) << "the window did not close by itself";
    const std::string listing = ReadFile(dir.File("gui.txt"));
    EXPECT_NE(listing.find("a.txt"), std::string::npos) << listing;
    EXPECT_EQ(listing, ReadFile(dir.File("cli.txt")));
    // The settings are saved as after any run without "/o".
    EXPECT_TRUE(fs::exists(dir.Path() / "quillary-dir" / "quillary.INI"));
}

TEST(Unattended, ExitStatusTellsAMissingFolderAndAnOutputThatCannotBeWritten) {
    ScratchDir dir;
    fs::create_directories(dir.Path() / "data");
    WriteFile(dir.File("sel.qls"), "3|" + (dir.Path() / "data").string() + "\n3|" + dir.File("gone") + "\n");
    const std::string gui = InstallAlone(QUILLARY_GUI_PATH, dir, "quillary");
    EXPECT_EQ(WEXITSTATUS(RunIn(dir, "'" + gui + "' /l sel out.txt")), 3);
    EXPECT_TRUE(fs::exists(dir.File("out.txt")));
    EXPECT_EQ(WEXITSTATUS(RunIn(dir, "'" + gui + "' /l sel " + dir.File("no/such/folder/out.txt"))), 1);
}

} // namespace
} // namespace quillary::test
