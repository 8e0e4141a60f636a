// The tri-state folder tree on a MemoryTree over a real folder tree, and selection files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "persistence/selection_file.h"
#include "ui/model/folder_tree.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;

class FolderTreeTest : public ::testing::Test {
protected:
    FolderTreeTest() {
        std::string pattern = (fs::temp_directory_path() / "quillary-tree-XXXXXX").string();
        root = mkdtemp(pattern.data());
        for (const char* dir : {"top/a/a1", "top/a/a2", "top/b", "top/Mixed Case/x", "lone"})
            fs::create_directories(root / dir);
        tree.Refresh();
    }
    ~FolderTreeTest() override { fs::remove_all(root); }

    // Finds an item by path, expanding as the window would when the user opens the folders.
    TreeItem Item(const std::string& relative) {
        std::string path = root.string() + (relative.empty() ? "" : "/" + relative);
        TreeItem item = memory.FirstRoot();
        std::size_t start = 1;
        while (start <= path.size()) {
            const std::size_t slash = path.find('/', start);
            const std::string part =
                path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
            tree.Expand(item);
            TreeItem child = memory.FirstChild(item);
            while (child != kNoItem && memory.Text(child) != part)
                child = memory.NextSibling(child);
            EXPECT_NE(child, kNoItem) << part;
            item = child;
            if (slash == std::string::npos)
                break;
            start = slash + 1;
        }
        return item;
    }
    int State(const std::string& relative) { return memory.State(Item(relative)); }
    std::vector<std::string> Collected() {
        std::vector<std::string> out;
        tree.CollectChecked(out);
        const std::string prefix = root.string();
        for (std::string& entry : out) {
            if (entry.compare(2, prefix.size(), prefix) == 0)
                entry = entry.substr(0, 2) + "~" + entry.substr(2 + prefix.size());
        }
        return out;
    }

    fs::path root;
    MemoryTree memory;
    FolderTree tree{memory};
};

TEST_F(FolderTreeTest, CheckingFoldersInBothModes) {
    tree.ToggleCheck(Item("top"), false);
    EXPECT_EQ(State("top"), kCheckedAlone);
    EXPECT_EQ(Collected(), (std::vector<std::string>{"2|~/top"}));
    tree.ToggleCheck(Item("top"), false); // back off
    tree.ToggleCheck(Item("top"), true);
    EXPECT_EQ(State("top"), kCheckedAll);
    EXPECT_EQ(State("top/a/a1"), kCheckedAll); // loaded descendants follow
    EXPECT_EQ(Collected(), (std::vector<std::string>{"3|~/top"}));
    // A folder without subfolders is checked with everything in both modes.
    tree.ToggleCheck(Item("lone"), false);
    EXPECT_EQ(State("lone"), kCheckedAll);
}

TEST_F(FolderTreeTest, AncestorsFollowTheirChildren) {
    tree.ToggleCheck(Item("top"), false); // checked alone
    tree.ToggleCheck(Item("top/a"), true);
    tree.ToggleCheck(Item("top/b"), true);
    EXPECT_EQ(State("top"), kCheckedAlone);
    tree.ToggleCheck(Item("top/Mixed Case"), true); // the last child: the parent becomes "with all"
    EXPECT_EQ(State("top"), kCheckedAll);
    // Unchecking with the flag off leaves the children checked: the parent shows "partly below".
    tree.ToggleCheck(Item("top"), false);
    EXPECT_EQ(State("top"), kPartlyBelow);
    const auto collected = Collected();
    ASSERT_EQ(collected.size(), 3u);
    EXPECT_EQ(collected[0], "3|~/top/a");
    // Unchecking the only checked folder returns every ancestor to unchecked.
    for (const char* child : {"top/a", "top/b", "top/Mixed Case"})
        tree.ToggleCheck(Item(child), true);
    EXPECT_EQ(State("top"), kUnchecked);
    EXPECT_EQ(State(""), kUnchecked);
    EXPECT_EQ(memory.State(memory.FirstRoot()), kUnchecked);
}

