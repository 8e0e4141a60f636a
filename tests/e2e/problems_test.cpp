// What a listing could not read is reported beside it: the listing is written with its usual shape,
// each problem is one stderr line, and the exit status is 3. Run as an unprivileged user, because root
// reads folders and files whatever their permissions say.
#include "fixture_tree.h"
#include "support/special_files.h"

namespace quillary::test {
namespace {

class ProblemsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (kOnWindows)
            GTEST_SKIP() << kNoPermissionBits;
        // Everybody may enter the scratch folder, so that the unprivileged run reaches the tree.
        fs::permissions(tree.Root(), fs::perms::all, fs::perm_options::add);
        locked = tree.Data() / "Locked";
        fs::create_directory(locked);
        WriteFile(locked / "inside.txt", "x");
        secret = tree.Data() / "Sub" / "secret.txt";
        WriteFile(secret, "y");
        WriteFile(tree.Root() / "crc.qlc", "[Settings]\n1014=1\n");
        fs::permissions(locked, fs::perms::none);
        fs::permissions(secret, fs::perms::none);
    }

    // quillary-cli as the user "nobody" when this test runs as root, else as the current user, with a
    // checksum cache folder of its own that it may write.
    CliResult RunUnprivileged(const std::vector<std::string>& args) const {
        RunOptions options;
        options.asNobody = RunningAsRoot();
        const fs::path cache = tree.Root() / "cache";
        fs::create_directories(cache);
        fs::permissions(cache, fs::perms::all);
        options.environment = {{"XDG_CACHE_HOME", cache.string()}};
        return RunCli(args, tree.Root(), QUILLARY_CLI_PATH, options);
    }

    FixtureTree tree;
    fs::path locked, secret;
};

TEST_F(ProblemsTest, UnreadableFolderAndFileAreReportedAndTheListingIsWritten) {
    const CliResult result = RunUnprivileged({"/o", "crc.qlc", "--output", "-", tree.Data().string()});
    EXPECT_EQ(result.exitCode, 3) << result.err;
    const std::string err = tree.Normalise(result.err);
    EXPECT_NE(err.find("quillary-cli: cannot read folder '<ROOT>/Data/Locked': Permission denied\n"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("quillary-cli: cannot read the checksum of '<ROOT>/Data/Sub/secret.txt': "
                       "Permission denied\n"),
              std::string::npos)
        << err;
    // The unreadable folder is still a folder of the listing, with no entries.
    const std::string listing = tree.Normalise(result.out);
    EXPECT_NE(listing.find("<ROOT>/Data/Locked/ (0)"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("inside.txt"), std::string::npos);
    EXPECT_NE(listing.find("secret.txt"), std::string::npos);
}

TEST_F(ProblemsTest, ACompleteListingExitsWithZero) {
    fs::permissions(locked, fs::perms::owner_all);
    fs::remove_all(locked);
    fs::remove(secret);
    const CliResult result = RunUnprivileged({"/o", "crc.qlc", "--output", "-", tree.Data().string()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
}

} // namespace
} // namespace quillary::test
