// The listing run over real folders: scan, counts, the scan cache, modes, checksums and cancellation.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <mutex>
#include <optional>
#include <sstream>

#include "engine/file_checksum.h"
#include "engine/listing_engine.h"
#include "platform/path_syntax.h"
#include "support/scratch_dir.h"
#include "support/special_files.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;

// A file of `size` bytes, in folders made as needed.
void MakeFile(const fs::path& path, std::size_t size, char fill = 'x') {
    fs::create_directories(path.parent_path());
    test::WriteFile(path, std::string(size, fill));
}

// Records the host calls in order ("enter", "progress", "leave", "finished:<status>"), from whichever
// thread they come; runs of progress calls are recorded once.
class RecordingHost : public ListingHost {
public:
    void ShowProgress(const RunProgress& progress) override {
        Record("progress");
        if (progress.scanComplete && !finalCounts)
            finalCounts = progress;
        if (progress.scanComplete && cancelWhenScanned)
            std::exchange(cancelWhenScanned, nullptr)->RequestCancel();
    }
    void EnterBusyState() override { Record("enter"); }
    void LeaveBusyState() override { Record("leave"); }
    void RunFinished(const RunResult& result) override {
        Record("finished:" + std::to_string(static_cast<int>(result.status)));
    }
    std::vector<std::string> Calls() {
        std::lock_guard lock(mutex);
        return calls;
    }
    void Clear() {
        std::lock_guard lock(mutex);
        calls.clear();
    }
    // Cancelled at a known point: as soon as the scan is complete, before any checksum is read.
    ListingEngine* cancelWhenScanned = nullptr;
    std::optional<RunProgress> finalCounts; // the first progress of a complete scan

private:
    void Record(const std::string& call) {
        std::lock_guard lock(mutex);
        if (call != "progress" || calls.empty() || calls.back() != call)
            calls.push_back(call);
    }
    std::mutex mutex;
    std::vector<std::string> calls;
};

std::string Finished(RunStatus status) {
    return "finished:" + std::to_string(static_cast<int>(status));
}

class EngineTest : public ::testing::Test {
protected:
    EngineTest() {
        tree = scratch.Path() / "tree";
        MakeFile(tree / "a.txt", 10);
        MakeFile(tree / "b.doc", 20);
        MakeFile(tree / "sub" / "c.txt", 30);
        MakeFile(tree / "sub" / "deeper" / "d.txt", 40);
        MakeFile(tree / "other.txt" / "e.bin", 50); // a folder whose name matches "*.txt"
        output = (scratch.Path() / "out.txt").string();
        target.outputPath = output;
        target.headerTime = 0;
    }
    std::string Listing(const CheckedDirList& dirs) {
        target.checkedDirs = dirs;
        engine.SetRunTarget(target);
        last = engine.Run();
        EXPECT_EQ(last.status, RunStatus::Written);
        return test::ReadTextFile(last.outputPath);
    }
    std::string Tree() const { return "3|" + tree.string(); }
    const DirRecord& Record(const fs::path& path) const { return engine.Folders().at(path.string()); }

    test::ScratchDir scratch;
    fs::path tree;
    std::string output;
    RecordingHost host;
    ListingEngine engine{&host};
    RunTarget target;
    RunResult last;
};

TEST_F(EngineTest, MaskFiltersEntriesButNotRecursion) {
    target.options.m_strMask = "*.txt";
    Listing({Tree()});
    const DirRecord& top = Record(tree);
    // a.txt and the folder other.txt match; b.doc and sub do not, yet sub is scanned.
    ASSERT_EQ(top.entries.size(), 2u);
    EXPECT_EQ(top.entries[0].name, "a.txt");
    EXPECT_EQ(top.entries[1].name, "other.txt");
    EXPECT_TRUE(top.entries[1].isDirectory);
    EXPECT_EQ(top.fileCount, 1u);
    EXPECT_EQ(Record(tree / "sub").fileCount, 1u);
    EXPECT_EQ(Record(tree / "other.txt").fileCount, 0u); // e.bin does not match
    // Totals include every scanned folder below, counts only the folder's own files.
    EXPECT_EQ(Record(tree / "sub").totalSize, 70u);
    EXPECT_EQ(top.totalSize, 80u);
    EXPECT_EQ(last.statistics.dirCount, 4);
}