TEST_F(FolderTreeTest, RestoringACollectedListRebuildsTheSameStates) {
    tree.ToggleCheck(Item("top"), false);
    tree.ToggleCheck(Item("top/a/a2"), true);
    tree.ToggleCheck(Item("lone"), true);
    const std::vector<std::string> before = Collected();
    std::vector<std::string> raw;
    tree.CollectChecked(raw);

    MemoryTree fresh;
    FolderTree restored(fresh);
    restored.Refresh();
    for (const std::string& entry : raw)
        EXPECT_TRUE(restored.RestoreCheck(entry.substr(2), entry[0] != '2')) << entry;
    std::vector<std::string> after;
    restored.CollectChecked(after);
    EXPECT_EQ(after, raw);
    EXPECT_EQ(before.size(), 3u);
}

TEST_F(FolderTreeTest, RestoreIgnoresCaseAndMissingPaths) {
    EXPECT_TRUE(tree.RestoreCheck(root.string() + "/TOP/mixed case", true));
    EXPECT_EQ(Collected(), (std::vector<std::string>{"3|~/top/Mixed Case"}));
    EXPECT_FALSE(tree.RestoreCheck(root.string() + "/top/nope", true));
    // Restoring the same path twice toggles it back off.
    EXPECT_TRUE(tree.RestoreCheck(root.string() + "/top/Mixed Case", true));
    EXPECT_TRUE(Collected().empty());
    // The root itself is the whole disk.
    EXPECT_TRUE(tree.RestoreCheck("", true));
    EXPECT_EQ(Collected(), (std::vector<std::string>{"3|"}));
}

TEST_F(FolderTreeTest, SyncKeepsSurvivorsAndDropsVanishedFolders) {
    tree.ToggleCheck(Item("top/b"), true);
    fs::remove_all(root / "top" / "a");
    fs::create_directory(root / "top" / "c");
    tree.SyncChildren(Item("top"));
    std::vector<std::string> names;
    for (TreeItem child = memory.FirstChild(Item("top")); child != kNoItem; child = memory.NextSibling(child))
        names.push_back(memory.Text(child));
    EXPECT_EQ(names, (std::vector<std::string>{"b", "c", "Mixed Case"}));
    EXPECT_EQ(State("top/b"), kCheckedAll);
}

TEST(SelectionFileTest, ParsesLinesOfBothLineEnds) {
    const auto lines = ParseSelectionText("3|/a/b\r\n2|/c\n3|.\n2|.\nno bar\n\n9|/d", "/cwd");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].path, "/a/b");
    EXPECT_TRUE(lines[0].withSubdirs);
    EXPECT_FALSE(lines[1].withSubdirs);
    EXPECT_EQ(lines[2].path, "/cwd");  // "." is the current folder
    EXPECT_EQ(lines[3].path, ".");     // but not for a folder alone
    EXPECT_TRUE(lines[4].withSubdirs); // any code but "2" means with subfolders
    EXPECT_TRUE(ParseSelectionText(std::string("\0\xFF|\0", 4), "/").size() == 1);
}

TEST(SelectionFileTest, RoundTripAndUnreadableFiles) {
    const fs::path dir = fs::temp_directory_path() / "quillary-selection-test";
    fs::create_directories(dir);
    const std::string path = (dir / "sel.qls").string();
    ASSERT_TRUE(SaveSelection({"3|/x", "2|/y"}, path));
    std::string text;
    ASSERT_TRUE(ReadSelectionText(path, text));
    EXPECT_EQ(text, "3|/x\n2|/y\n");
    EXPECT_FALSE(ReadSelectionText((dir / "missing.qls").string(), text));
    EXPECT_FALSE(ReadSelectionText(dir.string(), text)); // a folder
    fs::remove_all(dir);
}

} // namespace
} // namespace quillary
