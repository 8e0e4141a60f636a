// Checksums that are real or absent: the standard CRC-32 of the whole file, only regular files get one,
// read without following links, and a file that is not as listed, or changes while it is read, gets
// none, a problem, and no cache entry.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>

#include "engine/file_checksum.h"
#include "engine/listing_engine.h"
#include "support/scratch_dir.h"
#include "support/special_files.h"
#include "support/system.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScratchDir;
using test::WriteFile;
using Outcome = FileChecksummer::Outcome;

class ChecksumOutcomeTest : public ::testing::Test {
protected:
    Outcome Check(const fs::path& path, std::uint64_t size, std::int64_t modified,
                  const std::function<void(std::uint64_t)>& progress = {}) {
        return checksummer.Compute(path.string(), size, modified, cancel, progress).outcome;
    }
    ScratchDir scratch;
    FileChecksummer checksummer;
    std::atomic<bool> cancel{false};
};

TEST_F(ChecksumOutcomeTest, OnlyRegularFilesAreRead) {
    const fs::path file = scratch.Path() / "file.txt";
    WriteFile(file, "123456789");
    test::SetTimes(file, 1000, 1000);
    EXPECT_EQ(Check(file, 9, 1000), Outcome::Complete);

    if (!test::MakeSymlink(file, scratch.Path() / "link"))
        GTEST_SKIP() << test::kNoSymlinks;
    test::MakeSymlink("missing", scratch.Path() / "dangling");
    for (const char* name : {"link", "dangling"})
        EXPECT_EQ(Check(scratch.Path() / name, 9, 1000), Outcome::NotRegular) << name;
    if (test::kOnWindows)
        GTEST_SKIP() << test::kNoFifos;
    ASSERT_TRUE(test::MakeFifo(scratch.Path() / "fifo")); // must not wait for a writer
    const test::BoundSocket server(scratch.Path() / "socket");
    ASSERT_TRUE(server.Bound());
    for (const char* name : {"fifo", "socket"})
        EXPECT_EQ(Check(scratch.Path() / name, 9, 1000), Outcome::NotRegular) << name;
}

