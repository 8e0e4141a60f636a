// The tri-state tree rules on a MemoryDirTree: over a made-up folder tree for the state rules, over a
// real folder tree for loading from the disk.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "model/memory_tree.h"
#include "model/tri_state_tree.h"
#include "persistence/selection_file.h"
#include "platform/path_syntax.h"
#include "support/scratch_dir.h"
#include "support/special_files.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;
using enum DirCheck;

// Folders by path ("/a/a1"); a folder's subfolders are listed in the order given.
class FakeDisk {
public:
    FakeDisk(std::initializer_list<std::string> folders) {
        m_dirs["/"];
        for (const std::string& folder : folders) {
            const std::size_t slash = folder.rfind('/');
            m_dirs[folder.substr(0, slash + 1)].push_back(folder.substr(slash + 1));
            m_dirs[folder + "/"];
        }
    }
    void Remove(const std::string& dirPath) { m_dirs.erase(dirPath); } // the folder becomes unreadable
    void Set(const std::string& dirPath, std::vector<std::string> names) {
        m_dirs[dirPath] = std::move(names);
    }

    // A tree over these folders with POSIX paths, on any system.
    MemoryDirTree Tree() { return MemoryDirTree(Lister(), kPosixPaths, {RootFolder{"/", true}}); }

    SubdirectoryLister Lister() {
        return [this](const std::string& dirPath, std::vector<std::string>& names) {
            ++reads[dirPath];
            const auto found = m_dirs.find(dirPath);
            if (found == m_dirs.end())
                return false;
            names = found->second;
            return true;
        };
    }

    std::map<std::string, int> reads; // how often each folder was read

private:
    std::map<std::string, std::vector<std::string>> m_dirs;
};

// The loaded item with this key ("" is the root), or the empty handle.
DirTreeItem Find(const DirTreeAccess& tree, const std::string& key) {
    DirTreeItem item = tree.FirstRoot();
    for (std::size_t start = 1; item && start <= key.size();) {
        const std::size_t end = std::min(key.find('/', start), key.size());
        const std::string name = key.substr(start, end - start);
        DirTreeItem child = tree.FirstChild(item);
        while (child && tree.Text(child) != name)
            child = tree.NextSibling(child);
        item = child;
        start = end + 1;
    }
    return item;
}

std::vector<std::string> Collected(const DirTreeAccess& tree) {
    std::vector<std::string> out;
    CollectChecked(tree, out);
    return out;
}

std::vector<std::string> ChildTexts(const DirTreeAccess& tree, DirTreeItem item) {
    std::vector<std::string> texts;
    for (DirTreeItem child = tree.FirstChild(item); child; child = tree.NextSibling(child))
        texts.push_back(tree.Text(child));
    return texts;
}

// Opens an item as the window does when the user clicks its expand button.
void Open(DirTreeAccess& tree, DirTreeItem item) {
    ExpandItem(tree, item);
    tree.SetExpanded(item);
}

enum class Op { Open, Toggle, ToggleAll }; // Toggle: "with subdirectories" off; ToggleAll: on
struct Step {
    Op op;
    const char* key;
};
struct Scenario {
    const char* name;
    std::vector<Step> steps;
    std::map<std::string, DirCheck> states;
    std::vector<std::string> collected;
};

