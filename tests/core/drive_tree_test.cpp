// The tree rules with Windows paths, on any system: drive roots "c:" in drive order, floppy drives read
// only when wanted, "\" keys, drives and names matched ignoring case, network shares; and selection
// lines in Windows form.
#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <string>
#include <vector>

#include "model/memory_tree.h"
#include "model/tri_state_tree.h"
#include "persistence/selection_file.h"
#include "platform/path_syntax.h"

namespace quillary {
namespace {

using enum DirCheck;

// Folders by path ("c:\Data\x", "\\srv\share\dir"); each drive or share named in `roots` exists.
class WindowsDisk {
public:
    WindowsDisk(std::initializer_list<std::string> roots, std::initializer_list<std::string> folders) {
        for (const std::string& root : roots)
            m_dirs[root + "\\"];
        for (const std::string& folder : folders) {
            const std::size_t slash = folder.rfind('\\');
            m_dirs[folder.substr(0, slash + 1)].push_back(folder.substr(slash + 1));
            m_dirs[folder + "\\"];
        }
    }

    // A tree with the drives a: to d: as a Windows machine lists them.
    MemoryDirTree Tree() {
        return MemoryDirTree(
            [this](const std::string& dirPath, std::vector<std::string>& names) {
                ++reads[dirPath];
                const auto found = m_dirs.find(dirPath);
                if (found == m_dirs.end())
                    return false;
                names = found->second;
                return true;
            },
            kWindowsPaths, {{"a:", false}, {"b:", false}, {"c:", true}, {"d:", true}});
    }

    std::map<std::string, int> reads; // how often each folder was read

private:
    std::map<std::string, std::vector<std::string>> m_dirs;
};

std::vector<std::string> Collected(const DirTreeAccess& tree) {
    std::vector<std::string> out;
    CollectChecked(tree, out);
    return out;
}

std::vector<std::string> RootTexts(const DirTreeAccess& tree) {
    std::vector<std::string> texts;
    for (DirTreeItem item = tree.FirstRoot(); item; item = tree.NextSibling(item))
        texts.push_back(tree.Text(item));
    return texts;
}

class DriveTreeTest : public ::testing::Test {
protected:
    DriveTreeTest() { RefreshTree(tree); }

    WindowsDisk disk{{"a:", "c:", "d:", "\\\\srv\\share"},
                     {"a:\\Old", "c:\\Data", "c:\\Data\\x", "c:\\Windows", "c:\\Windows\\System32",
                      "d:\\Games", "\\\\srv\\share\\dir"}};
    MemoryDirTree tree = disk.Tree();
};

TEST_F(DriveTreeTest, DrivesAreTheRootsAndFloppiesAreReadOnlyWhenWanted) {
    EXPECT_EQ(RootTexts(tree), (std::vector<std::string>{"a:", "b:", "c:", "d:"}));
    EXPECT_EQ(disk.reads, (std::map<std::string, int>{{"c:\\", 1}, {"d:\\", 1}}));
    const DirTreeItem a = tree.FirstRoot();
    EXPECT_FALSE(tree.ChildrenLoaded(a));

    const DirTreeItem windows = FindPath(tree, "c:\\Windows");
    ASSERT_TRUE(windows);
    EXPECT_EQ(ItemKey(tree, windows), "c:\\Windows");
    EXPECT_EQ(ItemDirPath(tree, windows), "c:\\Windows\\");
    EXPECT_EQ(ItemKey(tree, tree.Parent(windows)), "c:");
    EXPECT_EQ(ItemDirPath(tree, tree.Parent(windows)), "c:\\");

    // Opening a floppy drive reads it (and its subfolders, one level ahead).
    ExpandItem(tree, a);
    EXPECT_EQ(disk.reads["a:\\"], 1);
    EXPECT_EQ(disk.reads["a:\\Old\\"], 1);
    EXPECT_EQ(tree.Text(tree.FirstChild(a)), "Old");
}

TEST_F(DriveTreeTest, RestoreMatchesDrivesAndNamesIgnoringCase) {
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"3|C:\\Data", "2|C:\\WINDOWS"}, {"3|c:\\Data", "2|c:\\Windows"}},
        {{"3|c:"}, {"3|c:"}},
        {{"3|D:\\", "2|c:/data/X"}, {"3|c:\\Data\\x", "3|d:"}}, // "/" separates too
        {{"3|a:", "2|c:"}, {"3|a:", "2|c:"}},                   // a floppy drive is read to be checked
        {{"3|\\\\srv\\share\\DIR", "3|d:"}, {"3|d:", "3|\\\\srv\\share\\dir"}},
    };
    for (const auto& [lines, expected] : cases) {
        MemoryDirTree fresh = disk.Tree();
        RefreshTree(fresh);
        for (const std::string& line : lines)
            EXPECT_TRUE(RestoreCheck(fresh, line.substr(2), line[0] != '2')) << line;
        EXPECT_EQ(Collected(fresh), expected) << lines[0];
    }

    // With "c:" checked with subfolders, its loaded children are too; the drive's entry covers them.
    EXPECT_TRUE(RestoreCheck(tree, "c:", true));
    EXPECT_EQ(tree.State(FindPath(tree, "c:\\Windows")), WithSubdirs);

    // Not in the tree: a drive that is not there, paths that depend on the current drive or folder.
    for (const char* missing :
         {"e:\\x", "e:", "\\Data", "Data", "c:Data", "c:\\Nope", "", "\\\\srv\\gone\\x"})
        EXPECT_FALSE(FindPath(tree, missing)) << missing;
    EXPECT_EQ(RootTexts(tree).size(), 4u); // the unreadable share was not added
}

