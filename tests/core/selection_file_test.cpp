// Selection files: parsing, saving and loading through an in-memory tree over made-up folders.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "persistence/selection_file.h"
#include "platform/file_io.h"
#include "ui/model/memory_tree.h"
#include "ui/model/tri_state_tree.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;

// Subfolders by folder path; "caf\xE9" is a folder name that is not UTF-8.
const std::map<std::string, std::vector<std::string>> kFolders = {
    {"/", {"a", "Bücher", "caf\xE9", "home"}},
    {"/a/", {"a1", "a2"}},
    {"/home/", {"me"}},
    {"/home/me/", {"work"}},
};

bool ListFolders(const std::string& dirPath, std::vector<std::string>& names) {
    const auto found = kFolders.find(dirPath);
    if (found != kFolders.end())
        names = found->second;
    return true;
}

class SelectionFilesTest : public ::testing::Test {
protected:
    SelectionFilesTest() {
        std::string pattern = (fs::temp_directory_path() / "quillary-selection-XXXXXX").string();
        dir = mkdtemp(pattern.data());
    }
    ~SelectionFilesTest() override { fs::remove_all(dir); }

    std::string Write(const std::string& bytes) {
        const std::string path = (dir / "sel.qls").string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string Contents(const std::string& path) {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(path, bytes));
        return bytes;
    }
    // The selection after loading a file into a fresh tree.
    std::vector<std::string> Loaded(const std::string& path, bool expectRead = true) {
        MemoryDirTree tree(ListFolders);
        RefreshTree(tree);
        EXPECT_EQ(LoadSelection(tree, path, "/home/me"), expectRead);
        std::vector<std::string> out;
        CollectChecked(tree, out);
        return out;
    }

    fs::path dir;
};

TEST(ParseSelectionTest, SplitsLinesAndCodes) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::pair<std::string, bool>> expected; // path, with subfolders
    };
    const Case cases[] = {
        {"both line ends", "3|/a/b\r\n2|/c\n3|/d", {{"/a/b", true}, {"/c", false}, {"/d", true}}},
        {"any code but 2 is with subfolders", "9|/x\n|/y\n22|/z", {{"/x", true}, {"/y", true}, {"/z", true}}},
        {"dot is the current folder unless alone",
         "3|.\n2|.\n3|./",
         {{"/cwd", true}, {".", false}, {"./", true}}},
        {"split at the first bar", "2|/a|b", {{"/a|b", false}}},
        {"lines without a bar are skipped", "\n\r\nno bar\n3|\n\n", {{"", true}}},
        {"byte order mark",
         "\xEF\xBB\xBF"
         "3|/a",
         {{"/a", true}}},
        {"NUL bytes stay in the path", std::string("3|/a\0b", 6), {{std::string("/a\0b", 4), true}}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<std::string, bool>> actual;
        for (const SelectionLine& line : ParseSelectionText(c.text, "/cwd"))
            actual.emplace_back(line.path, line.withSubdirs);
        EXPECT_EQ(actual, c.expected) << c.name;
    }
}

TEST_F(SelectionFilesTest, SavedSelectionLoadsBack) {
    MemoryDirTree tree(ListFolders);
    RefreshTree(tree);
    for (const char* path : {"/a", "/a/a2", "/caf\xE9", "/Bücher", "/home/me/work"})
        ASSERT_TRUE(RestoreCheck(tree, path, std::string(path) != "/a")) << path;
    const std::string path = (dir / "saved.qls").string();
    ASSERT_TRUE(SaveSelection(tree, path));
    const std::string expected = "2|/a\n3|/a/a2\n3|/Bücher\n3|/caf\xE9\n3|/home/me/work\n";
    EXPECT_EQ(Contents(path), expected);
    std::vector<std::string> original;
    CollectChecked(tree, original);
    EXPECT_EQ(Loaded(path), original);

    // A file written with CR LF line ends and other cases. The folder name that is not UTF-8 does not
    // make the file's other lines Windows-1252.
    EXPECT_EQ(Loaded(Write("2|/A\r\n3|/A/A2\r\n3|/bÜCHER\r\n3|/CAF\xE9\r\n3|/Home/me/WORK\r\n")), original);
}

TEST_F(SelectionFilesTest, CurrentFolderAndSpecialLines) {
    EXPECT_EQ(Loaded(Write("3|.\n")), (std::vector<std::string>{"3|/home/me"}));
    EXPECT_TRUE(Loaded(Write("2|.\n")).empty()); // looks for a folder named "."
    EXPECT_TRUE(Loaded(Write("\n\n")).empty());  // not the whole disk
    EXPECT_EQ(Loaded(Write("3|\n")), (std::vector<std::string>{"3|"}));
    EXPECT_EQ(Loaded(Write("3|/B\xFC"
                           "cher\n")),
              (std::vector<std::string>{"3|/Bücher"})); // Windows-1252
    EXPECT_TRUE(Loaded(Write("")).empty());
}

TEST_F(SelectionFilesTest, EntriesThatCannotBeALineAreLeftOut) {
    const std::string path = (dir / "lines.qls").string();
    EXPECT_FALSE(SaveSelection({"3|/a", "3|/x\ny", "3|/z\r", "2|/b"}, path));
    EXPECT_EQ(Contents(path), "3|/a\n2|/b\n");
    EXPECT_FALSE(SaveSelection({"3|/a"}, (dir / "missing" / "x.qls").string()));
    EXPECT_FALSE(SaveSelection({"3|/a"}, dir.string()));
}

TEST_F(SelectionFilesTest, BrokenFilesLoadWithoutHarm) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    const std::string longLine = "3|" + std::string(10 << 20, 'a') + "\n3|/a\n";
    std::string deepPath = "/a";
    while (deepPath.size() < (1 << 20))
        deepPath += deepPath;
    const std::string deepLine = "3|" + deepPath;
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {garbage, {}},
        {std::string("3|\0/a\n\0\0|\0", 11), {}},
        {longLine, {"3|/a"}},
        {deepLine, {}},
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(Loaded(Write(bytes)), expected) << bytes.substr(0, 20);
    EXPECT_TRUE(Loaded((dir / "missing.qls").string(), false).empty());
    EXPECT_TRUE(Loaded(dir.string(), false).empty()); // a folder
}

} // namespace
} // namespace quillary