const std::vector<Scenario> kScenarios = {
    {"folder with subfolders, alone", {{Op::Toggle, "/a"}}, {{"/a", Alone}, {"", PartlyBelow}}, {"2|/a"}},
    {"folder with subfolders, with them",
     {{Op::ToggleAll, "/a"}},
     {{"/a", WithSubdirs}, {"/a/a1", WithSubdirs}, {"", PartlyBelow}},
     {"3|/a"}},
    {"folder without subfolders, alone", {{Op::Toggle, "/lone"}}, {{"/lone", WithSubdirs}}, {"3|/lone"}},
    {"unchecking alone keeps the checked children",
     {{Op::ToggleAll, "/a"}, {Op::Toggle, "/a"}},
     {{"/a", PartlyBelow}, {"/a/a1", WithSubdirs}, {"", PartlyBelow}},
     {"3|/a/a1", "3|/a/a2"}},
    {"the last child checked completes every parent that was alone",
     {{Op::Toggle, ""},
      {Op::ToggleAll, "/b"},
      {Op::ToggleAll, "/lone"},
      {Op::Open, "/a"},
      {Op::Toggle, "/a"},
      {Op::ToggleAll, "/a/a1"},
      {Op::ToggleAll, "/a/a2"}},
     {{"/a", WithSubdirs}, {"", WithSubdirs}},
     {"3|"}},
    {"unchecking the only checked folder clears every ancestor",
     {{Op::Open, "/a"}, {Op::Open, "/a/a1"}, {Op::ToggleAll, "/a/a1/x"}, {Op::ToggleAll, "/a/a1/x"}},
     {{"/a/a1", Unchecked}, {"/a", Unchecked}, {"", Unchecked}},
     {}},
    {"opening hands WithSubdirs down, not Alone",
     {{Op::ToggleAll, "/a"}, {Op::Open, "/a"}, {Op::Open, "/a/a1"}, {Op::Toggle, "/b"}, {Op::Open, "/b"}},
     {{"/a/a1/x", WithSubdirs}, {"/b", Alone}, {"/b/b1", Unchecked}},
     {"3|/a", "2|/b"}},
    {"a child unchecked below a whole folder leaves it alone",
     {{Op::ToggleAll, "/a"}, {Op::ToggleAll, "/a/a2"}},
     {{"/a", Alone}, {"/a/a1", WithSubdirs}, {"/a/a2", Unchecked}, {"", PartlyBelow}},
     {"2|/a", "3|/a/a1"}},
    {"the whole disk minus one folder",
     {{Op::ToggleAll, ""}, {Op::Open, "/b"}, {Op::ToggleAll, "/b/b1"}},
     {{"", Alone}, {"/b", Alone}, {"/a", WithSubdirs}},
     {"2|", "3|/a", "2|/b", "3|/lone"}},
};

class TriStateTreeTest : public ::testing::Test {
protected:
    TriStateTreeTest() {
        RefreshTree(tree);
        Open(tree, tree.FirstRoot()); // the window shows the root's children
    }

    DirTreeItem Item(const std::string& key) {
        const DirTreeItem item = Find(tree, key);
        EXPECT_TRUE(item) << key << " is not loaded";
        return item;
    }
    void Run(const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            const DirTreeItem item = Item(step.key);
            if (!item)
                return;
            if (step.op == Op::Open)
                Open(tree, item);
            else
                ToggleByUser(tree, item, step.op == Op::ToggleAll);
        }
    }

    FakeDisk disk{"/a", "/a/a1", "/a/a1/x", "/a/a2", "/b", "/b/b1", "/lone"};
    MemoryDirTree tree = disk.Tree();
};

TEST_F(TriStateTreeTest, TogglesAncestorsAndCollection) {
    for (const Scenario& scenario : kScenarios) {
        SCOPED_TRACE(scenario.name);
        RefreshTree(tree);
        Open(tree, tree.FirstRoot());
        Run(scenario.steps);
        for (const auto& [key, state] : scenario.states)
            EXPECT_EQ(tree.State(Item(key)), state) << key;
        EXPECT_EQ(Collected(tree), scenario.collected);
    }
}

TEST_F(TriStateTreeTest, RestoringACollectedListRebuildsIt) {
    for (const Scenario& scenario : kScenarios) {
        SCOPED_TRACE(scenario.name);
        RefreshTree(tree);
        Open(tree, tree.FirstRoot());
        Run(scenario.steps);
        MemoryDirTree fresh = disk.Tree();
        RefreshTree(fresh);
        for (const std::string& entry : Collected(tree))
            EXPECT_TRUE(RestoreCheck(fresh, entry.substr(2), entry[0] != '2')) << entry;
        EXPECT_EQ(Collected(fresh), Collected(tree));
    }
}

