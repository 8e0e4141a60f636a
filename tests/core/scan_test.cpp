// The parallel scan: the same listing as one thread for any options, cancel while workers read, the
// checksum cache with several threads, and trees deeper than any path the system takes at once.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include <atomic>
#include <cstdlib>
#include <random>
#include <utility>

#include "engine/directory_scan.h"
#include "engine/file_checksum.h"
#include "engine/listing_engine.h"
#include "engine/sorting.h"
#include "session/listing_session.h"
#include "support/deep_tree.h"
#include "support/environment.h"
#include "support/scratch_dir.h"
#include "support/special_files.h"
#include "support/system.h"
#include "writers/output_types.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScratchDir;
using test::WriteFile;

// Sets the last-write time; the access time goes far into the future, where reading the file (for a
// checksum) does not move it, so that listings of access times stay comparable from run to run.
void SetModified(const fs::path& path, std::int64_t seconds) {
    test::SetTimes(path, seconds, 4102444800);
}

// A tree of a few hundred entries with uneven folders, names that sort differently by bytes and by
// folded case, equal sizes and times (so that sorting falls back to names), a link and a FIFO where the
// system makes them.
std::vector<fs::path> MakeRandomTree(const fs::path& root, unsigned seed) {
    std::mt19937 random(seed);
    const char* stems[] = {"Alpha",
                           "beta",
                           "\xC3\x9C"
                           "ber",
                           "zeta",
                           "a b",
                           "IMG",
                           ".hidden",
                           "x"};
    const char* extensions[] = {".txt", ".TXT", ".bin", "", ".tar.gz", ".doc"};
    std::vector<fs::path> folders = {root};
    for (int i = 0; i < 30; ++i) {
        const fs::path parent = folders[random() % folders.size()];
        folders.push_back(parent / test::Utf8Path(std::string(stems[random() % 8]) + std::to_string(i)));
        fs::create_directory(folders.back());
    }
    for (int i = 0; i < 300; ++i) {
        const fs::path folder = folders[random() % (folders.size() / 2 + 1)]; // half the folders hold all
        const fs::path file = folder / test::Utf8Path(std::string(stems[random() % 8]) +
                                                      std::to_string(i % 50) + extensions[random() % 6]);
        WriteFile(file, std::string(random() % 4 * 700, 'q'));
        SetModified(file, 1000000000 + static_cast<std::int64_t>(random() % 5) * 86400);
    }
    test::MakeSymlink("Alpha0.txt", root / "link.txt");
    EXPECT_EQ(test::MakeFifo(root / "fifo.txt"), !test::kOnWindows);
    for (const fs::path& folder : folders)
        SetModified(folder, 1100000000 + static_cast<std::int64_t>(folder.string().size()) * 3600);
    return folders;
}

ListingOptions RandomOptions(std::mt19937& random) {
    auto flip = [&] { return random() % 2 == 0; };
    ListingOptions o;
    const char* masks[] = {"*.*", "*.txt", "a*;*.bin", "?????*", "*"};
    o.m_strMask = masks[random() % 5];
    o.m_sortDirsBy = static_cast<DirSortKey>(random() % 4); // 3: map order
    o.m_bSortDirsDescending = flip();
    o.m_sortFilesBy = static_cast<FileSortKey>(random() % 5); // 4: map order
    o.m_bSortFilesDescending = flip();
    o.m_bFilesAllTogether = random() % 4 == 0;
    o.m_bSubdirs = flip();
    o.m_bFileNumber = flip();
    o.m_bFilePath = flip();
    o.m_bFileExtension = flip();
    o.m_bFileCrc32 = flip();
    o.m_bDirName = random() % 4 != 0;
    o.m_bFileCountInDirName = flip();
    o.m_pathStyle = static_cast<PathStyle>(random() % 3);
    o.m_dateTimeKind = static_cast<TimeKind>(random() % 3);
    o.m_sizeDisplay = static_cast<SizeDisplay>(random() % 5);
    o.m_outputType = OutputTypes()[static_cast<std::size_t>(random()) % OutputTypes().size()].type;
    return o;
}