TEST(DriveTree, RestorePrefersTheExactName) {
    WindowsDisk disk{{"c:"}, {"c:\\Data", "c:\\DATA", "c:\\DATA\\x"}};
    MemoryDirTree tree = disk.Tree();
    RefreshTree(tree);
    EXPECT_TRUE(RestoreCheck(tree, "C:\\Data", true));
    EXPECT_TRUE(RestoreCheck(tree, "c:\\dAtA", false)); // no exact match: the first one ignoring case
    EXPECT_EQ(Collected(tree), (std::vector<std::string>{"2|c:\\DATA", "3|c:\\Data"}));
}

TEST_F(DriveTreeTest, ASharePathAddsTheShareOnce) {
    EXPECT_TRUE(RestoreCheck(tree, "\\\\srv\\share\\dir", true));
    EXPECT_TRUE(RestoreCheck(tree, "\\\\SRV\\SHARE", false));
    EXPECT_EQ(RootTexts(tree), (std::vector<std::string>{"a:", "b:", "c:", "d:", "\\\\srv\\share"}));
    EXPECT_EQ(Collected(tree), (std::vector<std::string>{"3|\\\\srv\\share"}));
    const DirTreeItem dir = FindPath(tree, "\\\\srv\\share\\dir\\");
    ASSERT_TRUE(dir);
    EXPECT_EQ(ItemDirPath(tree, dir), "\\\\srv\\share\\dir\\");
    EXPECT_EQ(disk.reads["\\\\srv\\share\\"], 1);
}

// Selection lines in Windows form: only a path that depends on the current drive or folder, or that has
// "." or "..", is resolved first; a drive or an absolute path is looked up as it is.
TEST_F(DriveTreeTest, SelectionLinesResolveOnlyWhatNeedsIt) {
    std::vector<std::string> resolved;
    const PathResolver resolve = [&](const std::string& path) -> CanonicalPathResult {
        resolved.push_back(path);
        if (path == "\\Data" || path == "c:\\Windows\\..\\Data")
            return {"c:\\Data", 0, false};
        return {{}, ENOENT, false};
    };
    const ParsedSelection parsed =
        ParseSelectionText("3|C:\\Windows\n2|c:\n3|\\Data\n3|c:\\Windows\\..\\Data\n"
                           "3|\\\\srv\\share\\dir\n3|.\n2|c:\\\n3|\n");
    RestoreReport report;
    for (const SelectionLine& line : parsed.lines)
        RestoreSelectionLine(tree, line, report, resolve);
    EXPECT_EQ(resolved, (std::vector<std::string>{"\\Data", "c:\\Windows\\..\\Data", "."}));
    std::vector<std::size_t> missing;
    for (const RestoreIssue& issue : report.issues)
        missing.push_back(issue.line);
    EXPECT_EQ(missing, (std::vector<std::size_t>{6, 8})); // "." is not there; "" is no root on Windows
    // c: was checked alone by line 2 and unchecked by line 7 ("c:\" is "c:"); c:\Data was checked by
    // line 3 and unchecked by line 4, which names it another way.
    EXPECT_EQ(Collected(tree), (std::vector<std::string>{"3|c:\\Windows", "3|\\\\srv\\share\\dir"}));
}

} // namespace
} // namespace quillary