TEST_F(TriStateTreeTest, RestoreFindsPathsAndTogglesThem) {
    MemoryDirTree fresh = disk.Tree();
    RefreshTree(fresh);
    // The root, on a tree whose root was never opened: it and its loaded children.
    EXPECT_TRUE(RestoreCheck(fresh, "/", true));
    EXPECT_EQ(fresh.State(Find(fresh, "/b")), WithSubdirs);
    EXPECT_EQ(Collected(fresh), (std::vector<std::string>{"3|"}));
    EXPECT_TRUE(RestoreCheck(fresh, "", true)); // the same item again: toggled off
    EXPECT_TRUE(Collected(fresh).empty());

    EXPECT_TRUE(RestoreCheck(fresh, "/A/A1", true)); // names ignore case
    EXPECT_EQ(Collected(fresh), (std::vector<std::string>{"3|/a/a1"}));
    EXPECT_TRUE(fresh.IsExpanded(Find(fresh, "/a")));

    for (const char* missing : {"/a/nope", "/a/a2/deeper", "a/a1", "/a//a1", "/nope/a1"}) {
        EXPECT_FALSE(RestoreCheck(fresh, missing, true)) << missing;
        EXPECT_EQ(Collected(fresh), (std::vector<std::string>{"3|/a/a1"})) << missing;
    }
}

TEST_F(TriStateTreeTest, RestoreReadsOnlyTheFoldersOnThePath) {
    MemoryDirTree fresh = disk.Tree();
    RefreshTree(fresh);
    disk.reads.clear();
    // Each ancestor once to find the next name, and the folder itself: never a sibling's subfolders,
    // and nothing again for a path restored again.
    for (int i = 0; i < 1001; ++i)
        EXPECT_TRUE(RestoreCheck(fresh, "/a/a1", true));
    EXPECT_EQ(disk.reads, (std::map<std::string, int>{{"/a/", 1}, {"/a/a1/", 1}}));
    EXPECT_EQ(Collected(fresh), (std::vector<std::string>{"3|/a/a1"}));
    for (const char* path : {"/a/a1/x", "/lone", "/a/a2", "/A/a1/X"})
        EXPECT_TRUE(RestoreCheck(fresh, path, true)) << path;
    EXPECT_EQ(disk.reads, (std::map<std::string, int>{
                              {"/a/", 1}, {"/a/a1/", 1}, {"/a/a1/x/", 1}, {"/a/a2/", 1}, {"/lone/", 1}}));
    EXPECT_EQ(Collected(fresh), (std::vector<std::string>{"3|/a/a1", "3|/a/a2", "3|/lone"}));
}

TEST_F(TriStateTreeTest, RestoringWhatAUserClickedRebuildsIt) {
    const std::vector<std::string> keys = {"", "/a", "/a/a1", "/a/a1/x", "/a/a2", "/b", "/b/b1", "/lone"};
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        RefreshTree(tree);
        Open(tree, tree.FirstRoot());
        for (int step = random() % 8; step >= 0; --step) {
            if (const DirTreeItem item = Find(tree, keys[random() % keys.size()])) {
                if (random() % 3 == 0)
                    Open(tree, item);
                else
                    ToggleByUser(tree, item, random() % 2 == 0);
            }
        }
        MemoryDirTree fresh = disk.Tree();
        RefreshTree(fresh);
        for (const std::string& entry : Collected(tree))
            EXPECT_TRUE(RestoreCheck(fresh, entry.substr(2), entry[0] != '2')) << entry;
        EXPECT_EQ(Collected(fresh), Collected(tree)) << "round " << round;
    }
}

TEST_F(TriStateTreeTest, RestoringOpensTheWayWithTheExpansionRule) {
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        // /a1 takes /a's state when /a is opened on the way; toggled alone it is unchecked, its
        // subfolders having been loaded unchecked as the window loads them one level ahead.
        {{"3|/a", "2|/a/a1"}, {"2|/a", "3|/a/a2"}},
        {{"3|/a", "3|/a/a1/x"}, {"2|/a", "2|/a/a1", "3|/a/a2"}},
        // Under a folder alone the children keep their states; the last one checked completes it.
        {{"2|/b", "3|/b/b1"}, {"3|/b"}},
        {{"2|/a", "3|/a/a1", "2|/a/a1/x"}, {"2|/a", "2|/a/a1"}},
        // The whole disk but /a: the subfolders of /a were loaded unchecked when /a was toggled.
        {{"3|", "2|/a"}, {"2|", "3|/b", "3|/lone"}},
    };
    for (const auto& [lines, expected] : cases) {
        MemoryDirTree fresh = disk.Tree();
        RefreshTree(fresh);
        for (const std::string& line : lines)
            EXPECT_TRUE(RestoreCheck(fresh, line.substr(2), line[0] != '2')) << line;
        EXPECT_EQ(Collected(fresh), expected) << lines[0] << " " << lines[1];
    }
}