TEST_F(EngineTest, FolderAloneIsNotDescendedAndAFolderReachedTwiceIsOneRecord) {
    Listing({"2|" + tree.string()});
    EXPECT_EQ(engine.Folders().size(), 1u);
    EXPECT_EQ(Record(tree).totalSize, 30u);
    target.options.m_bFileCrc32 = true;
    Listing({Tree(), "3|" + (tree / "sub").string()});
    EXPECT_EQ(engine.Folders().size(), 4u);
    EXPECT_EQ(Record(tree / "sub").totalSize, 70u);
    // The second visit reuses the first visit's records, so a checksum is never computed twice.
    Listing({Tree(), "3|" + (tree / "sub").string()});
    EXPECT_EQ(last.statistics.checksumsComputed, 0u);
}

// Selections inside one another, in either order, alone or with their subfolders: each folder is listed
// once, in path order, and the next run takes every checksum from the cache.
TEST_F(EngineTest, SelectionsInsideOneAnotherListEachFolderOnceInPathOrder) {
    const std::string top = tree.string(), sub = (tree / "sub").string(),
                      deeper = (tree / "sub" / "deeper").string();
    const std::string end = std::string(1, kPathSeparator) + "\n"; // a folder row's path ends with one
    const std::string all = top + end + top + kPathSeparator + "other.txt" + end + sub + end + deeper + end;
    const struct {
        CheckedDirList selections;
        std::string folders;
    } cases[] = {
        {{Tree(), "3|" + sub}, all},
        {{"3|" + sub, Tree()}, all},
        {{"2|" + top, "3|" + deeper}, top + end + deeper + end},
        {{"2|" + top, "3|" + deeper, "3|" + sub}, top + end + sub + end + deeper + end},
        {{"3|" + deeper, "2|" + sub, Tree()}, all},
        {{"2|" + sub, Tree()}, all},
    };
    target.options.m_outputType = OutputType::Csv;
    target.options.m_bFileCrc32 = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selections.front() + " ... " + c.selections.back());
        ListingEngine fresh;
        target.checkedDirs = c.selections;
        for (int run = 0; run < 2; ++run) {
            fresh.SetRunTarget(target);
            last = fresh.Run();
            std::string folders;
            std::istringstream lines(test::ReadTextFile(last.outputPath));
            for (std::string line; std::getline(lines, line);) {
                if (line.rfind(top, 0) == 0)
                    folders += line.substr(0, line.find(';')) + "\n";
            }
            EXPECT_EQ(folders, c.folders);
            EXPECT_EQ(fresh.Folders().size(),
                      static_cast<std::size_t>(std::count(c.folders.begin(), c.folders.end(), '\n')));
            if (run == 1) {
                EXPECT_EQ(last.statistics.checksumsComputed, 0u);
            }
        }
    }
}

TEST_F(EngineTest, UnreadableAndMissingFoldersGiveEmptyRecordsAndProblems) {
    const fs::path missing = tree / "gone";
    Listing({"3|" + missing.string()});
    const DirRecord& record = Record(missing);
    EXPECT_TRUE(record.entries.empty());
    EXPECT_EQ(record.totalSize, 0u);
    EXPECT_TRUE(record.attributes.empty());
    ASSERT_EQ(last.problems.size(), 1u);
    EXPECT_EQ(DescribeProblem(last.problems[0]),
              "cannot read folder '" + missing.string() + "': No such file or directory");
    EXPECT_EQ(host.Calls(),
              (std::vector<std::string>{"enter", "progress", "leave", Finished(RunStatus::Written)}));
}

TEST_F(EngineTest, ListingFilesThatCannotBeWrittenAreProblems) {
    target.options.m_bListingInEachDir = true;
    target.options.m_strListingName = "_thisdir";
    fs::create_directory(tree / "sub" / "_thisdir.txt"); // a folder where the listing file should go
    Listing({Tree()});
    ASSERT_EQ(last.problems.size(), 1u);
    EXPECT_EQ(last.problems[0].kind, ProblemKind::ListingFileSkipped);
    EXPECT_EQ(last.problems[0].path, (tree / "sub" / "_thisdir.txt").string());
    EXPECT_EQ(last.problems[0].reason, "it is not a regular file");
    EXPECT_TRUE(fs::exists(tree / "_thisdir.txt"));
}

TEST_F(EngineTest, SymbolicLinkLoopsAreNotFollowed) {
    if (!test::MakeSymlink(tree, tree / "sub" / "loop", true))
        GTEST_SKIP() << test::kNoSymlinks;
    Listing({Tree()});
    EXPECT_EQ(engine.Folders().size(), 4u);
    const DirRecord& sub = Record(tree / "sub");
    ASSERT_EQ(sub.entries.size(), 3u);
    EXPECT_EQ(sub.entries[2].name, "loop");
    EXPECT_FALSE(sub.entries[2].isDirectory);
}

