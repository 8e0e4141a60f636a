// Checksums kept between runs: a fresh engine (nothing kept in memory) reads no file whose identity is
// unchanged, reads again every file that differs in any part of it, survives a damaged database, and
// drops rows not seen for the keeping period.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "engine/listing_engine.h"
#include "persistence/checksum_cache.h"
#include "platform/file_identity.h"
#include "session/run_report.h"
#include "support/environment.h"
#include "support/scratch_dir.h"
#include "support/system.h"

#if __has_include(<sqlite3.h>)
#include <sqlite3.h>
#endif

namespace quillary {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScratchDir;
using test::WriteFile;

constexpr std::int64_t kFileTime = 1'000'000'000; // whole seconds, so that putting a time back is exact
constexpr const char* kCacheVariable = test::kOnWindows ? "LOCALAPPDATA" : "XDG_CACHE_HOME";

class ChecksumCacheRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv(kCacheVariable))
            saved = old;
        fs::create_directory(scratch.Path() / "cache");
        test::SetEnvironment(kCacheVariable, (scratch.Path() / "cache").string());
        fs::create_directory(tree);
        Put("a.txt", "123456789");
        Put("b.txt", "second");
        target.options.m_bFileExtension = false;
        target.options.m_bFileCrc32 = true;
        target.options.m_outputType = OutputType::Csv;
        target.checkedDirs = {"3|" + tree.string()};
        target.outputPath = (scratch.Path() / "out.csv").string();
        target.headerTime = 0;
    }
    void TearDown() override {
        if (saved)
            test::SetEnvironment(kCacheVariable, *saved);
        else
            test::UnsetEnvironment(kCacheVariable);
    }
    void Put(const std::string& name, const std::string& contents) {
        WriteFile(tree / name, contents);
        test::SetTimes(tree / name, kFileTime, kFileTime);
    }
    // A new engine each time: only the database carries checksums from one run to the next.
    RunResult RunFresh() {
        ListingEngine engine;
        engine.SetRunTarget(target);
        return engine.Run();
    }
    // The CSV row of a file.
    std::string Row(const std::string& name) const {
        std::istringstream lines(ReadFile(target.outputPath));
        for (std::string line; std::getline(lines, line);)
            if (line.rfind(name + ";", 0) == 0)
                return line;
        return "(no row)";
    }
    fs::path Database() const { return scratch.Path() / "cache" / "quillary" / "checksums.sqlite"; }

    ScratchDir scratch;
    fs::path tree = scratch.Path() / "tree";
    RunTarget target;
    std::optional<std::string> saved;
};

TEST_F(ChecksumCacheRunTest, ASecondRunReadsNoFile) {
    // One file larger than the workers read, which is read as its row is written.
    std::string large(4 * 1024 * 1024 + 1, 'x');
    Put("large.bin", large);
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 3u);
    ASSERT_TRUE(fs::exists(Database()));
    const std::string first = ReadFile(target.outputPath);
    const RunResult second = RunFresh();
    EXPECT_EQ(second.statistics.checksumsComputed, 0u);
    EXPECT_TRUE(second.warnings.empty());
    EXPECT_EQ(ReadFile(target.outputPath), first);
    EXPECT_NE(Row("a.txt").find("cbf43926"), std::string::npos) << Row("a.txt");
    // The large file's entry is kept beside the others of its folder, which stay.
    large.back() = 'y';
    Put("large.bin", large);
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 1u);
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 0u);
}

TEST_F(ChecksumCacheRunTest, ANewFileIsTheOnlyOneReadAndADeletedOneChangesNothing) {
    Put("c.txt", "third");
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 3u);
    Put("0 first.txt", "new");
    Put("d.txt", "newer");
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 2u);
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 0u);
    fs::remove(tree / "b.txt");
    fs::remove(tree / "0 first.txt");
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 0u);
    EXPECT_EQ(Row("b.txt"), "(no row)");
    EXPECT_NE(Row("a.txt").find("cbf43926"), std::string::npos) << Row("a.txt");
    // A file of a deleted one's name is another file.
    Put("b.txt", "second");
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 1u);
}