// Empty when equal; else the first line where `actual` differs from `expected`, for a short message.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    if (expected == actual)
        return "";
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    const std::size_t start =
        expected.rfind('\n', at) == std::string::npos ? 0 : expected.rfind('\n', at) + 1;
    auto lineAt = [start](const std::string& text) {
        return text.substr(start, text.find('\n', start) - start);
    };
    return "expected: " + lineAt(expected) + "\n  actual: " + lineAt(actual);
}

std::string ProblemLines(const RunResult& result) {
    std::string lines;
    for (const RunProblem& problem : result.problems)
        lines += DescribeProblem(problem) + "\n";
    return lines;
}

class ScanThreadsTest : public ::testing::Test {
protected:
    ScanThreadsTest() {
        tree = scratch.Path() / "tree";
        fs::create_directory(tree);
        folders = MakeRandomTree(tree, 20240601);
    }
    // Runs `engine` with `threads` workers and returns the listing followed by the run's problems.
    std::string Run(ListingEngine& engine, RunTarget target, unsigned threads = 4) {
        target.threads = threads;
        target.outputPath = (scratch.Path() / "out.txt").string();
        target.headerTime = 0;
        engine.SetRunTarget(target);
        last = engine.Run();
        EXPECT_EQ(last.status, RunStatus::Written);
        return ReadFile(last.outputPath) + ProblemLines(last);
    }
    CheckedDirList Selections(std::mt19937& random) const {
        // The tree, overlapping parts of it, and a folder alone.
        std::vector<std::string> all = {"3|" + tree.string(), "3|" + folders[1].string(),
                                        "2|" + tree.string(), "3|" + folders[5].string(),
                                        "2|" + folders[9].string()};
        std::shuffle(all.begin(), all.end(), random);
        all.resize(1 + random() % all.size());
        return all;
    }

    ScratchDir scratch;
    fs::path tree;
    std::vector<fs::path> folders;
    RunResult last;
};

TEST_F(ScanThreadsTest, ParallelListingEqualsOneThreadForRandomOptionSets) {
    ListingEngine one, many;
    std::mt19937 random(7);
    for (int round = 0; round < 30; ++round) {
        RunTarget target;
        target.options = RandomOptions(random);
        target.checkedDirs = Selections(random);
        SCOPED_TRACE("round " + std::to_string(round));
        // Twice each, so that the second runs read through the scan cache.
        for (int pass = 0; pass < 2; ++pass) {
            const std::string expected = Run(one, target, 1);
            EXPECT_EQ(FirstDifference(expected, Run(many, target, 4)), "") << "pass " << pass;
        }
    }
}

// Rows are formatted in windows (2,048 lines) on several threads: a folder with more entries than a
// window is cut into several (its files numbered on from one window to the next, its line before the
// first), and so are all entries sorted together; the listing is the one a single thread writes.
TEST_F(ScanThreadsTest, FoldersLargerThanAWindowAreListedAsByOneThread) {
    const fs::path large = tree / "large";
    fs::create_directory(large);
    for (int i = 0; i < 2200; ++i)
        WriteFile(large / ((i % 3 == 0 ? "F" : "f") + std::to_string(i * 7919 % 2200) + ".txt"), "");
    for (int i = 0; i < 30; ++i)
        fs::create_directory(large / ("sub" + std::to_string(i)));
    ListingEngine one, many;
    for (int variant = 0; variant < 4; ++variant) {
        RunTarget target;
        target.options.m_outputType = variant % 2 == 0 ? OutputType::Text : OutputType::Csv;
        target.options.m_bFilesAllTogether = variant == 1 || variant == 2;
        target.options.m_bSortFilesDescending = variant >= 2;
        target.options.m_bFileNumber = true;
        target.options.m_bSubdirs = true;
        target.options.m_bFilePath = variant == 3;
        target.options.m_nThousandSeparator = 0;
        target.checkedDirs = {"3|" + tree.string()};
        SCOPED_TRACE("variant " + std::to_string(variant));
        const std::string expected = Run(one, target, 1);
        EXPECT_NE(expected.find("2200"), std::string::npos); // the last file's number
        EXPECT_EQ(FirstDifference(expected, Run(many, target, 3)), "");
    }
}

