// Text listings written by quillary-cli for the fixture tree, compared with expected files.
#include "fixture_tree.h"

namespace quillary::test {
namespace {

class TextListingTest : public ::testing::Test {
protected:
    // Runs quillary-cli with `args` followed by "--output <out>" and the folders; returns the listing.
    std::string List(std::vector<std::string> args, const std::vector<std::string>& folders,
                     const std::string& outName = "out.txt") {
        const fs::path out = output.Path() / outName;
        args.push_back("--output");
        args.push_back(out.string());
        for (const std::string& folder : folders)
            args.push_back(folder);
        const CliResult result = RunCli(args, tree.Root());
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return tree.Normalise(ReadFile(out));
    }

    FixtureTree tree;
    ScratchDir output;
};

TEST_F(TextListingTest, DefaultOptionsGroupedListing) {
    ExpectGolden("default.txt", List({}, {"Data"}));
}

TEST_F(TextListingTest, StandardOutputAndExitStatus) {
    const CliResult ok = RunCli({"--output", "-", "Data/Old"}, tree.Root());
    EXPECT_EQ(ok.exitCode, 0);
    // 50 + 1 + 14 + 1 + 10 + 1 + 5 + 1 + 5 characters: the rule is as long as the directory line.
    const std::string rule(88, '-');
    const std::string label = Shown(tree.Data() / "Old") + kSeparator + " (0)";
    EXPECT_EQ(TextFromNative(ok.out), "# Generated on 2004-05-06 07:08:09 by Quillary v0.7\n\n" + rule +
                                          "\n" + label + std::string(50 - label.size(), ' ') +
                                          "              0 2004-04-24 07:08 -----\n" + rule + "\n");

    const CliResult unwritable = RunCli({"--output", "/nonexistent/dir/out.txt", "Data"}, tree.Root());
    EXPECT_EQ(unwritable.exitCode, 1) << unwritable.err;
    EXPECT_NE(unwritable.err.find("cannot open the output file"), std::string::npos);

    const CliResult usage = RunCli({"--bogus"}, tree.Root());
    EXPECT_EQ(usage.exitCode, 2);

    // A folder that does not exist is a warning: the listing of the others is written, status 3.
    const CliResult missing = RunCli({"--output", "-", "NoSuchFolder", "Data/Old"}, tree.Root());
    EXPECT_EQ(missing.exitCode, 3) << missing.err;
    EXPECT_NE(missing.err.find("NoSuchFolder"), std::string::npos) << missing.err;
    EXPECT_NE(TextFromNative(missing.out).find(label), std::string::npos) << missing.out;
}

TEST_F(TextListingTest, NamesThatAreNotUtf8OrHoldNewlinesKeepTheLayout) {
    if (kOnWindows)
        GTEST_SKIP() << "Windows file names are UTF-16 and hold no control characters";
    WriteFile(tree.Data() / "Old" / "bad\xFFname", "");
    WriteFile(tree.Data() / "Old" / "two\nlines", "");
    const std::string listing = List({}, {"Data/Old"});
    EXPECT_NE(listing.find("bad\xFFname"), std::string::npos);
    EXPECT_NE(listing.find("two?lines"), std::string::npos);
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 7);
}

TEST_F(TextListingTest, CopiedExecutableRunsFromAnyFolder) {
    ScratchDir programDir;
    const fs::path copy = programDir.Path() / CliFileName();
    fs::copy_file(QUILLARY_CLI_PATH, copy);
    const CliResult result = RunCli({"--version"}, tree.Root(), copy.string());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.rfind("quillary-cli v0.7", 0), 0u);
}

// A copy in a folder of its own reads its settings beside itself; an installed program (bin/ beside
// share/quillary/) reads them from the user's configuration folder, even where bin/ is writable.
TEST_F(TextListingTest, SettingsBesideAPortableCopyOnly) {
    ScratchDir prefix;
    fs::create_directories(prefix.Path() / "bin");
    const fs::path copy = prefix.Path() / "bin" / CliFileName();
    fs::copy_file(QUILLARY_CLI_PATH, copy);
    WriteFile(prefix.Path() / "bin" / "quillary.INI", "[Settings]\n1064=*.md\n");
    fs::create_directories(prefix.Path() / "config" / "quillary");
    WriteFile(prefix.Path() / "config" / "quillary" / "quillary.INI", "[Settings]\n1064=*.doc\n");
    RunOptions options; // the user's configuration folder
    options.environment = {{kOnWindows ? "APPDATA" : "XDG_CONFIG_HOME", (prefix.Path() / "config").string()}};
    const std::string portable =
        RunCli({"--output", "-", tree.Data().string()}, tree.Root(), copy.string(), options).out;
    fs::create_directories(prefix.Path() / "share" / "quillary");
    const std::string installed =
        RunCli({"--output", "-", tree.Data().string()}, tree.Root(), copy.string(), options).out;
    EXPECT_NE(portable.find("Zeta.md"), std::string::npos) << portable;
    EXPECT_EQ(portable.find("report.doc"), std::string::npos) << portable;
    EXPECT_NE(installed.find("report.doc"), std::string::npos) << installed;
    EXPECT_EQ(installed.find("Zeta.md"), std::string::npos) << installed;
}

} // namespace
} // namespace quillary::test