TEST_F(EngineTest, CacheKeepsChecksumsWhileTheFileIsUnchanged) {
    target.options.m_bFileCrc32 = true;
    target.options.m_bFileVersion = true;
    test::SetTimes(tree / "a.txt", 1000, 1000);
    Listing({Tree()});
    EXPECT_EQ(last.statistics.checksumsComputed, 5u);
    EXPECT_EQ(last.statistics.versionsComputed, 5u);
    EXPECT_EQ(last.statistics.reusedEntries, 0u);

    Listing({Tree()});
    EXPECT_EQ(last.statistics.checksumsComputed, 0u);
    EXPECT_EQ(last.statistics.versionsComputed, 0u);
    EXPECT_EQ(last.statistics.reusedEntries, 8u); // 5 files and 3 folders

    MakeFile(tree / "a.txt", 11, 'y');
    test::SetTimes(tree / "a.txt", 2000, 2000);
    const std::string listing = Listing({Tree()});
    EXPECT_EQ(last.statistics.checksumsComputed, 1u);
    EXPECT_NE(listing.find(" 11 "), std::string::npos);
}

TEST_F(EngineTest, ChecksumsOnlyWhenTheColumnIsOn) {
    Listing({Tree()});
    EXPECT_EQ(last.statistics.checksumsComputed, 0u);
    EXPECT_EQ(last.statistics.versionsComputed, 0u);
}

TEST_F(EngineTest, FlatModeSortsAllFilesTogether) {
    target.options.m_bDirName = false;
    target.options.m_bFilesAllTogether = true;
    target.options.m_bSubdirs = false;
    target.options.m_bFileSize = false;
    target.options.m_bFileDate = target.options.m_bFileTime = target.options.m_bFileAttributes = false;
    target.options.m_sortFilesBy = FileSortKey::Name;
    target.options.m_nFileNameWidth = 6;
    const std::string listing = Listing({Tree()});
    EXPECT_EQ(listing.substr(listing.find("\n\n") + 2), "a.txt \nb.doc \nc.txt \nd.txt \ne.bin \n");
}

TEST_F(EngineTest, ListingNameMustBeAPlainFileName) {
    target.options.m_bListingInEachDir = true;
    std::vector<std::string> names = {"../escape", ".", "..", "a/b"};
#ifdef _WIN32
    names.insert(names.end(), {"..\\escape", "c:escape", "x:y"}); // a drive, a stream of another file
#endif
    for (const std::string& name : names) {
        target.options.m_strListingName = name;
        Listing({"2|" + tree.string()});
    }
    EXPECT_FALSE(fs::exists(scratch.Path() / "escape.txt"));
    EXPECT_FALSE(fs::exists(tree / "..txt"));
    target.options.m_strListingName = "_thisdir";
    Listing({"2|" + tree.string()});
    EXPECT_TRUE(fs::exists(tree / "_thisdir.txt"));
}

// The line of a root folder ("/", or on Windows the drive of the scratch folder "c:") has blanks as
// wide as a date and time instead of them.
TEST_F(EngineTest, ARootFolderShowsNoDateOrTime) {
    const std::string root = kNativePaths.RootKeyFromText(tree.string());
    target.options.m_bFileName = false;
    target.options.m_bFileCountInDirName = false;
    target.options.m_bDirSize = false;
    target.options.m_bDirAttributes = false;
    constexpr std::size_t kWidth = 1000; // no path is cut
    target.options.m_nDirNameWidth = static_cast<int>(kWidth);
    const std::string listing = Listing({"2|" + root, "2|" + tree.string()});
    std::string rootLine, treeLine;
    for (std::size_t start = 0, end; start < listing.size(); start = end + 1) {
        end = std::min(listing.find('\n', start), listing.size());
        std::string line = listing.substr(start, end - start);
        if (line.ends_with('\r'))
            line.pop_back(); // the line end of a Windows text file
        if (line.starts_with(root + kPathSeparator + ' '))
            rootLine = line;
        else if (line.starts_with(tree.string() + kPathSeparator + ' '))
            treeLine = line;
    }
    ASSERT_GT(treeLine.size(), kWidth) << listing;
    ASSERT_GT(rootLine.size(), kWidth) << listing;
    const std::string dateAndTime = treeLine.substr(kWidth);
    EXPECT_NE(dateAndTime.find_first_of("0123456789"), std::string::npos) << treeLine;
    EXPECT_EQ(rootLine.substr(kWidth), std::string(dateAndTime.size(), ' '));
}