// With a checksum column, rows are formatted on several threads once the pass over the small files has
// read every checksum; a file larger than that pass reads makes the run write its rows on one thread,
// reading it on the way. Either way the listing is the one a single thread writes.
TEST_F(ScanThreadsTest, ChecksumListingsAreListedAsByOneThread) {
    const fs::path large = tree / "large";
    fs::create_directory(large);
    for (int i = 0; i < 2100; ++i)
        WriteFile(large / ("f" + std::to_string(i) + ".txt"), std::to_string(i * 7919));
    for (const bool bigFile : {false, true}) {
        if (bigFile)
            WriteFile(large / "big.bin", std::string(FileChecksummer::kChunkSize + 1, 'b'));
        ListingEngine one, many;
        RunTarget target;
        target.options.m_bFileCrc32 = true;
        target.options.m_bKeepChecksums = false;
        target.options.m_bFileNumber = true;
        target.checkedDirs = {"3|" + tree.string()};
        SCOPED_TRACE(bigFile ? "with a big file" : "small files only");
        const std::string expected = Run(one, target, 1);
        EXPECT_NE(expected.find("f4dbdf21"), std::string::npos); // the CRC of "0"
        EXPECT_EQ(FirstDifference(expected, Run(many, target, 3)), "");
    }
}

// The front end's session reads the number of workers from the environment; the engine only takes it.
TEST(ThreadCountTest, QuillaryThreadsIsAWholeNumberFromOneTo64) {
    const struct {
        const char* value; // null: unset
        unsigned count;
    } cases[] = {
        {nullptr, 0}, {"1", 1}, {"4", 4},  {"64", 64}, {"0", 0},   {"65", 0},
        {"-1", 0},    {"", 0},  {"4x", 0}, {" 4", 0},  {"abc", 0}, {"99999999999", 0},
    };
    for (const auto& c : cases) {
        if (c.value)
            test::SetEnvironment("QUILLARY_THREADS", c.value);
        else
            test::UnsetEnvironment("QUILLARY_THREADS");
        EXPECT_EQ(ThreadCountFromEnvironment(), c.count) << (c.value ? c.value : "(unset)");
    }
    test::UnsetEnvironment("QUILLARY_THREADS");
}

TEST_F(ScanThreadsTest, ThreadsTakeChecksumsFromTheCacheInTheSecondRun) {
    ListingEngine engine;
    RunTarget target;
    target.options.m_bFileCrc32 = true;
    target.checkedDirs = {"3|" + tree.string()};
    const std::string first = Run(engine, target);
    EXPECT_GT(last.statistics.checksumsComputed, 250u);
    EXPECT_EQ(Run(engine, target), first);
    EXPECT_EQ(last.statistics.checksumsComputed, 0u);
    EXPECT_GT(last.statistics.reusedEntries, 300u);
}

// What a scan read, folder by folder, for comparing two scans.
std::string Dump(const FolderTree& tree) {
    std::string text;
    for (const DirRecord* dir : FoldersByPath(tree, false)) {
        const DirRecord& record = *dir;
        text += PathOf(record) + " " + std::to_string(record.fileCount) + " " +
                std::to_string(record.totalSize) + " " + record.attributes + "\n";
        for (const FileRecord& entry : record.entries)
            text += "  " + std::string(entry.name) + " " + std::to_string(entry.size) + " " +
                    std::to_string(entry.lastWriteTime) + (entry.isDirectory ? " dir\n" : "\n");
    }
    return text;
}

