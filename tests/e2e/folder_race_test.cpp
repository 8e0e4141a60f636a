// A real race: another process swaps listed folders for links to a folder outside the tree, again and
// again, while quillary-cli lists the tree with a listing in every folder (as the program is run as
// root over trees other users own). Whatever the timing, nothing outside the listed folders changes,
// and every listing written lies in the folder it lists.
#include <atomic>
#include <thread>

#include "fixture_tree.h"
#include "support/special_files.h"

namespace quillary::test {
namespace {

TEST(FolderRaceTest, SwappingFoldersForLinksNeverLetsAListingOutOfTheTree) {
    constexpr int kFolders = 3000;
    ScratchDir scratch;
    const fs::path tree = scratch.Path() / "tree", victim = scratch.Path() / "victim";
    fs::create_directories(victim);
    WriteFile(victim / "_thisdir.txt", "root:secret\n");
    if (!MakeSymlink(victim, scratch.Path() / "probe", true))
        GTEST_SKIP() << kNoSymlinks;
    fs::remove(scratch.Path() / "probe");
    fs::permissions(victim, fs::perms::owner_all); // a folder only its owner (root, as a rule) may enter
    std::vector<fs::path> folders;
    for (int i = 0; i < kFolders; ++i) {
        std::string name = "f";
        name += std::to_string(10000 + i);
        folders.push_back(tree / name);
        fs::create_directories(folders.back());
        WriteFile(folders.back() / "mine.txt", "x");
    }
    WriteFile(scratch.Path() / "each.qlc", "[Settings]\n1031=1\n1028=_thisdir\n");

    // Each folder in turn is moved aside, a link to the victim put in its place, then put back.
    std::atomic<bool> stop{false};
    std::atomic<long> swaps{0};
    std::thread swapper([&] {
        std::error_code ignored;
        while (!stop.load()) {
            for (const fs::path& folder : folders) {
                const fs::path aside = folder.string() + ".aside";
                fs::rename(folder, aside, ignored);
                fs::create_directory_symlink(victim, folder, ignored);
                std::this_thread::yield();
                fs::remove(folder, ignored);
                fs::rename(aside, folder, ignored);
                swaps.fetch_add(1);
                if (stop.load())
                    break;
            }
        }
    });
    while (swaps.load() == 0)
        std::this_thread::yield();
    const CliResult result = RunCli({"/o", (scratch.Path() / "each.qlc").string(), "--output",
                                     (scratch.Path() / "out.txt").string(), tree.string()},
                                    scratch.Path());
    stop.store(true);
    swapper.join();

    EXPECT_TRUE(result.exitCode == 0 || result.exitCode == 3) << result.err;
    // The victim is as it was: no new file, no listing in place of its own file.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(victim))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"_thisdir.txt"});
    EXPECT_EQ(ReadFile(victim / "_thisdir.txt"), "root:secret\n");
    // Every listing written is its own folder's: it names the folder's file.
    int written = 0;
    for (const fs::path& folder : folders) {
        if (!fs::exists(folder / "_thisdir.txt"))
            continue;
        ++written;
        EXPECT_NE(ReadFile(folder / "_thisdir.txt").find("mine.txt"), std::string::npos) << folder;
    }
    EXPECT_GT(written, 0);
}

} // namespace
} // namespace quillary::test
