// The checksum cache through quillary-cli: two programs listing at once share it and both complete,
// and --no-cache or the option turned off in a configuration leave it alone.
#include <thread>

#include "fixture_tree.h"

namespace quillary::test {
namespace {

class ChecksumCacheCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree = scratch.Path() / "tree";
        for (int folder = 0; folder < 20; ++folder) {
            const fs::path dir = tree / ("d" + std::to_string(folder));
            fs::create_directories(dir);
            for (int file = 0; file < 100; ++file)
                WriteFile(dir / ("f" + std::to_string(file) + ".txt"),
                          std::string(file * 13, 'x') + dir.string());
        }
        fs::create_directory(scratch.Path() / "cache");
    }
    CliResult List(std::vector<std::string> args) const {
        RunOptions options;
        options.environment = {
            {kOnWindows ? "LOCALAPPDATA" : "XDG_CACHE_HOME", (scratch.Path() / "cache").string()}};
        args.push_back(tree.string());
        return RunCli(args, scratch.Path(), QUILLARY_CLI_PATH, options);
    }
    fs::path Database() const { return scratch.Path() / "cache" / "quillary" / "checksums.sqlite"; }

    ScratchDir scratch;
    fs::path tree;
};

TEST_F(ChecksumCacheCliTest, TwoProgramsAtOnceBothComplete) {
    CliResult first, second;
    {
        std::thread other([&] { second = List({"--hash", "crc32,sha256", "--output", "-"}); });
        first = List({"--hash", "crc32", "--output", "-"});
        other.join();
    }
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.err, "");
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.err, "");
    // Whatever each took from the other, the checksums are those of the files.
    EXPECT_EQ(List({"--hash", "crc32", "--output", "-"}).out, first.out);
    EXPECT_TRUE(fs::exists(Database()));
}

TEST_F(ChecksumCacheCliTest, NoCacheAndTheOptionLeaveTheCacheAlone) {
    WriteFile(scratch.Path() / "nocache.qlc", "[Settings]\n1014=1\n1133=0\n");
    const CliResult configured = List({"/o", "nocache", "--output", "-"});
    EXPECT_EQ(configured.exitCode, 0) << configured.err;
    const CliResult direct = List({"--hash", "crc32", "--no-cache", "--output", "-"});
    EXPECT_EQ(direct.exitCode, 0) << direct.err;
    EXPECT_EQ(direct.out, configured.out);
    EXPECT_FALSE(fs::exists(Database()));

    const CliResult kept = List({"--hash", "crc32", "--output", "-"});
    EXPECT_EQ(kept.out, direct.out);
    EXPECT_TRUE(fs::exists(Database()));
}

} // namespace
} // namespace quillary::test
