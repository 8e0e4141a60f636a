// Entries and files the listing's user may not read: left out or shown without a checksum, each
// reported, never listed with made-up details. Run as an unprivileged user, since root reads everything.
// (Unreadable folders: problems_test.cpp.)
#include "fixture_tree.h"
#include "support/special_files.h"

namespace quillary::test {
namespace {

// Runs `program` as user and group 65534 when the tests run as root, else as the current user.
CliResult RunUnprivileged(const std::vector<std::string>& args, const fs::path& workingDir,
                          const fs::path& program) {
    RunOptions options;
    options.asNobody = RunningAsRoot();
    return RunCli(args, workingDir, program.string(), options);
}

// The line of a CSV listing that starts with `start`, or "" when there is none.
std::string LineStarting(const std::string& listing, const std::string& start) {
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(start, 0) == 0)
            return line;
    }
    return "";
}

TEST(UnreadableTest, EntriesWithoutDetailsAreLeftOutAndUnreadableFilesHaveNoChecksum) {
    if (kOnWindows)
        GTEST_SKIP() << kNoPermissionBits;
    ScratchDir scratch;
    const fs::path& root = scratch.Path();
    const fs::path data = root / "data", out = root / "out";
    fs::create_directories(data / "noexec");
    fs::create_directories(out);
    WriteFile(data / "open.txt", "abc");
    WriteFile(data / "secret.bin", "xyz");
    WriteFile(data / "noexec" / "a.txt", "1");
    WriteFile(data / "noexec" / "b.txt", "2");
    WriteFile(root / "crc.qlc", "[Settings]\n1014=1\n");
    const fs::path program = root / CliFileName();
    fs::copy_file(QUILLARY_CLI_PATH, program);
    using fs::perms;
    fs::permissions(root, perms::owner_all | perms::group_read | perms::group_exec | perms::others_read |
                              perms::others_exec);
    fs::permissions(out, perms::all);
    fs::permissions(data / "secret.bin", perms::none);
    fs::permissions(data / "noexec", perms::owner_read | perms::group_read | perms::others_read);

    const CliResult result =
        RunUnprivileged({"/o", "crc.qlc", "--output", (out / "list.csv").string(), "data"}, root, program);
    EXPECT_EQ(result.exitCode, 3) << result.err;
    for (const std::string& line :
         {"cannot read the checksum of '" + (data / "secret.bin").string() + "'",
          "cannot read the details of '" + (data / "noexec" / "a.txt").string() + "'",
          "cannot read the details of '" + (data / "noexec" / "b.txt").string() + "'"})
        EXPECT_NE(result.err.find(line + ": Permission denied\n"), std::string::npos) << line << "\n"
                                                                                      << result.err;

    const std::string listing = ReadFile(out / "list.csv");
    EXPECT_NE(LineStarting(listing, "open;").find(";352441c2;"), std::string::npos) << listing;
    EXPECT_NE(LineStarting(listing, "secret;").find(";        ;"), std::string::npos) << listing;
    EXPECT_EQ(LineStarting(listing, "a;"), "") << listing;
    EXPECT_EQ(LineStarting(listing, (data / "noexec").string() + "/;")
                  .rfind((data / "noexec").string() + "/;0;", 0),
              0u)
        << listing;
}

TEST(UnreadableTest, AnExcludedFolderIsNeverOpenedSoItsBeingUnreadableIsNoProblem) {
    if (kOnWindows)
        GTEST_SKIP() << kNoPermissionBits;
    ScratchDir scratch;
    const fs::path& root = scratch.Path();
    const fs::path data = root / "data", out = root / "out";
    fs::create_directories(data / "node_modules" / "deep");
    fs::create_directories(data / "sub" / ".git");
    fs::create_directories(out);
    WriteFile(data / "keep.txt", "abc");
    WriteFile(root / "exclude.txt", "# folders of tools\n.git\n");
    const fs::path program = root / CliFileName();
    fs::copy_file(QUILLARY_CLI_PATH, program);
    using fs::perms;
    fs::permissions(root, perms::owner_all | perms::group_read | perms::group_exec | perms::others_read |
                              perms::others_exec);
    fs::permissions(out, perms::all);
    fs::permissions(data / "node_modules", perms::none);
    fs::permissions(data / "sub" / ".git", perms::none);

    const std::string list = (out / "list.csv").string();
    const CliResult unexcluded = RunUnprivileged({"--output", list, "data"}, root, program);
    EXPECT_EQ(unexcluded.exitCode, 3) << unexcluded.err; // the folders really cannot be read
    const CliResult excluded = RunUnprivileged(
        {"--exclude", "node_modules", "--exclude-from", "exclude.txt", "--output", list, "data"}, root,
        program);
    EXPECT_EQ(excluded.exitCode, 0) << excluded.err;
    EXPECT_EQ(excluded.err, "");
    const std::string listing = ReadFile(list);
    EXPECT_NE(listing.find("keep"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("node_modules"), std::string::npos) << listing;
    EXPECT_EQ(listing.find(".git"), std::string::npos) << listing;

    const CliResult missing =
        RunUnprivileged({"--exclude-from", "none.txt", "--output", list, "data"}, root, program);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "quillary-cli: cannot read the exclude file 'none.txt'\n");
}

} // namespace
} // namespace quillary::test
