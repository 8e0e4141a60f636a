// Checksums kept between runs: a fresh engine (nothing kept in memory) reads no file whose identity is
// unchanged, reads again every file that differs in any part of it, survives a damaged database, and
// drops rows not seen for the keeping period.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "engine/listing_engine.h"
#include "persistence/checksum_cache.h"
#include "platform/file_identity.h"
#include "session/run_report.h"
#include "support/environment.h"
#include "support/scratch_dir.h"
#include "support/system.h"

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
    EXPECT_EQ(RunFresh().statistics.checksumsComputed, 2u);
    ASSERT_TRUE(fs::exists(Database()));
    const std::string first = ReadFile(target.outputPath);
    const RunResult second = RunFresh();
    EXPECT_EQ(second.statistics.checksumsComputed, 0u);
    EXPECT_TRUE(second.warnings.empty());
    EXPECT_EQ(ReadFile(target.outputPath), first);
    EXPECT_NE(Row("a.txt").find("cbf43926"), std::string::npos) << Row("a.txt");
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

TEST(ChecksumCacheTest, RowsNotSeenForTheKeepingPeriodAreDropped) {
    ScratchDir scratch;
    const std::string path = scratch.File("checksums.sqlite");
    const FileIdentity old{1, 10, 5, 100, 0, 100, 0}, seen{1, 11, 5, 100, 0, 100, 0};
    const CachedChecksums sums{1, 0xcbf43926};
    constexpr std::int64_t kDay = 20000;
    std::string warning;
    auto open = [&](std::int64_t today) {
        auto cache = ChecksumCache::Open(path, today, warning);
        EXPECT_NE(cache, nullptr) << warning;
        return cache;
    };
    {
        auto cache = open(kDay);
        cache->Store(old, sums);
        cache->Store(seen, sums);
        EXPECT_EQ(cache->Finish(), "");
    }
    {
        auto cache = open(kDay + 60);
        CachedChecksums found;
        EXPECT_TRUE(cache->NewReader()->Find(seen, found)); // seen: kept from this day on
        EXPECT_EQ(found.crc, 0xcbf43926u);
        cache->Finish();
    }
    {
        auto cache = open(kDay + ChecksumCache::kKeepDays + 1);
        cache->Finish();
    }
    auto cache = open(kDay + ChecksumCache::kKeepDays + 1);
    const auto reader = cache->NewReader();
    CachedChecksums found;
    EXPECT_FALSE(reader->Find(old, found));
    EXPECT_TRUE(reader->Find(seen, found));
    FileIdentity changed = seen;
    changed.changeNanoseconds = 1;
    EXPECT_FALSE(reader->Find(changed, found));
}

TEST(ChecksumCacheTest, ClearingEmptiesTheCacheAndDropsADamagedOne) {
    ScratchDir scratch;
    const std::string path = scratch.File("checksums.sqlite");
    const FileIdentity file{1, 10, 5, 100, 0, 100, 0};
    std::string warning, error;
    {
        auto cache = ChecksumCache::Open(path, 20000, warning);
        ASSERT_NE(cache, nullptr) << warning;
        cache->Store(file, CachedChecksums{1, 0xcbf43926});
        cache->Finish();
    }
    EXPECT_TRUE(ChecksumCache::Clear(path, error)) << error;
    {
        auto cache = ChecksumCache::Open(path, 20000, warning);
        ASSERT_NE(cache, nullptr) << warning;
        CachedChecksums found;
        EXPECT_FALSE(cache->NewReader()->Find(file, found));
    }
    WriteFile(path, std::string(5000, 'x'));
    EXPECT_TRUE(ChecksumCache::Clear(path, error)) << error;
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(ChecksumCache::Clear(scratch.File("missing.sqlite"), error));
}

} // namespace
} // namespace quillary