// Files of one name in two folders, of the same size and time: each folder's row holds its own.
TEST_F(ChecksumCacheRunTest, EachFolderKeepsItsOwnFiles) {
    for (const char* folder : {"x", "y"})
        fs::create_directory(tree / folder);
    Put("x/same.txt", "123456789");
    Put("y/same.txt", "abcdefghi");
    target.options.m_bFileExtension = true;
    target.options.m_bFilePath = true;
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 4u);
    const std::string first = ReadFile(target.outputPath);
    EXPECT_NE(first.find("cbf43926"), std::string::npos);
    EXPECT_NE(first.find("8da988af"), std::string::npos);
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 0u);
    EXPECT_EQ(ReadFile(target.outputPath), first);
    Put("y/same.txt", "987654321");
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 1u);
    EXPECT_NE(ReadFile(target.outputPath).find("015f0201"), std::string::npos);
    EXPECT_NE(ReadFile(target.outputPath).find("cbf43926"), std::string::npos);
}

// Two runs at once, one for CRC-32 and one for CRC-32 and SHA-256, each write what they read into the
// rows of the same folders: afterwards every file's row holds both checksums.
TEST_F(ChecksumCacheRunTest, TwoRunsAtOnceKeepWhatEachRead) {
    for (int folder = 0; folder < 8; ++folder) {
        fs::create_directory(tree / ("d" + std::to_string(folder)));
        for (int file = 0; file < 30; ++file)
            Put("d" + std::to_string(folder) + "/f" + std::to_string(file), std::string(file, 'x'));
    }
    RunTarget crc = target, both = target;
    both.options.m_bFileSha256 = true;
    both.outputPath = (scratch.Path() / "both.csv").string();
    RunResult first, second;
    {
        std::thread other([&] {
            ListingEngine engine;
            engine.SetRunTarget(both);
            second = engine.Run();
        });
        ListingEngine engine;
        engine.SetRunTarget(crc);
        first = engine.Run();
        other.join();
    }
    EXPECT_TRUE(first.warnings.empty());
    EXPECT_TRUE(second.warnings.empty());
    EXPECT_EQ(second.statistics.checksumsComputed, 242u); // each file, for SHA-256 at least
    const std::string listed = ReadFile(both.outputPath);
    target = both;
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 0u);
    EXPECT_EQ(ReadFile(target.outputPath), listed);
}

