// Selection files and folders named on a command line: parsing, saving, and restoring through an
// in-memory tree over made-up folders; canonical paths on the real disk.
#include <gtest/gtest.h>

#include <cerrno>

#include <filesystem>
#include <fstream>
#include <map>

#include "model/memory_tree.h"
#include "model/tri_state_tree.h"
#include "persistence/selection_file.h"
#include "platform/canonical_path.h"
#include "platform/file_io.h"
#include "support/scratch_dir.h"
#include "support/special_files.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;

// Subfolders by folder path. "caf\xE9" is a folder name that is not UTF-8 and "café" its UTF-8 twin.
const std::map<std::string, std::vector<std::string>> kFolders = {
    {"/", {"a", "Bücher", "café", "caf\xE9", "home"}},
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

// A tree over those folders with POSIX paths, on any system.
MemoryDirTree FakeTree() {
    return MemoryDirTree(ListFolders, kPosixPaths, {RootFolder{"/", true}});
}

// Resolves paths on a made-up disk whose current folder is /home/me and where /home/link points to /a.
CanonicalPathResult FakeResolve(const std::string& path) {
    static const std::map<std::string, std::string> kResolved = {
        {".", "/home/me"},
        {"./work", "/home/me/work"},
        {"work", "/home/me/work"},
        {"..", "/home"},
        {"/a/../home/./me", "/home/me"},
        {"//home/me", "/home/me"},
        {"/home//me/", "/home/me"},
        {"/home/link", "/a"},
        {"/home/link/a1", "/a/a1"},
        {"/", "/"},
        {"/a", "/a"},
        {"/a/a1", "/a/a1"},
        {"/caf\xE9", "/caf\xE9"},
        {"/home/f", "/home/f"},
    };
    const auto found = kResolved.find(path);
    if (found == kResolved.end())
        return {{}, ENOENT, false};
    return {found->second, 0, false};
}

// The current folder was deleted.
CanonicalPathResult NoCurrentFolder(const std::string& path) {
    return path.starts_with('/') ? FakeResolve(path) : CanonicalPathResult{{}, ENOENT, true};
}

std::vector<std::string> Collected(const DirTreeAccess& tree) {
    std::vector<std::string> out;
    CollectChecked(tree, out);
    return out;
}

// Issues as "kind line text[: reason]" for comparing.
std::vector<std::string> Described(const RestoreReport& report) {
    std::vector<std::string> out;
    for (const RestoreIssue& issue : report.issues) {
        out.push_back((issue.kind == RestoreIssue::Kind::Ignored ? "ignored " : "missing ") +
                      std::to_string(issue.line) + " " + issue.text +
                      (issue.reason.empty() ? "" : ": " + issue.reason));
    }
    return out;
}

class SelectionFilesTest : public ::testing::Test {
protected:
    SelectionFilesTest() { RefreshTree(tree); }

    std::string Write(const std::string& bytes) {
        const std::string path = (dir / "sel.qls").string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string Contents(const std::string& path) {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(path, bytes));
        return test::ReadTextFile(path);
    }
    // The selection after loading a file into a fresh tree.
    std::vector<std::string> Loaded(const std::string& path, bool expectRead = true) {
        MemoryDirTree fresh = FakeTree();
        RefreshTree(fresh);
        report = LoadSelection(fresh, path, FakeResolve);
        EXPECT_EQ(report.fileRead, expectRead);
        return Collected(fresh);
    }

    test::ScratchDir scratch;
    const fs::path& dir = scratch.Path();
    MemoryDirTree tree = FakeTree();
    RestoreReport report;
};

TEST(ParseSelectionTest, SplitsLinesAndCodes) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::pair<std::string, bool>> expected; // path, with subfolders
        std::vector<std::size_t> ignoredLines;
    };
    const Case cases[] = {
        {"both line ends", "3|/a/b\r\n2|/c\n3|/d", {{"/a/b", true}, {"/c", false}, {"/d", true}}, {}},
        {"codes other than 2 and 3 are ignored",
         "9|/x\n|/y\n22|/z\nx|\n|\n3|/w",
         {{"/w", true}},
         {1, 2, 3, 4, 5}},
        {"dot stays for the restore to resolve", "3|.\n2|.", {{".", true}, {".", false}}, {}},
        {"split at the first bar", "2|/a|b", {{"/a|b", false}}, {}},
        {"empty lines are skipped, lines without a bar ignored", "\n\r\nno bar\n3|\n\n", {{"", true}}, {3}},
        {"byte order mark",
         "\xEF\xBB\xBF"
         "3|/a",
         {{"/a", true}},
         {}},
        {"NUL bytes stay in the path", std::string("3|/a\0b", 6), {{std::string("/a\0b", 4), true}}, {}},
    };
    for (const Case& c : cases) {
        const ParsedSelection parsed = ParseSelectionText(c.text);
        std::vector<std::pair<std::string, bool>> actual;
        for (const SelectionLine& line : parsed.lines)
            actual.emplace_back(line.path, line.withSubdirs);
        EXPECT_EQ(actual, c.expected) << c.name;
        std::vector<std::size_t> ignored;
        for (const RestoreIssue& issue : parsed.ignored)
            ignored.push_back(issue.line);
        EXPECT_EQ(ignored, c.ignoredLines) << c.name;
    }
}