TEST_F(EngineTest, OutputPathWithoutADotGetsTheTypesExtension) {
    target.outputPath = (scratch.Path() / "plain").string();
    Listing({Tree()});
    EXPECT_EQ(last.outputPath, (scratch.Path() / "plain.txt").string());
    const fs::path dotted = scratch.Path() / "dir.d";
    fs::create_directory(dotted);
    target.outputPath = (dotted / "name").string();
    Listing({Tree()});
    EXPECT_EQ(last.outputPath, (dotted / "name").string());
}

TEST_F(EngineTest, AListingWrittenIntoAListedFolderListsNeitherItsNewFileNorItself) {
    // Where the new file has a name while it is written (always on Windows), the scan of its folder
    // finds it; the listing shows only what was there before.
    target.outputPath = (tree / "list.txt").string();
    Listing({"2|" + tree.string()});
    std::vector<std::string> names;
    for (const FileRecord& entry : Record(tree).entries)
        names.push_back(std::string(entry.name));
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.doc", "other.txt", "sub"}));
    EXPECT_EQ(Record(tree).fileCount, 2u);
}

TEST_F(EngineTest, OutputThatCannotBeOpenedWritesNothingAndStaysIdle) {
    target.outputPath = (scratch.Path() / "no" / "such" / "dir" / "out.txt").string();
    target.checkedDirs = {Tree()};
    engine.SetRunTarget(target);
    EXPECT_EQ(engine.Run().status, RunStatus::OpenFailed);
    // A run that cannot start never enters the busy state, but still reports that it finished.
    EXPECT_EQ(host.Calls(), std::vector<std::string>{Finished(RunStatus::OpenFailed)});
    EXPECT_TRUE(engine.Folders().empty());
}

// The window may cancel as soon as its run thread exists, before Run has begun: that cancel holds.
TEST_F(EngineTest, CancelBeforeTheRunBeginsIsKept) {
    target.checkedDirs = {Tree()};
    engine.SetRunTarget(target);
    engine.RequestCancel();
    EXPECT_EQ(engine.Run().status, RunStatus::Cancelled);
    engine.SetRunTarget(target);
    EXPECT_EQ(engine.Run().status, RunStatus::Written);
}

// Cancelled once the scan is complete: the run still writes a complete listing, reports it cancelled,
// and keeps no checksum it did not finish, so that the next run computes every one.
TEST_F(EngineTest, CancelAfterTheScanEndsWithACompleteListingAndNoChecksums) {
    for (int i = 0; i < 200; ++i)
        MakeFile(tree / ("many" + std::to_string(i % 20)) / ("f" + std::to_string(i) + ".txt"), 1);
    MakeFile(tree / "large.bin", FileChecksummer::kChunkSize + 1); // read as its row is written
    target.options.m_bFileCrc32 = true;
    target.options.m_outputType = OutputType::Csv;
    target.checkedDirs = {Tree()};
    engine.SetRunTarget(target);
    host.cancelWhenScanned = &engine;
    last = engine.Run();
    EXPECT_EQ(last.status, RunStatus::Cancelled);
    EXPECT_EQ(host.Calls(),
              (std::vector<std::string>{"enter", "progress", "leave", Finished(RunStatus::Cancelled)}));
    EXPECT_EQ(last.statistics.checksumsComputed, 0u);
    // The progress of the complete scan says what the run's totals say.
    ASSERT_TRUE(host.finalCounts);
    EXPECT_EQ(host.finalCounts->folders, last.statistics.dirCount);
    EXPECT_EQ(host.finalCounts->entries, last.statistics.entryCount);
    EXPECT_GT(host.finalCounts->entries, 200);
    EXPECT_EQ(host.finalCounts->checksumFile, "");
    const std::string listing = test::ReadTextFile(output);
    EXPECT_NE(listing.find("\nf199;;txt;1;"), std::string::npos) << listing.substr(0, 500);
    EXPECT_NE(listing.find("\nlarge;;bin;"), std::string::npos);

    host.Clear();
    Listing({Tree()});
    EXPECT_EQ(last.statistics.checksumsComputed, 206u);
    EXPECT_EQ(host.Calls().back(), Finished(RunStatus::Written));
}

} // namespace
} // namespace quillary