TEST_F(ChecksumCacheRunTest, AFileThatDiffersInAnyWayIsReadAgain) {
    const struct {
        const char* change;
        std::function<void(const fs::path&)> make;
        const char* crc;
    } cases[] = {
        {"touched", [](const fs::path& file) { test::SetTimes(file, kFileTime + 1, kFileTime); }, "cbf43926"},
        {"grown",
         [](const fs::path& file) {
             std::ofstream(file, std::ios::binary | std::ios::app) << "0";
             test::SetTimes(file, kFileTime, kFileTime);
         },
         "261daee5"},
        {"replaced by another file of the same size and time",
         [](const fs::path& file) {
             const fs::path other = file.parent_path() / "other.tmp";
             WriteFile(other, "abcdefghi");
             test::SetTimes(other, kFileTime, kFileTime);
             fs::rename(other, file);
         },
         "8da988af"},
        {"rewritten in place, its time put back",
         [](const fs::path& file) {
             WriteFile(file, "987654321");
             test::SetTimes(file, kFileTime, kFileTime);
         },
         "015f0201"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        fs::remove(tree / "a.txt");
        Put("a.txt", "123456789");
        RunFresh();
        ASSERT_EQ(RunFresh().statistics.checksumsComputed, 0u);
        c.make(tree / "a.txt");
        EXPECT_EQ(RunFresh().statistics.checksumsComputed, 1u);
        EXPECT_NE(Row("a.txt").find(c.crc), std::string::npos) << Row("a.txt");
        EXPECT_EQ(RunFresh().statistics.checksumsComputed, 0u); // the new contents are kept in turn
    }
}

TEST_F(ChecksumCacheRunTest, ARowWithoutAWantedChecksumIsReadAgainAndCompleted) {
    auto run = [&](bool crc, bool xxh3, bool sha256) {
        target.options.m_bFileCrc32 = crc;
        target.options.m_bFileXxh3 = xxh3;
        target.options.m_bFileSha256 = sha256;
        return RunFresh().statistics.checksumsComputed;
    };
    EXPECT_EQ(run(true, false, false), 2u);
    EXPECT_EQ(run(true, false, true), 2u);
    EXPECT_EQ(run(false, false, true), 0u);
    EXPECT_NE(Row("a.txt").find("15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225"),
              std::string::npos);
    EXPECT_EQ(run(false, true, false), 2u);
    EXPECT_EQ(run(true, true, true), 0u); // the row keeps what it held before, with the new one
    EXPECT_NE(Row("a.txt").find("72dcb18b67a17dff"), std::string::npos) << Row("a.txt");
    EXPECT_NE(Row("a.txt").find("cbf43926"), std::string::npos) << Row("a.txt");
}

TEST_F(ChecksumCacheRunTest, TheOptionSwitchesTheCacheOff) {
    target.options.m_bKeepChecksums = false;
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 2u);
    EXPECT_FALSE(fs::exists(Database()));
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 2u);
    target.options.m_bKeepChecksums = true;
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 2u);
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 0u);
}

