// The listing run over real folders: scan, counts, the scan cache, modes, checksums and cancellation.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "engine/file_checksum.h"
#include "engine/listing_engine.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;

class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "quillary-engine-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~ScratchDir() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

void MakeFile(const fs::path& path, std::size_t size, char fill = 'x') {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << std::string(size, fill);
}

void SetModified(const fs::path& path, std::int64_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Records the host calls, from whichever thread they come.
class RecordingHost : public ListingHost {
public:
    void ShowProgress(const std::string& text) override {
        progressCalls++;
        if (text.find("CRC") != std::string::npos)
            crcProgressCalls++;
    }
    void EnterBusyState() override { busy++; }
    void LeaveBusyState() override { busy--; }
    std::atomic<int> progressCalls{0}, crcProgressCalls{0}, busy{0};
};

class EngineTest : public ::testing::Test {
protected:
    EngineTest() {
        tree = scratch.path / "tree";
        MakeFile(tree / "a.txt", 10);
        MakeFile(tree / "b.doc", 20);
        MakeFile(tree / "sub" / "c.txt", 30);
        MakeFile(tree / "sub" / "deeper" / "d.txt", 40);
        MakeFile(tree / "other.txt" / "e.bin", 50); // a folder whose name matches "*.txt"
        output = (scratch.path / "out.txt").string();
        target.outputPath = output;
        target.headerTime = 0;
    }
    std::string Listing(const CheckedDirList& dirs) {
        target.checkedDirs = dirs;
        engine.SetRunTarget(target);
        EXPECT_EQ(engine.Run(), RunStatus::Written);
        return ReadAll(engine.OutputPath());
    }
    std::string Tree() const { return "3|" + tree.string(); }
    const DirRecord& Record(const fs::path& path) const { return engine.DirectoryMap().at(path.string()); }

    ScratchDir scratch;
    fs::path tree;
    std::string output;
    RecordingHost host;
    ListingEngine engine{&host};
    RunTarget target;
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
    EXPECT_EQ(engine.Statistics().dirCount, 4);
}

TEST_F(EngineTest, FolderAloneIsNotDescendedAndAFolderReachedTwiceIsOneRecord) {
    Listing({"2|" + tree.string()});
    EXPECT_EQ(engine.DirectoryMap().size(), 1u);
    EXPECT_EQ(Record(tree).totalSize, 30u);
    target.options.m_bFileCrc32 = true;
    Listing({Tree(), "3|" + (tree / "sub").string()});
    EXPECT_EQ(engine.DirectoryMap().size(), 4u);
    EXPECT_EQ(Record(tree / "sub").totalSize, 70u);
    // The second visit reuses the first visit's records, so a checksum is never computed twice.
    Listing({Tree(), "3|" + (tree / "sub").string()});
    EXPECT_EQ(engine.Statistics().checksumsComputed, 0u);
}

TEST_F(EngineTest, UnreadableAndMissingFoldersGiveEmptyRecords) {
    const fs::path missing = tree / "gone";
    Listing({"3|" + missing.string()});
    const DirRecord& record = Record(missing);
    EXPECT_TRUE(record.entries.empty());
    EXPECT_EQ(record.totalSize, 0u);
    EXPECT_TRUE(record.attributes.empty());
}

TEST_F(EngineTest, SymbolicLinkLoopsAreNotFollowed) {
    fs::create_directory_symlink(tree, tree / "sub" / "loop");
    Listing({Tree()});
    EXPECT_EQ(engine.DirectoryMap().size(), 4u);
    const DirRecord& sub = Record(tree / "sub");
    ASSERT_EQ(sub.entries.size(), 3u);
    EXPECT_EQ(sub.entries[2].name, "loop");
    EXPECT_FALSE(sub.entries[2].isDirectory);
}

TEST_F(EngineTest, CacheKeepsChecksumsWhileTheFileIsUnchanged) {
    target.options.m_bFileCrc32 = true;
    target.options.m_bFileVersion = true;
    SetModified(tree / "a.txt", 1000);
    Listing({Tree()});
    EXPECT_EQ(engine.Statistics().checksumsComputed, 5u);
    EXPECT_EQ(engine.Statistics().versionsComputed, 5u);
    EXPECT_EQ(engine.Statistics().reusedEntries, 0u);

    Listing({Tree()});
    EXPECT_EQ(engine.Statistics().checksumsComputed, 0u);
    EXPECT_EQ(engine.Statistics().versionsComputed, 0u);
    EXPECT_EQ(engine.Statistics().reusedEntries, 8u); // 5 files and 3 folders

    MakeFile(tree / "a.txt", 11, 'y');
    SetModified(tree / "a.txt", 2000);
    const std::string listing = Listing({Tree()});
    EXPECT_EQ(engine.Statistics().checksumsComputed, 1u);
    EXPECT_NE(listing.find(" 11 "), std::string::npos);
}

TEST_F(EngineTest, ChecksumsOnlyWhenTheColumnIsOn) {
    Listing({Tree()});
    EXPECT_EQ(engine.Statistics().checksumsComputed, 0u);
    EXPECT_EQ(engine.Statistics().versionsComputed, 0u);
}

TEST_F(EngineTest, FlatModeSortsAllFilesTogether) {
    target.options.m_bDirName = false;
    target.options.m_bFilesAllTogether = true;
    target.options.m_bSubdirs = false;
    target.options.m_bFileSize = false;
    target.options.m_bFileDate = target.options.m_bFileTime = target.options.m_bFileAttributes = false;
    target.options.m_nSortFilesBy = 0;
    target.options.m_nFileNameWidth = 6;
    const std::string listing = Listing({Tree()});
    EXPECT_EQ(listing.substr(listing.find("\n\n") + 2), "a.txt \nb.doc \nc.txt \nd.txt \ne.bin \n");
}

TEST_F(EngineTest, ListingNameMustBeAPlainFileName) {
    target.options.m_bListingInEachDir = true;
    for (const char* name : {"../escape", ".", "..", "a/b"}) {
        target.options.m_strListingName = name;
        Listing({"2|" + tree.string()});
    }
    EXPECT_FALSE(fs::exists(scratch.path / "escape.txt"));
    EXPECT_FALSE(fs::exists(tree / "..txt"));
    target.options.m_strListingName = "_thisdir";
    Listing({"2|" + tree.string()});
    EXPECT_TRUE(fs::exists(tree / "_thisdir.txt"));
}

TEST_F(EngineTest, OutputPathWithoutADotGetsTheTypesExtension) {
    target.outputPath = (scratch.path / "plain").string();
    Listing({Tree()});
    EXPECT_EQ(engine.OutputPath(), (scratch.path / "plain.txt").string());
    const fs::path dotted = scratch.path / "dir.d";
    fs::create_directory(dotted);
    target.outputPath = (dotted / "name").string();
    Listing({Tree()});
    EXPECT_EQ(engine.OutputPath(), (dotted / "name").string());
}

TEST_F(EngineTest, OutputThatCannotBeOpenedWritesNothingAndStaysIdle) {
    target.outputPath = (scratch.path / "no" / "such" / "dir" / "out.txt").string();
    target.checkedDirs = {Tree()};
    engine.SetRunTarget(target);
    EXPECT_EQ(engine.Run(), RunStatus::OpenFailed);
    EXPECT_EQ(host.busy.load(), 0);
    EXPECT_TRUE(engine.DirectoryMap().empty());
}

// Cancelling from another thread while a run is busy: the run still writes a complete file.
TEST_F(EngineTest, CancelFromAnotherThreadEndsWithACompleteListing) {
    for (int i = 0; i < 200; ++i)
        MakeFile(tree / ("many" + std::to_string(i % 20)) / ("f" + std::to_string(i) + ".txt"), 1);
    target.options.m_bFileCrc32 = true;
    target.checkedDirs = {Tree()};
    engine.SetRunTarget(target);
    std::atomic<bool> started{false};
    std::thread run([&] {
        started = true;
        EXPECT_EQ(engine.Run(), RunStatus::Written);
    });
    while (!started)
        std::this_thread::yield();
    engine.RequestCancel();
    run.join();
    const std::string listing = ReadAll(output);
    EXPECT_EQ(listing.rfind("# Generated on", 0), 0u);
    EXPECT_EQ(host.busy.load(), 0);
    // A checksum ended by cancel is not cached, so the next run computes it.
    if (engine.Statistics().cancelled) {
        Listing({Tree()});
        EXPECT_FALSE(engine.Statistics().cancelled);
    }
}

std::uint32_t TableCrc32(const unsigned char* data, std::size_t size) {
    std::uint32_t table[256];
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        table[i] = c;
    }
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

TEST(ChecksumTest, MatchesTheTableDrivenDefinition) {
    EXPECT_EQ(Crc32Update(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32Update(0, "", 0), 0u);
    std::mt19937 random(42);
    for (std::size_t size : {1u, 7u, 64u, 1000u, 65537u}) {
        std::vector<unsigned char> data(size);
        for (auto& byte : data)
            byte = static_cast<unsigned char>(random());
        EXPECT_EQ(Crc32Update(0, data.data(), size), TableCrc32(data.data(), size)) << size;
        // Continuing over two pieces gives the same value.
        const std::size_t half = size / 2;
        EXPECT_EQ(Crc32Update(Crc32Update(0, data.data(), half), data.data() + half, size - half),
                  TableCrc32(data.data(), size));
    }
}

TEST(ChecksumTest, FilesAcrossTheChunkBoundaryAndUnreadableFiles) {
    ScratchDir scratch;
    const std::size_t size = FileChecksummer::kChunkSize + 12345;
    std::vector<unsigned char> data(size);
    std::mt19937 random(7);
    for (auto& byte : data)
        byte = static_cast<unsigned char>(random());
    const fs::path path = scratch.path / "big.bin";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(size));
    FileChecksummer checksummer;
    std::atomic<bool> cancel{false};
    int progressCalls = 0;
    auto result = checksummer.Compute(path.string(), size, cancel, [&](std::uint64_t) { ++progressCalls; });
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(result.crc, TableCrc32(data.data(), size));
    EXPECT_EQ(progressCalls, 2);

    result = checksummer.Compute((scratch.path / "missing").string(), 10, cancel, {});
    EXPECT_EQ(result.crc, 0u);
    EXPECT_TRUE(result.complete);

    cancel = true;
    result = checksummer.Compute(path.string(), size, cancel, {});
    EXPECT_FALSE(result.complete);
}

} // namespace
} // namespace quillary