// Cancelled at a known point while four workers read: the scan stops there (the folders in the other
// workers' hands are finished, no new one is taken), every record it made is whole, and as the cache of
// the next scan it gives exactly what a fresh scan gives.
TEST_F(ScanThreadsTest, CancelDuringAParallelScanStopsThereAndLeavesAConsistentCache) {
    for (int i = 0; i < 400; ++i) {
        fs::create_directories(tree / ("wide" + std::to_string(i % 40)));
        WriteFile(tree / ("wide" + std::to_string(i % 40)) / ("f" + std::to_string(i)), "");
    }
    constexpr unsigned kThreads = 4;
    auto scan = [&](FolderTree& into, FolderTree& cache, const std::atomic<bool>& cancel,
                    std::function<void(const std::string&)> hook) {
        DirectoryScan directoryScan(into, cache, ScanFilter{}, cancel, kThreads);
        directoryScan.SetFolderHook(std::move(hook));
        directoryScan.ScanSelection(tree.string(), true, 0, {});
        return directoryScan.TakeProblems().size();
    };
    const std::atomic<bool> never{false};
    FolderTree fresh, none;
    EXPECT_EQ(scan(fresh, none, never, {}), 0u);
    ASSERT_GT(fresh.size(), 70u);

    for (const std::size_t stopAfter : {1u, 10u, 40u}) {
        SCOPED_TRACE("cancelled after " + std::to_string(stopAfter) + " folders");
        std::atomic<bool> cancel{false};
        std::atomic<std::size_t> read{0};
        FolderTree cancelled;
        scan(cancelled, none, cancel, [&](const std::string&) {
            if (++read == stopAfter)
                cancel.store(true);
        });
        EXPECT_GE(cancelled.size(), stopAfter);
        EXPECT_LE(cancelled.size(), stopAfter + kThreads - 1);
        for (const DirRecord& record : cancelled) {
            for (const FileRecord& entry : record.entries)
                ASSERT_EQ(entry.parent, &record) << PathOf(record);
        }
        FolderTree again;
        EXPECT_EQ(scan(again, cancelled, never, {}), 0u);
        EXPECT_EQ(FirstDifference(Dump(fresh), Dump(again)), "");
    }
}

// 5,000 levels, each with a leaf folder beside the next level: paths past 10,000 bytes, and far more
// folders waiting for their parent's handle than a run keeps open. Every level is read, and the file at
// the bottom gets its checksum through its full path.
TEST(DeepTreeTest, FiveThousandLevelsAreListedWhole) {
    constexpr int kLevels = 5000;
    if (test::kOnWindows)
        GTEST_SKIP() << "the deep tree is built through POSIX folder handles (openat)";
    ScratchDir scratch;
    const test::DeepTree deep(kLevels);
    ASSERT_TRUE(deep.Built());
    const fs::path root = deep.Root();

    ListingEngine engine;
    RunTarget target;
    target.options.m_strMask = "*.txt";
    target.options.m_bFilesAllTogether = true;
    target.options.m_bFilePath = true;
    target.options.m_bFileCrc32 = true;
    target.options.m_outputType = OutputType::Csv; // paths in full, never cut to a column
    target.checkedDirs = {"3|" + root.string()};
    target.outputPath = (scratch.Path() / "out.txt").string();
    engine.SetRunTarget(target);
    const RunResult result = engine.Run();
    EXPECT_EQ(result.status, RunStatus::Written);
    EXPECT_EQ(ProblemLines(result), "");
    EXPECT_EQ(engine.Folders().size(), 2u * kLevels + 1);
    EXPECT_EQ(engine.Folders().at(root.string()).totalSize, 4u);

    std::string bottom = root.string();
    for (int level = 0; level < kLevels; ++level)
        bottom += "/d";
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", Crc32Update(0, "deep", 4));
    const std::string listing = ReadFile(target.outputPath);
    EXPECT_NE(listing.find("\n" + bottom + "/;bottom;;txt;4;"), std::string::npos);
    EXPECT_NE(listing.find(std::string(";") + crc + ";"), std::string::npos);
}