TEST_F(ChecksumOutcomeTest, AFileNotAsListedOrChangedWhileReadIsChanged) {
    const fs::path file = scratch.Path() / "file.bin";
    const std::size_t size = FileChecksummer::kChunkSize + 100;
    auto reset = [&] {
        WriteFile(file, std::string(size, 'x'));
        test::SetTimes(file, 1000, 1000);
    };
    reset();
    EXPECT_EQ(Check(file, size - 1, 1000), Outcome::Changed);
    EXPECT_EQ(Check(file, size, 999), Outcome::Changed);
    EXPECT_EQ(Check(file, size, 1000), Outcome::Complete);

    // Changed between the first chunk and the second: cut short, grown, or rewritten in place with a new
    // time.
    const std::function<void()> changes[] = {
        [&] { fs::resize_file(file, 10); },
        [&] { std::ofstream(file, std::ios::app) << "more"; },
        [&] {
            std::fstream(file, std::ios::in | std::ios::out | std::ios::binary) << "yy";
            test::SetTimes(file, 1001, 1001);
        },
    };
    for (const auto& change : changes) {
        reset();
        bool changed = false;
        EXPECT_EQ(Check(file, size, 1000,
                        [&](std::uint64_t) {
                            if (!std::exchange(changed, true))
                                change();
                        }),
                  Outcome::Changed);
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

TEST_F(ChecksumOutcomeTest, FilesAcrossTheChunkBoundaryMissingFilesFoldersAndCancel) {
    const std::size_t size = FileChecksummer::kChunkSize + 12345;
    std::vector<unsigned char> data(size);
    std::mt19937 random(7);
    for (auto& byte : data)
        byte = static_cast<unsigned char>(random());
    const fs::path path = scratch.Path() / "big.bin";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(size));
    test::SetTimes(path, 1000, 1000);
    int progressCalls = 0;
    auto result =
        checksummer.Compute(path.string(), size, 1000, cancel, [&](std::uint64_t) { ++progressCalls; });
    EXPECT_EQ(result.outcome, FileChecksummer::Outcome::Complete);
    EXPECT_EQ(result.crc, TableCrc32(data.data(), size));
    EXPECT_EQ(progressCalls, 2);

    // A file that cannot be opened has no checksum and says why; a folder is not a regular file.
    result = checksummer.Compute((scratch.Path() / "missing").string(), 10, 1000, cancel, {});
    EXPECT_EQ(result.outcome, FileChecksummer::Outcome::Failed);
    EXPECT_EQ(result.error, ENOENT);
    result = checksummer.Compute(scratch.Path().string(), 10, 1000, cancel, {});
    EXPECT_EQ(result.outcome, FileChecksummer::Outcome::NotRegular);

    cancel = true;
    result = checksummer.Compute(path.string(), size, 1000, cancel, {});
    EXPECT_EQ(result.outcome, FileChecksummer::Outcome::Cancelled);
}

// The CSV cell of `name`'s checksum in a listing with file names and checksums.
std::string CrcCell(const std::string& listing, const std::string& name) {
    std::istringstream lines(listing);
    std::string line;
    std::size_t crcColumn = std::string::npos;
    while (std::getline(lines, line)) {
        std::vector<std::string> cells;
        std::istringstream fields(line);
        for (std::string cell; std::getline(fields, cell, ';');)
            cells.push_back(cell);
        if (crcColumn == std::string::npos) {
            crcColumn = std::find(cells.begin(), cells.end(), "CRC32") - cells.begin();
        } else if (!cells.empty() && cells[0] == name && crcColumn < cells.size()) {
            return cells[crcColumn];
        }
    }
    return "(no row)";
}

// Calls `act` once, as soon as the scan is complete: every entry has been read, no checksum yet.
class ScanDoneHost : public ListingHost {
public:
    explicit ScanDoneHost(std::function<void()> act) : m_act(std::move(act)) {}
    void ShowProgress(const RunProgress& progress) override {
        if (m_act && progress.scanComplete)
            std::exchange(m_act, nullptr)();
    }
    void EnterBusyState() override {}
    void LeaveBusyState() override {}
    void RunFinished(const RunResult&) override {}

private:
    std::function<void()> m_act;
};

TEST(ChecksumCellTest, RegularFilesOnlyAndAFileChangedBeforeItsChecksumIsReportedNotCached) {
    ScratchDir scratch;
    const fs::path tree = scratch.Path() / "tree";
    fs::create_directory(tree);
    WriteFile(tree / "a.txt", "123456789");
    WriteFile(tree / "changing.txt", "first");
    test::SetTimes(tree / "changing.txt", 1000, 1000);
    if (test::kOnWindows)
        GTEST_SKIP() << test::kNoFifos;
    fs::create_symlink("a.txt", tree / "link.txt");
    ASSERT_TRUE(test::MakeFifo(tree / "fifo"));

    ScanDoneHost host([&] {
        WriteFile(tree / "changing.txt", "second");
        test::SetTimes(tree / "changing.txt", 2000, 2000);
    });
    ListingEngine engine(&host);
    RunTarget target;
    target.options.m_bFileCrc32 = true;
    target.options.m_bFileExtension = false;
    target.options.m_outputType = OutputType::Csv;
    target.checkedDirs = {"3|" + tree.string()};
    target.outputPath = (scratch.Path() / "out.csv").string();
    target.headerTime = 0;
    engine.SetRunTarget(target);
    RunResult result = engine.Run();
    std::string listing = ReadFile(target.outputPath);
    EXPECT_EQ(CrcCell(listing, "a.txt"), "cbf43926");
    EXPECT_EQ(CrcCell(listing, "link.txt"), "        ");
    EXPECT_EQ(CrcCell(listing, "fifo"), "        ");
    EXPECT_EQ(CrcCell(listing, "changing.txt"), "        ");
    ASSERT_EQ(result.problems.size(), 1u);
    EXPECT_EQ(DescribeProblem(result.problems[0]), "cannot read the checksum of '" +
                                                       (tree / "changing.txt").string() +
                                                       "': the file changed while it was read");
    EXPECT_EQ(result.statistics.checksumsComputed, 1u);

    // The next run computes the changed file's checksum; a.txt comes from the cache.
    result = engine.Run();
    listing = ReadFile(target.outputPath);
    EXPECT_EQ(result.statistics.checksumsComputed, 1u);
    EXPECT_TRUE(result.problems.empty());
    char expected[9];
    std::snprintf(expected, sizeof expected, "%08x", Crc32Update(0, "second", 6));
    EXPECT_EQ(CrcCell(listing, "changing.txt"), expected);

    // Rewritten with its old time kept: the size tells the cache that the checksum is stale.
    WriteFile(tree / "changing.txt", "third!!");
    test::SetTimes(tree / "changing.txt", 2000, 2000);
    result = engine.Run();
    EXPECT_EQ(result.statistics.checksumsComputed, 1u);
    std::snprintf(expected, sizeof expected, "%08x", Crc32Update(0, "third!!", 7));
    EXPECT_EQ(CrcCell(ReadFile(target.outputPath), "changing.txt"), expected);
}

} // namespace
} // namespace quillary