TEST_F(SelectionFilesTest, SavedSelectionLoadsBack) {
    for (const char* path : {"/a", "/a/a2", "/caf\xE9", "/Bücher", "/home/me/work"})
        ASSERT_TRUE(RestoreCheck(tree, path, std::string(path) != "/a")) << path;
    const std::string path = (dir / "saved.qls").string();
    ASSERT_TRUE(SaveSelection(tree, path));
    const std::string expected = "2|/a\n3|/a/a2\n3|/Bücher\n3|/caf\xE9\n3|/home/me/work\n";
    EXPECT_EQ(Contents(path), expected);
    const std::vector<std::string> original = Collected(tree);
    EXPECT_EQ(Loaded(path), original);
    EXPECT_TRUE(report.issues.empty());

    // A file written with CR LF line ends and other cases. The folder name that is not UTF-8 is found
    // by its bytes, not as "café" read from Windows-1252, and does not make the file's other lines
    // Windows-1252.
    EXPECT_EQ(Loaded(Write("2|/A\r\n3|/A/A2\r\n3|/bÜCHER\r\n3|/CAF\xE9\r\n3|/Home/me/WORK\r\n")), original);
    // Written on Windows in Windows-1252 for folders whose names are UTF-8 here.
    EXPECT_EQ(Loaded(Write("3|/B\xFC"
                           "cher\n3|/caf\xC9\n")),
              (std::vector<std::string>{"3|/Bücher", "3|/café"}));
}

TEST_F(SelectionFilesTest, RelativeAndDottedPathsAreResolved) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"3|.\n", {"3|/home/me"}},
        {"2|.\n", {"2|/home/me"}},
        {"3|./work\n3|/a/../home/./me\n", {"3|/home/me"}},
        {"3|//home/me\n", {"3|/home/me"}},
        {"2|/home//me/\n", {"2|/home/me"}},
        {"3|work\n", {"3|/home/me/work"}},
        {"3|/home/link/a1\n", {}}, // a line is looked up as written: no folder "link"
        {"3|\n", {"3|"}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Loaded(Write(text)), expected) << text;

    MemoryDirTree fresh = FakeTree();
    RefreshTree(fresh);
    const RestoreReport gone = LoadSelection(fresh, Write("3|/a\n3|.\n"), NoCurrentFolder);
    EXPECT_NE(gone.error.find("current folder"), std::string::npos);
    EXPECT_EQ(Collected(fresh), (std::vector<std::string>{"3|/a"})); // never the root
}

TEST_F(SelectionFilesTest, ReportListsIgnoredAndMissingLinesInOrder) {
    EXPECT_EQ(Loaded(Write("3|/a\n|\nx|/a\n3|/nope\n2|./gone\n3|/a\n3|/a/a9\nhello\n")),
              std::vector<std::string>{});
    EXPECT_EQ(Described(report), (std::vector<std::string>{
                                     "ignored 2 |",
                                     "ignored 3 x|/a",
                                     "missing 4 /nope",
                                     "missing 5 ./gone: No such file or directory",
                                     "missing 7 /a/a9",
                                     "ignored 8 hello",
                                 }));
    EXPECT_TRUE(report.error.empty());
}

TEST_F(SelectionFilesTest, FoldersAreCheckedNeverToggled) {
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"/a", "/a"}, {"3|/a"}},
        {{"/a", "/a/a1"}, {"3|/a"}},
        {{"/a/a1", "/a"}, {"3|/a"}},
        {{"/home/link/a1", "/a/../home/./me", "."}, {"3|/a/a1", "3|/home/me"}},
        {{"/"}, {"3|"}},
    };
    for (const auto& [folders, expected] : cases) {
        MemoryDirTree fresh = FakeTree();
        RefreshTree(fresh);
        const RestoreReport checked = CheckFolders(fresh, folders, FakeResolve);
        EXPECT_TRUE(checked.issues.empty() && checked.error.empty()) << folders[0];
        EXPECT_EQ(Collected(fresh), expected) << folders[0];
    }
    // A folder that is not there, and a name found on disk but not in the tree (a file).
    RestoreReport missing = CheckFolders(tree, {"/nope", "/home/f", "/a"}, FakeResolve);
    EXPECT_EQ(Described(missing), (std::vector<std::string>{"missing 0 /nope: No such file or directory",
                                                            "missing 0 /home/f: Not a directory"}));
    EXPECT_EQ(Collected(tree), (std::vector<std::string>{"3|/a"}));
    missing = CheckFolders(tree, {"."}, NoCurrentFolder);
    EXPECT_FALSE(missing.error.empty());
}

TEST_F(SelectionFilesTest, CanonicalPathsOnDisk) {
    fs::create_directories(dir / "real" / "sub");
    if (!test::MakeSymlink(dir / "real", dir / "link", true))
        GTEST_SKIP() << test::kNoSymlinks;
    std::ofstream(dir / "file") << "x";
    const std::string real = fs::canonical(dir / "real").string();
    for (const fs::path& path :
         {dir / "link", dir / "link" / "sub" / "..", dir / "real" / "." / ".." / "real"})
        EXPECT_EQ(CanonicalPath(path.string()).path, real) << path;
    EXPECT_EQ(CanonicalPath("/").path, "/");
    EXPECT_EQ(CanonicalPath((dir / "nope").string()).error, ENOENT);
    EXPECT_EQ(CanonicalPath((dir / "file" / "x").string()).error, ENOTDIR);
    EXPECT_EQ(CanonicalPath(real + std::string("\0/sub", 5)).error, EINVAL); // not cut at the NUL
    EXPECT_EQ(CanonicalPath("").error, ENOENT);
    EXPECT_EQ(CanonicalPath(".").path, fs::current_path().string());
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