// A folder's own listing "_thisdir.csv", read through the folder's handle (the path may be far too long
// to open at once).
std::string OwnListing(const std::string& folderPath) {
    std::string text;
#ifndef _WIN32
    DirectoryHandle folder;
    EXPECT_TRUE(folder.OpenPath(folderPath));
    const int fd = openat(folder.Descriptor(), "_thisdir.csv", O_RDONLY | O_CLOEXEC);
    EXPECT_GE(fd, 0) << folderPath.size();
    char buffer[4096];
    for (ssize_t got; fd >= 0 && (got = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    if (fd >= 0)
        close(fd);
#else
    (void)folderPath;
#endif
    return text;
}

// 6,000 levels with a listing in every folder: the main listing has every folder's row, in order, with
// its whole path; every folder gets its own listing of its entries, down to the bottom.
TEST(DeepTreeTest, SixThousandLevelsWithAListingInEachFolderKeepEveryRowAndPath) {
    constexpr int kLevels = 6000;
    if (test::kOnWindows)
        GTEST_SKIP() << "the deep tree is built through POSIX folder handles (openat)";
    ScratchDir scratch;
    const test::DeepTree deep(kLevels);
    ASSERT_TRUE(deep.Built());
    const std::string root = deep.Root().string();

    ListingEngine engine;
    RunTarget target;
    target.options.m_bListingInEachDir = true;
    target.options.m_strListingName = "_thisdir";
    target.options.m_outputType = OutputType::Csv; // paths in full, never cut to a column
    target.checkedDirs = {"3|" + root};
    target.outputPath = (scratch.Path() / "out.csv").string();
    engine.SetRunTarget(target);
    const RunResult result = engine.Run();
    EXPECT_EQ(result.status, RunStatus::Written);
    EXPECT_EQ(ProblemLines(result), "");
    EXPECT_EQ(engine.Folders().size(), 2u * kLevels + 1);

    // By path: the chain of "d" down to the bottom, then the leaf "e" of each level from the bottom up
    // ("d/..." sorts before "e").
    std::vector<std::string> expected;
    std::string chain = root;
    for (int level = 0; level <= kLevels; ++level) {
        expected.push_back(chain + "/");
        if (level < kLevels)
            chain += "/d";
    }
    for (int level = kLevels - 1; level >= 0; --level)
        expected.push_back(chain.substr(0, root.size() + 2 * static_cast<std::size_t>(level)) + "/e/");
    std::vector<std::string> rows;
    const std::string listing = ReadFile(target.outputPath);
    for (std::size_t start = 0; start < listing.size();) {
        std::size_t end = listing.find('\n', start);
        if (end == std::string::npos)
            end = listing.size();
        if (listing.compare(start, root.size(), root) == 0)
            rows.push_back(listing.substr(start, listing.find(';', start) - start));
        start = end + 1;
    }
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        ASSERT_EQ(rows[i], expected[i]) << "row " << i;

    const std::string bottom = OwnListing(chain);
    EXPECT_EQ(bottom.rfind("bottom;;txt;4;", 0), 0u) << bottom;
    const std::string middle = OwnListing(chain.substr(0, root.size() + 2 * (kLevels / 2)));
    EXPECT_EQ(middle.rfind("<d>;;;<DIR>;", 0), 0u) << middle;
    EXPECT_NE(middle.find("\n<e>;;;<DIR>;"), std::string::npos) << middle;
    // The leaf beside the bottom has no entries: its listing is there, empty.
    EXPECT_EQ(OwnListing(chain.substr(0, root.size() + 2 * (kLevels - 1)) + "/e"), "");
}

} // namespace
} // namespace quillary