TEST_F(TriStateTreeTest, FoldersCheckedWithSubdirsStayChecked) {
    const std::vector<std::vector<std::string>> orders = {
        {"/a", "/a/a1", "/a", "/lone"}, {"/a/a1", "/a/a2", "/a", "/lone"}, {"/lone", "/a/a1/x", "/a"}};
    for (const std::vector<std::string>& paths : orders) {
        MemoryDirTree fresh = disk.Tree();
        RefreshTree(fresh);
        for (const std::string& path : paths)
            CheckWithSubdirs(fresh, FindPath(fresh, path));
        EXPECT_EQ(Collected(fresh), (std::vector<std::string>{"3|/a", "3|/lone"})) << paths[0];
    }
    // Over a folder alone: it becomes checked with its subfolders, whatever they were.
    RefreshTree(tree);
    EXPECT_TRUE(RestoreCheck(tree, "/b", false));
    CheckWithSubdirs(tree, FindPath(tree, "/b"));
    EXPECT_EQ(Collected(tree), (std::vector<std::string>{"3|/b"}));
    // Finding a path reads the folders on the way, not the folder found.
    disk.reads.clear();
    EXPECT_TRUE(FindPath(tree, "/a/a1/x"));
    EXPECT_FALSE(FindPath(tree, "/a/a1/y"));
    EXPECT_EQ(disk.reads, (std::map<std::string, int>{{"/a/", 1}, {"/a/a1/", 1}}));
}

// The MemoryDirTree's index and state counts answer as the plain walks of DirTreeAccess do.
TEST(TriStateTree, IndexedLookupsAnswerLikeWalks) {
    FakeDisk disk{"/Data", "/data", "/DATA", "/DATA/x", "/caf\xE9", "/CAF\xE9", "/Über", "/über", "/z"};
    MemoryDirTree tree = disk.Tree();
    RefreshTree(tree);
    const DirTreeItem root = tree.FirstRoot();
    const DirTreeAccess& plain = tree;
    const auto check = [&] {
        for (const char* name : {"data", "Data", "DATA", "dAtA", "caf\xE9", "Caf\xE9", "CAF\xC9", "über",
                                 "ÜBER", "z", "Z", "y", "", "/"}) {
            EXPECT_EQ(tree.FindChild(root, name), plain.DirTreeAccess::FindChild(root, name)) << name;
        }
        EXPECT_EQ(tree.FindChild({}, "/"), root);
        for (DirCheck state : {Unchecked, WithSubdirs, Alone, PartlyBelow})
            EXPECT_EQ(tree.AllChildrenIn(root, state), plain.DirTreeAccess::AllChildrenIn(root, state));
    };
    check();
    EXPECT_EQ(tree.Text(tree.FindChild(root, "dAtA")), "DATA"); // the first in sibling order
    ToggleByUser(tree, root, true);
    check();
    tree.DeleteItem(tree.FindChild(root, "DATA"));
    tree.SetState(tree.FindChild(root, "z"), Alone);
    check();
    disk.Set("/", {"z", "data", "Zz", "DATA"});
    SyncChildren(tree, root, "/");
    check();
    for (DirTreeItem child = tree.FirstChild(root); child; child = tree.NextSibling(child))
        tree.SetState(child, WithSubdirs);
    check();
}

TEST(TriStateTree, RestorePrefersTheExactName) {
    FakeDisk disk{"/Data", "/data", "/DATA", "/DATA/x"};
    MemoryDirTree tree = disk.Tree();
    RefreshTree(tree);
    EXPECT_TRUE(RestoreCheck(tree, "/data", true));
    EXPECT_TRUE(RestoreCheck(tree, "/dAtA", false)); // no exact match: the first one ignoring case
    EXPECT_EQ(Collected(tree), (std::vector<std::string>{"2|/DATA", "3|/data"}));
}

