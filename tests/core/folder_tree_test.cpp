// The folder tree: paths made from names, lookups by path, and the listing order worked out a level at
// a time, checked against sorting the whole paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/folder_tree.h"
#include "engine/sorting.h"
#include "platform/path_syntax.h"

namespace quillary {
namespace {

// Names whose order as parts of a path differs from their order alone: "a" before "a b" and "a-b",
// yet "a/x" after them ('/' sorts after ' ' and '-'); case twins ("A", "a"; "K" and the Kelvin sign;
// "É", "é") whose subfolders interleave; bytes that are not UTF-8.
const std::vector<std::string> kNames = {"a",  "A", "a b",          "a-b",      "a.b",      "ab",   "b",
                                         "K",  "k", "\xE2\x84\xAA", "\xC3\x89", "\xC3\xA9", "\xE2", "\xFF",
                                         "a0", "_"};

// A path written with "/" in the system's separator.
std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '/', kPathSeparator);
    return path;
}

std::string Join(const std::vector<DirRecord*>& dirs) {
    std::string text;
    for (const DirRecord* dir : dirs)
        text += PathOf(*dir) + "\n";
    return text;
}

// A random tree under the given roots: up to four levels, names drawn from kNames.
void Grow(FolderTree& tree, DirRecord& dir, std::mt19937& random, int levels) {
    if (levels == 0)
        return;
    std::vector<std::string> names = kNames;
    std::shuffle(names.begin(), names.end(), random);
    names.resize(random() % 6);
    for (const std::string& name : names)
        Grow(tree, tree.AddSubfolder(dir, name), random, levels - 1);
    FolderTree::SortSubfolders(dir);
}

TEST(FolderTreeTest, PathOrderLevelByLevelIsTheOrderOfWholePaths) {
    // One root; roots inside one another and sharing the start of their paths; case twins as roots.
    const std::vector<std::vector<std::string>> rootSets = {
        {"/top"}, {"/r", "/r/a/x", "/r-s", "/r s/t"}, {"/R", "/r"}, {""}};
    for (std::uint32_t seed = 1; seed <= 30; ++seed) {
        for (const auto& roots : rootSets) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", first root \"" + roots[0] + "\"");
            std::mt19937 random(seed);
            FolderTree tree;
            for (const std::string& root : roots)
                Grow(tree, tree.AddRoot(Native(root)), random, 4);
            std::vector<DirRecord*> all;
            for (DirRecord& dir : tree)
                all.push_back(&dir);
            for (const bool ignoreCase : {true, false}) {
                std::vector<DirRecord*> expected = all;
                std::sort(expected.begin(), expected.end(), [ignoreCase](DirRecord* a, DirRecord* b) {
                    return ignoreCase ? CompareNames(PathOf(*a), PathOf(*b)) < 0 : PathOf(*a) < PathOf(*b);
                });
                EXPECT_EQ(Join(FoldersByPath(tree, ignoreCase)), Join(expected))
                    << "ignoring case: " << ignoreCase;
            }
        }
    }
}

TEST(FolderTreeTest, FindsFoldersBelowNestedRootsAndMakesPathsInOneBuffer) {
    FolderTree tree;
    DirRecord& top = tree.AddRoot(Native("/t"));
    DirRecord& a = tree.AddSubfolder(top, "a");
    DirRecord& b = tree.AddSubfolder(a, "b");
    DirRecord& other = tree.AddRoot(Native("/t/a/x")); // selected on its own, not (yet) reached from /t
    DirRecord& y = tree.AddSubfolder(other, "y");
    DirRecord& z = tree.AddSubfolder(top, "z");
    tree.AddRoot(Native("/t-b")); // roots beside /t, not below it
    tree.AddRoot(Native("/tb"));
    for (DirRecord& dir : tree)
        FolderTree::SortSubfolders(dir);

    EXPECT_EQ(tree.Find(Native("/t/a/b")), &b);
    EXPECT_EQ(tree.Find(Native("/t/a/x/y")), &y);
    EXPECT_EQ(tree.Find(Native("/t/a/q")), nullptr);
    EXPECT_EQ(tree.Find(Native("/t/a/b/")), nullptr);
    EXPECT_EQ(tree.Find(Native("/u")), nullptr);
    EXPECT_EQ(tree.RootsBelow(Native("/t")), std::vector<DirRecord*>{&other});
    EXPECT_TRUE(tree.RootsBelow(Native("/t/a/x")).empty());

    // Up and down and across roots, each path as a whole walk up would make it.
    FolderPath paths;
    for (const DirRecord* dir : {&b, &y, &a, &top, &z, &b, &other, &b, &y})
        EXPECT_EQ(paths.Of(*dir), PathOf(*dir));

    // Reached from /t at last: the root moves in with what lies below it.
    tree.MoveUnder(other, a, "x");
    FolderTree::SortSubfolders(a);
    EXPECT_EQ(tree.Roots().size(), 3u);
    EXPECT_EQ(y.depth, 3u);
    EXPECT_EQ(PathOf(y), Native("/t/a/x/y"));
    EXPECT_EQ(tree.Find(Native("/t/a/x/y")), &y);
    FolderPath fresh;
    EXPECT_EQ(fresh.Of(y), Native("/t/a/x/y"));
    EXPECT_EQ(fresh.Of(b), Native("/t/a/b"));
}

} // namespace
} // namespace quillary