TEST_F(ChecksumCacheRunTest, ADamagedDatabaseIsSetAsideWithOneWarning) {
    const struct {
        const char* damage;
        bool keepsHeader; // the first page (the header and the schema) stays whole
    } cases[] = {{"not a database", false}, {"pages overwritten", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.damage);
        fs::remove(Database().string() + ".bad");
        RunFresh();
        ASSERT_TRUE(fs::exists(Database()));
        std::string bytes = ReadFile(Database());
        ASSERT_GT(bytes.size(), 4096u);
        for (std::size_t i = c.keepsHeader ? 4096 : 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(0x5a ^ (i * 7));
        WriteFile(Database(), bytes);

        const RunResult damaged = RunFresh();
        EXPECT_EQ(damaged.status, RunStatus::Written);
        EXPECT_TRUE(damaged.problems.empty());
        ASSERT_EQ(damaged.warnings.size(), 1u);
        EXPECT_NE(damaged.warnings[0].find("set aside"), std::string::npos) << damaged.warnings[0];
        EXPECT_EQ(DescribeRun(damaged, 0).exitStatus, kExitOk);
        EXPECT_NE(Row("a.txt").find("cbf43926"), std::string::npos) << Row("a.txt");
        EXPECT_TRUE(fs::exists(Database().string() + ".bad"));

        // A new database is used from then on (at the latest from the next run).
        RunFresh();
        const RunResult after = RunFresh();
        EXPECT_TRUE(after.warnings.empty()) << after.warnings.front();
        EXPECT_EQ(after.statistics.checksumsComputed, 0u);
    }
}

constexpr FolderIdentity kFolder{7, 70, true};

FileIdentity Identity(std::uint64_t index) {
    return FileIdentity{1, index, 5, 100, 0, 100, 0};
}

CachedFile File(std::uint64_t index, std::uint32_t crc, std::int64_t seen = 20000) {
    return CachedFile{Identity(index), CachedChecksums{kHashCrc32, crc}, seen};
}

void Store(ChecksumCache& cache, const FolderIdentity& folder, std::vector<CachedFile> files) {
    cache.StoreFolder(folder, EncodeFolderFiles(files));
}

// The row of kFolder as a new reader finds it.
CachedFolder RowOf(ChecksumCache& cache) {
    CachedFolder row;
    cache.NewReader()->FindFolder(kFolder, row);
    return row;
}

TEST(ChecksumCacheTest, RowsAndEntriesNotSeenForTheKeepingPeriodAreDropped) {
    ScratchDir scratch;
    const std::string path = scratch.File("checksums.sqlite");
    constexpr FolderIdentity kOther{7, 71, true};
    constexpr std::int64_t kDay = 20000;
    constexpr std::uint64_t kOld = 10, kSeen = 11, kNew = 13;
    std::string warning;
    auto open = [&](std::int64_t today) {
        auto cache = ChecksumCache::Open(path, today, warning);
        EXPECT_NE(cache, nullptr) << warning;
        return cache;
    };
    {
        auto cache = open(kDay);
        Store(*cache, kFolder, {File(kOld, 1, kDay), File(kSeen, 2, kDay)});
        Store(*cache, kOther, {File(12, 3, kDay)});
        EXPECT_EQ(cache->Finish(), "");
    }
    {
        auto cache = open(kDay + 60);
        const CachedFolder row = RowOf(*cache);
        ASSERT_EQ(row.Files().size(), 2u);
        ASSERT_NE(row.Find(Identity(kSeen)), nullptr);
        CachedFile seen = *row.Find(Identity(kSeen));
        EXPECT_EQ(seen.checksums.crc, 2u);
        EXPECT_EQ(seen.seen, kDay);
        seen.seen = kDay + 60;
        Store(*cache, kFolder, {seen}); // seen again: kept from this day on
        cache->Finish();
    }
    {
        auto cache = open(kDay + ChecksumCache::kKeepDays + 1);
        // The entry not seen since is dropped once its row is written again.
        Store(*cache, kFolder, {File(kNew, 4, kDay + ChecksumCache::kKeepDays + 1)});
        cache->Finish();
    }
    auto cache = open(kDay + ChecksumCache::kKeepDays + 1);
    const auto reader = cache->NewReader();
    CachedFolder row;
    EXPECT_FALSE(reader->FindFolder(kOther, row)); // the whole row, not written since
    ASSERT_TRUE(reader->FindFolder(kFolder, row));
    EXPECT_EQ(row.Find(Identity(kOld)), nullptr);
    ASSERT_NE(row.Find(Identity(kSeen)), nullptr);
    EXPECT_EQ(row.Find(Identity(kSeen))->seen, kDay + 60);
    ASSERT_NE(row.Find(Identity(kNew)), nullptr);
    EXPECT_FALSE(reader->FindFolder(FolderIdentity{7, 72, true}, row));
    EXPECT_TRUE(row.Files().empty());
}

// What two programs write into one folder's row at once, each from the row as it found it, is merged:
// an entry of the same identity keeps the checksums of both, another replaces the row's entry.
TEST(ChecksumCacheTest, TwoCachesWritingOneFolderKeepWhatEachRead) {
    ScratchDir scratch;
    const std::string path = scratch.File("checksums.sqlite");
    std::string warning;
    auto first = ChecksumCache::Open(path, 20000, warning);
    auto second = ChecksumCache::Open(path, 20000, warning);
    ASSERT_NE(first, nullptr) << warning;
    ASSERT_NE(second, nullptr) << warning;
    const CachedFile shared = File(10, 0xcbf43926);
    CachedFile strong = shared;
    strong.checksums = CachedChecksums{kHashSha256, 0, 0, Sha256Digest{0xab}};
    CachedFile replaced = File(12, 5);
    replaced.identity.changeNanoseconds = 1;
    Store(*first, kFolder, {shared, File(11, 1), File(12, 4)});
    Store(*second, kFolder, {strong, replaced, File(13, 2)});
    EXPECT_EQ(first->Finish(), "");
    EXPECT_EQ(second->Finish(), "");

    const CachedFolder row = RowOf(*first);
    ASSERT_EQ(row.Files().size(), 4u);
    const CachedFile* both = row.Find(shared.identity);
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(both->checksums.hashes, kHashCrc32 | kHashSha256);
    EXPECT_EQ(both->checksums.crc, 0xcbf43926u);
    EXPECT_EQ(both->checksums.sha256[0], 0xab);
    ASSERT_NE(row.Find(replaced.identity), nullptr);
    EXPECT_EQ(row.Find(replaced.identity)->identity, replaced.identity);
    EXPECT_EQ(row.Find(replaced.identity)->checksums.crc, 5u);
    EXPECT_NE(row.Find(Identity(11)), nullptr);
    EXPECT_NE(row.Find(Identity(13)), nullptr);
}

TEST(ChecksumCacheTest, ARowsBlobIsReadBackExactlyAndADamagedOneIsNone) {
    Sha256Digest digest{};
    for (std::size_t i = 0; i < digest.size(); ++i)
        digest[i] = static_cast<unsigned char>(0xff - i);
    std::vector<CachedFile> files = {
        {FileIdentity{0, 0, 0, 0, 0, 0, 0}, CachedChecksums{}, 0},
        {FileIdentity{64769, 1234567, 4096, -86400, 1, 1'700'000'000, 2}, CachedChecksums{kHashXxh3, 0, 42},
         20000},
        {FileIdentity{UINT64_MAX, UINT64_MAX, UINT64_MAX, INT64_MIN, 999'999'999, INT64_MAX, -1},
         CachedChecksums{kHashCrc32 | kHashXxh3 | kHashSha256, 0xffffffff, 0x0123456789abcdef, digest}, -5},
    };
    const std::vector<CachedFile> sorted = files;
    std::swap(files[0], files[2]); // in any order
    const std::string blob = EncodeFolderFiles(files);
    CachedFolder row;
    ASSERT_TRUE(DecodeFolderFiles(blob, row));
    ASSERT_EQ(row.Files().size(), sorted.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        SCOPED_TRACE(i);
        const CachedFile& got = row.Files()[i];
        EXPECT_EQ(got.identity, sorted[i].identity);
        EXPECT_EQ(got.seen, sorted[i].seen);
        EXPECT_EQ(got.checksums.hashes, sorted[i].checksums.hashes);
        EXPECT_EQ(got.checksums.crc, sorted[i].checksums.crc);
        EXPECT_EQ(got.checksums.xxh3, sorted[i].checksums.xxh3);
        if (sorted[i].checksums.hashes & kHashSha256) {
            EXPECT_EQ(got.checksums.sha256, sorted[i].checksums.sha256);
        }
    }
    FileIdentity other = sorted[1].identity;
    other.size = 1; // the same file as another version: found, and told apart by its identity
    EXPECT_EQ(row.Find(other), &row.Files()[1]);
    other.index = 1234568;
    EXPECT_EQ(row.Find(other), nullptr);

    // Cut inside an entry, or with a stray byte after the last, a blob is no row (an empty one is a row
    // of no files).
    EXPECT_TRUE(DecodeFolderFiles("", row));
    const std::size_t firstEntry = EncodeFolderFiles({sorted[0]}).size();
    const std::size_t secondEntry = EncodeFolderFiles({sorted[0], sorted[1]}).size();
    for (std::size_t size = 1; size < blob.size(); ++size) {
        if (size != firstEntry && size != secondEntry) {
            EXPECT_FALSE(DecodeFolderFiles(blob.substr(0, size), row)) << size;
        }
    }
    EXPECT_TRUE(row.Files().empty());
    EXPECT_FALSE(DecodeFolderFiles(blob + '\0', row));
    // Entries out of order cannot be looked up by halving.
    EXPECT_FALSE(DecodeFolderFiles(EncodeFolderFiles({sorted[1]}) + EncodeFolderFiles({sorted[0]}), row));
    // An unknown checksum.
    std::string unknown = EncodeFolderFiles({sorted[0]});
    unknown[unknown.size() - 1] = 8;
    EXPECT_FALSE(DecodeFolderFiles(unknown, row));
    // The encoder takes files in order only; of two entries of one file one is kept.
    FolderFilesEncoder encoder;
    EXPECT_TRUE(encoder.Add(sorted[1]));
    EXPECT_FALSE(encoder.Add(sorted[0]));
    EXPECT_FALSE(encoder.Add(sorted[1]));
    EXPECT_TRUE(encoder.Add(sorted[2]));
    ASSERT_TRUE(DecodeFolderFiles(encoder.Blob(), row));
    EXPECT_EQ(row.Files().size(), 2u);
    ASSERT_TRUE(DecodeFolderFiles(EncodeFolderFiles({File(2, 2), File(1, 1), File(2, 2)}), row));
    ASSERT_EQ(row.Files().size(), 2u);
    EXPECT_EQ(row.Files()[1].checksums.crc, 2u);
}

TEST(ChecksumCacheTest, ClearingEmptiesTheCacheAndDropsADamagedOne) {
    ScratchDir scratch;
    const std::string path = scratch.File("checksums.sqlite");
    std::string warning, error;
    {
        auto cache = ChecksumCache::Open(path, 20000, warning);
        ASSERT_NE(cache, nullptr) << warning;
        Store(*cache, kFolder, {File(10, 0xcbf43926)});
        cache->Finish();
    }
    EXPECT_TRUE(ChecksumCache::Clear(path, error)) << error;
    {
        auto cache = ChecksumCache::Open(path, 20000, warning);
        ASSERT_NE(cache, nullptr) << warning;
        CachedFolder row;
        EXPECT_FALSE(cache->NewReader()->FindFolder(kFolder, row));
    }
    WriteFile(path, std::string(5000, 'x'));
    EXPECT_TRUE(ChecksumCache::Clear(path, error)) << error;
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(ChecksumCache::Clear(scratch.File("missing.sqlite"), error));
}

#if __has_include(<sqlite3.h>)
// A database of the earlier layout (a row per file) is a cache all the same: its rows are dropped and
// the new tables made, without a warning.
TEST(ChecksumCacheTest, ADatabaseOfTheEarlierLayoutIsStartedAfresh) {
    ScratchDir scratch;
    const std::string path = scratch.File("checksums.sqlite");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(db,
                     "CREATE TABLE checksums(device INTEGER NOT NULL, file INTEGER NOT NULL, size INTEGER"
                     " NOT NULL, write_s INTEGER NOT NULL, write_ns INTEGER NOT NULL, change_s INTEGER NOT"
                     " NULL, change_ns INTEGER NOT NULL, hashes INTEGER NOT NULL, crc32 INTEGER, xxh3"
                     " INTEGER, sha256 BLOB, last_seen INTEGER NOT NULL, PRIMARY KEY(device, file))"
                     " WITHOUT ROWID; INSERT INTO checksums VALUES(1, 10, 5, 100, 0, 100, 0, 1, 7, 0, NULL,"
                     " 20000);",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
    std::string warning;
    {
        auto cache = ChecksumCache::Open(path, 20000, warning);
        ASSERT_NE(cache, nullptr) << warning;
        EXPECT_EQ(warning, "");
        Store(*cache, kFolder, {File(10, 7)});
        EXPECT_EQ(cache->Finish(), "");
    }
    auto cache = ChecksumCache::Open(path, 20000, warning);
    ASSERT_NE(cache, nullptr) << warning;
    EXPECT_EQ(RowOf(*cache).Files().size(), 1u);
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    int tables = -1;
    sqlite3_exec(
        db, "SELECT count(*) FROM sqlite_schema WHERE name = 'checksums'",
        [](void* count, int, char** values, char**) {
            *static_cast<int*>(count) = std::atoi(values[0]);
            return 0;
        },
        &tables, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(tables, 0);
}
#endif

} // namespace
} // namespace quillary
