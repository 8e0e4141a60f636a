// Folders named beyond ASCII and by drive: a name with non-ASCII letters goes through the command line,
// the listing and the selection file unchanged; on Windows, selection lines naming a whole drive
// ("3|c:") or a system folder alone in capitals ("2|C:\WINDOWS") restore as Windows users keep them.
#include "fixture_tree.h"
#include "support/special_files.h"

namespace quillary::test {
namespace {

// Latin letters with accents, CJK, and a character outside the Basic Multilingual Plane (a UTF-16
// surrogate pair on Windows).
const std::string kName = "\xC3\x9C"
                          "ber \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x93\x81";

TEST(NonAsciiNamesTest, ThroughTheCommandLineTheListingAndTheSelectionFile) {
    ScratchDir scratch;
    const fs::path folder = scratch.Path() / Utf8Path(kName);
    fs::create_directories(folder / Utf8Path(kName));
    WriteFile(folder / Utf8Path(kName + ".txt"), "abc");
    const std::string folderText = Utf8Text(folder), shown = Shown(folder);

    // The folder named on the command line, its name and its file's name in the UTF-8 listing (CSV,
    // where paths are never cut to a column).
    CliResult result = RunCli({"--output", "list.csv", folderText}, scratch.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string listing = ReadTextFile(scratch.Path() / "list.csv");
    EXPECT_NE(listing.find(shown + kSeparator + ";"), std::string::npos) << listing;
    EXPECT_NE(listing.find(shown + kSeparator + kName + kSeparator + ";"), std::string::npos) << listing;
    EXPECT_NE(listing.find("\n" + kName + ";;txt;3;"), std::string::npos) << listing;

    // The output file's own name, and a selection file naming the folder in UTF-8.
    WriteFile(scratch.Path() / Utf8Path(kName + ".qls"), "2|" + folderText + "\n");
    WriteFile(scratch.Path() / "csv.qlc", "[Settings]\n1048=0\n1050=1\n");
    result = RunCli({"/o", "csv", "/l", kName + ".qls", kName + ".csv"}, scratch.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string selected = ReadTextFile(scratch.Path() / Utf8Path(kName + ".csv"));
    EXPECT_NE(selected.find("\n" + kName + ";;txt;3;"), std::string::npos) << selected;
    // "2|": the folder alone; its subfolder is a row, not a listed folder of its own.
    EXPECT_EQ(selected.find(shown + kSeparator + kName + kSeparator), std::string::npos) << selected;

    // Problems name the folder in UTF-8 too.
    result = RunCli({"--output", "-", folderText + " gone"}, scratch.Path());
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_NE(result.err.find("folder '" + folderText + " gone' not found"), std::string::npos) << result.err;
}

// The lines of `text` that start with `start`.
std::vector<std::string> LinesStarting(const std::string& text, const std::string& start) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(start, 0) == 0)
            lines.push_back(line);
    }
    return lines;
}

// The attribute letters r a h s c of a listing are the file system's: hidden and system as Windows
// keeps them, whatever the name (Wine also marks dot-files hidden by itself). Only h and s are
// checked: Wine reports every file as to be archived, whatever was set.
TEST(WindowsAttributesTest, HiddenAndSystemComeFromTheFileSystem) {
    if (!kOnWindows)
        GTEST_SKIP() << "hidden and system are Windows file attributes";
    FixtureTree tree;
    const fs::path folder = tree.Data() / "Old";
    const struct {
        const char* name;
        bool archive, hidden, system;
        const char* hiddenAndSystem;
    } rows[] = {
        {"plain.txt", false, false, false, "--"},
        {"hidden.txt", false, true, false, "h-"},
        {"system.txt", false, false, true, "-s"},
        {"both.txt", true, true, true, "hs"},
    };
    for (const auto& row : rows) {
        WriteFile(folder / row.name, "x");
        ASSERT_TRUE(SetWindowsAttributes(folder / row.name, row.archive, row.hidden, row.system)) << row.name;
    }
    const CliResult result = RunCli({"--output", "-", "Data/Old"}, tree.Root());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string listing = TextFromNative(result.out);
    for (const auto& row : rows) {
        const std::vector<std::string> lines = LinesStarting(listing, row.name);
        ASSERT_EQ(lines.size(), 1u) << row.name << listing;
        // The line ends with " " and the five letters; h and s are the third and fourth.
        ASSERT_GE(lines[0].size(), 6u) << lines[0];
        EXPECT_EQ(lines[0].substr(lines[0].size() - 3, 2), row.hiddenAndSystem) << lines[0];
    }
}

// Drive C: of the Wine prefix (or of Windows) holds C:\Windows with win.ini in it.
class DriveSelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!kOnWindows)
            GTEST_SKIP() << "drives are Windows paths";
        // Only the folder lines and the files named win.ini: the listing of a whole drive stays short.
        WriteFile(scratch.Path() / "ini.qlc", "[Settings]\n1064=win.ini\n");
    }
    CliResult Restore(const std::string& selection) {
        WriteFile(scratch.Path() / "sel.qls", selection);
        const CliResult result = RunCli({"/o", "ini.qlc", "/l", "sel.qls", "out.txt"}, scratch.Path());
        listing = ReadTextFile(scratch.Path() / "out.txt");
        return result;
    }

    ScratchDir scratch;
    std::string listing;
};

TEST_F(DriveSelectionTest, ASystemFolderAloneWrittenInCapitals) {
    const CliResult result = Restore("2|C:\\WINDOWS\r\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    // The folder as it is named on the disk, with its file, and none of its subfolders' lines.
    EXPECT_EQ(LinesStarting(listing, "c:\\windows\\ (").size(), 1u) << listing;
    EXPECT_EQ(LinesStarting(listing, "win.ini").size(), 1u) << listing;
    EXPECT_EQ(LinesStarting(listing, "c:\\windows\\system32\\").size(), 0u) << listing;
}

TEST_F(DriveSelectionTest, AWholeDrive) {
    const CliResult result = Restore("3|c:\r\n");
    // Other tests make and remove their scratch folders on this drive while it is read (in the
    // temporary folder, or wherever the temporary folder of their environment is): a folder gone
    // meanwhile is a problem reported for that folder only.
    std::istringstream errors(result.err);
    for (std::string line; std::getline(errors, line);)
        EXPECT_TRUE(line.find("\\Temp\\") != std::string::npos ||
                    line.find("\\quillary-test-") != std::string::npos)
            << line;
    EXPECT_EQ(result.exitCode, result.err.empty() ? 0 : 3) << result.err;
    // The drive's own line first ("c:\"), then every folder below it, C:\Windows among them.
    const std::vector<std::string> folders = LinesStarting(listing, "c:\\");
    ASSERT_FALSE(folders.empty()) << listing;
    EXPECT_EQ(folders[0].rfind("c:\\ (", 0), 0u) << listing;
    EXPECT_EQ(LinesStarting(listing, "c:\\windows\\ (").size(), 1u) << listing;
    EXPECT_EQ(LinesStarting(listing, "c:\\windows\\system32\\ (").size(), 1u) << listing;
}

} // namespace
} // namespace quillary::test
