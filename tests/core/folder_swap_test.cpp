// Folders swapped for something else between the scan and the writing of the listings: a listing is
// written into the very folder that was read, or not at all, and never through what took its place.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "engine/listing_engine.h"
#include "platform/directory_reader.h"
#include "support/deep_tree.h"
#include "support/scratch_dir.h"
#include "support/special_files.h"
#include "support/system.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

std::vector<std::string> ProblemTexts(const RunResult& result) {
    std::vector<std::string> lines;
    for (const RunProblem& problem : result.problems)
        lines.push_back(DescribeProblem(problem));
    return lines;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class FolderSwapTest : public ::testing::Test {
protected:
    FolderSwapTest() {
        fs::create_directories(tree / "sub");
        fs::create_directories(victim);
        WriteFile(tree / "a.txt", "a");
        WriteFile(tree / "sub" / "b.txt", "b");
        WriteFile(victim / "_thisdir.txt", "not yours\n");
        target.options.m_bListingInEachDir = true;
        target.options.m_strListingName = "_thisdir";
        target.checkedDirs = {"3|" + tree.string()};
        target.outputPath = (scratch.Path() / "out.txt").string();
        target.headerTime = 0;
    }
    // Runs with `swap` called between the scan and the first write.
    RunResult Run(std::function<void()> swap) {
        target.afterScan = std::move(swap);
        engine.SetRunTarget(target);
        return engine.Run();
    }
    // Moves `folder` aside (to "<name>.read") and calls `replace` to put something in its place.
    static std::function<void()> Swap(const fs::path& folder, std::function<void()> replace) {
        return [folder, replace] {
            fs::rename(folder, fs::path(folder.string() + ".read"));
            replace();
        };
    }
    bool CanLink() {
        const fs::path probe = scratch.Path() / "probe";
        const bool made = test::MakeSymlink(victim, probe, true);
        fs::remove(probe);
        return made;
    }

    test::ScratchDir scratch;
    const fs::path tree = scratch.Path() / "tree";
    const fs::path victim = scratch.Path() / "victim"; // a folder the tree's owner may not write
    RunTarget target;
    ListingEngine engine;
};

TEST_F(FolderSwapTest, AFolderListingIsNeverWrittenThroughWhatReplacedTheFolder) {
    const fs::path sub = tree / "sub";
    const bool canLink = CanLink();
    struct Case {
        const char* what;
        bool needsLink;
        std::function<void()> replace;
    } cases[] = {
        {"a link to another folder", true, [&] { fs::create_directory_symlink(victim, sub); }},
        {"another folder", false, [&] { fs::create_directory(sub); }},
        {"a file", false, [&] { WriteFile(sub, "x"); }},
    };
    for (const Case& c : cases) {
        if (c.needsLink && !canLink)
            continue; // this system makes no links: the other cases still run
        const RunResult result = Run(Swap(sub, c.replace));
        EXPECT_EQ(result.status, RunStatus::Written) << c.what;
        EXPECT_EQ(
            ProblemTexts(result),
            (std::vector<std::string>{"did not write the folder listing '" + (sub / "_thisdir.txt").string() +
                                      "': the folder was replaced during the run"}))
            << c.what;
        EXPECT_EQ(Names(victim), (std::vector<std::string>{"_thisdir.txt"})) << c.what;
        EXPECT_EQ(ReadFile(victim / "_thisdir.txt"), "not yours\n") << c.what;
        EXPECT_EQ(Names(tree / "sub.read"), (std::vector<std::string>{"b.txt"})) << c.what;
        // The folder that was not touched gets its listing.
        EXPECT_NE(ReadFile(tree / "_thisdir.txt").find("a.txt"), std::string::npos) << c.what;
        // Back as it was for the next case.
        fs::remove_all(sub);
        fs::rename(tree / "sub.read", sub);
        fs::remove(tree / "_thisdir.txt");
    }
}

// A selected folder named through a link is held through the link again: the folder it led to during
// the scan gets the listing, and a link moved to another folder meanwhile gets none.
TEST_F(FolderSwapTest, ASelectedLinkMustStillLeadToTheFolderThatWasRead) {
    if (!CanLink())
        GTEST_SKIP() << test::kNoSymlinks;
    const fs::path named = scratch.Path() / "named";
    fs::create_directory_symlink(tree, named);
    target.checkedDirs = {"2|" + named.string()};
    RunResult result = Run({});
    EXPECT_EQ(ProblemTexts(result), std::vector<std::string>{});
    EXPECT_TRUE(fs::exists(tree / "_thisdir.txt"));

    fs::remove(tree / "_thisdir.txt");
    result = Run([&] {
        fs::remove(named);
        fs::create_directory_symlink(victim, named);
    });
    EXPECT_EQ(ProblemTexts(result), (std::vector<std::string>{"did not write the folder listing '" +
                                                              (named / "_thisdir.txt").string() +
                                                              "': the folder was replaced during the run"}));
    EXPECT_FALSE(fs::exists(tree / "_thisdir.txt"));
    EXPECT_EQ(ReadFile(victim / "_thisdir.txt"), "not yours\n");
}

// The main output's folder is held from the moment the output is opened: the listing is put in place
// there, even when a link to another folder has taken its name since.
TEST_F(FolderSwapTest, TheMainOutputIsPutInPlaceInTheFolderItWasOpenedIn) {
    if (!CanLink())
        GTEST_SKIP() << test::kNoSymlinks;
    const fs::path reports = scratch.Path() / "reports";
    fs::create_directory(reports);
    target.options.m_bListingInEachDir = false;
    target.outputPath = (reports / "_thisdir.txt").string();
    const RunResult result = Run(Swap(reports, [&] { fs::create_directory_symlink(victim, reports); }));
    EXPECT_EQ(result.status, RunStatus::Written);
    EXPECT_EQ(ReadFile(victim / "_thisdir.txt"), "not yours\n");
    EXPECT_EQ(Names(victim), (std::vector<std::string>{"_thisdir.txt"}));
    EXPECT_EQ(Names(scratch.Path() / "reports.read"), (std::vector<std::string>{"_thisdir.txt"}));
    EXPECT_NE(ReadFile(scratch.Path() / "reports.read" / "_thisdir.txt").find("b.txt"), std::string::npos);
}

// Every folder of a tree far deeper than the longest path the system takes at once gets its listing:
// no problem at all, and the deepest folder's listing is there.
TEST(DeepFolderListingsTest, EveryLevelOfAThreeThousandLevelTreeGetsItsListing) {
    constexpr int kLevels = 3000;
    if (test::kOnWindows)
        GTEST_SKIP() << "the deep tree is built through POSIX folder handles (openat)";
    test::ScratchDir scratch;
    const test::DeepTree deep(kLevels);
    ASSERT_TRUE(deep.Built());
    ListingEngine engine;
    RunTarget target;
    target.options.m_bListingInEachDir = true;
    target.options.m_strListingName = "_thisdir";
    target.checkedDirs = {"3|" + deep.Root().string()};
    target.outputPath = (scratch.Path() / "out.txt").string();
    engine.SetRunTarget(target);
    const RunResult result = engine.Run();
    EXPECT_EQ(result.status, RunStatus::Written);
    EXPECT_EQ(ProblemTexts(result), std::vector<std::string>{});
    std::string bottom = deep.Root().string();
    for (int level = 0; level < kLevels; ++level)
        bottom += "/d";
    DirectoryHandle folder;
    ASSERT_TRUE(folder.OpenPath(bottom));
    EntryInfo info;
    EXPECT_EQ(folder.StatEntry("_thisdir.txt", info), 0);
    EXPECT_TRUE(info.isRegular);
}

} // namespace
} // namespace quillary