TEST_F(TriStateTreeTest, SyncKeepsSurvivorsInPlace) {
    Open(tree, Item("/a"));
    const DirTreeItem a1 = Item("/a/a1");
    ToggleByUser(tree, a1, true);
    Open(tree, a1);
    // a1 survives; a2 vanishes and comes back under another case; new folders arrive unsorted.
    disk.Set("/a/", {"zz", "a1", "A2", "m"});
    SyncChildren(tree, Item("/a"), "/a/");
    EXPECT_EQ(ChildTexts(tree, Item("/a")), (std::vector<std::string>{"a1", "A2", "m", "zz"}));
    EXPECT_EQ(Item("/a/a1"), a1);
    EXPECT_EQ(tree.State(a1), WithSubdirs);
    EXPECT_TRUE(tree.IsExpanded(a1));
    EXPECT_EQ(ChildTexts(tree, a1), (std::vector<std::string>{"x"}));
    EXPECT_EQ(tree.State(Item("/a/A2")), Unchecked);

    // Nothing new: the children keep their order, even unsorted; a child not on disk goes.
    const DirTreeItem lone = Item("/lone");
    for (const char* name : {"q", "stray", "p"})
        tree.AppendItem(lone, name);
    disk.Set("/lone/", {"p", "q"});
    SyncChildren(tree, lone, "/lone/");
    EXPECT_EQ(ChildTexts(tree, lone), (std::vector<std::string>{"q", "p"}));
    disk.Set("/lone/", {"p", "q", "o"});
    SyncChildren(tree, lone, "/lone/");
    EXPECT_EQ(ChildTexts(tree, lone), (std::vector<std::string>{"o", "p", "q"}));

    // An unreadable folder has no children.
    disk.Remove("/a/");
    SyncChildren(tree, Item("/a"), "/a/");
    EXPECT_FALSE(tree.FirstChild(Item("/a")));
}

// The tree's key of a folder on this disk: its path, with a drive letter in lower case ("c:\Temp").
std::string KeyOf(const fs::path& path) {
    std::string key = path.string();
    if (kNativePaths.DrivePartLength(key) != 0)
        key[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(key[0])));
    return key;
}

TEST(TriStateTree, MemoryTreeLoadsFoldersFromTheDisk) {
    const test::ScratchDir scratch;
    const fs::path root = fs::canonical(scratch.Path()); // the tree knows no symbolic links
    for (const char* dir : {"top/.hidden", "top/b/b1", "top/Mixed Case", "top/Über"})
        fs::create_directories(root / test::Utf8Path(dir));
    std::ofstream(root / "top" / "file.txt") << "x";
    test::MakeSymlink(root / "top" / "b", root / "top" / "link", true); // left out, where there is one
    const std::string top = KeyOf(root / "top");

    MemoryDirTree tree;
    RefreshTree(tree);
    // Checking a folder alone needs its children, which opening its parent loads.
    EXPECT_TRUE(RestoreCheck(tree, top, false));
    const DirTreeItem topItem = FindPath(tree, top);
    ASSERT_TRUE(topItem);
    EXPECT_EQ(ItemDirPath(tree, topItem), top + kPathSeparator);
    EXPECT_EQ(ChildTexts(tree, topItem), (std::vector<std::string>{".hidden", "b", "Mixed Case", "Über"}));
    EXPECT_EQ(tree.State(topItem), Alone);
    EXPECT_TRUE(RestoreCheck(tree, KeyOf(root / "TOP") + kPathSeparator + "üBER", true));
    EXPECT_EQ(Collected(tree), (std::vector<std::string>{"2|" + top, "3|" + top + kPathSeparator + "Über"}));

    fs::remove_all(root / "top" / "b");
    SyncChildren(tree, topItem, ItemDirPath(tree, topItem));
    EXPECT_EQ(ChildTexts(tree, topItem).size(), 3u);
}

} // namespace
} // namespace quillary
