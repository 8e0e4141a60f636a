// quillary-cli on folder trees and files made to hurt it: links and FIFOs where per-folder listings go,
// names with terminal escapes, files too large for their column, times beyond the calendar, full disks
// and killed runs. Each run must end with a sound listing (or none), the old listing kept, and every
// skipped thing reported.
#include <chrono>
#include <thread>

#include "fixture_tree.h"
#include "platform/display_width.h"
#include "support/special_files.h"

namespace quillary::test {
namespace {

constexpr std::uint64_t kHugeSize = 1181116006400; // 1.1 TiB, sparse

class HostileTreeTest : public ::testing::Test {
protected:
    // Runs quillary-cli with a configuration of the given "id=value" lines on `folders`.
    CliResult List(const std::string& lines, const fs::path& out,
                   const std::vector<std::string>& folders = {"Data"}, const RunOptions& options = {}) {
        const fs::path config = output.Path() / "case.qlc";
        WriteFile(config, "[Settings]\n" + lines);
        std::vector<std::string> args{"/o", config.string(), "--output", out.string()};
        args.insert(args.end(), folders.begin(), folders.end());
        return RunCli(args, tree.Root(), QUILLARY_CLI_PATH, options);
    }
    void MakeSparse(const fs::path& path, std::uint64_t size) {
        WriteFile(path, "");
        SetFileSize(path, size);
        SetTimes(path, kFixtureTime, kFixtureTime);
    }
    // A fresh folder on tmpfs, which keeps 64-bit times and files up to 2^63 - 1 bytes; "" when there
    // is none. The caller removes it.
    static fs::path TmpfsFolder() {
        if (kOnWindows || !fs::is_directory("/dev/shm"))
            return {};
        return MakeUniqueFolder("/dev/shm", "quillary-test-");
    }
    std::vector<std::string> OutputNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(output.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    FixtureTree tree;
    ScratchDir output;
    const std::string perFolder = "1031=1\n1028=_thisdir\n";
};

TEST_F(HostileTreeTest, FolderListingsNeverGoThroughLinksNorIntoFifosSocketsOrDevices) {
    if (kOnWindows)
        GTEST_SKIP() << kNoFifos;
    const fs::path victim = output.Path() / "shadow";
    WriteFile(victim, "root:secret\n");
    fs::create_directories(tree.Data() / "Sock");
    fs::create_directories(tree.Data() / "Dev");
    const BoundSocket socket(tree.Data() / "Sock" / "_thisdir.txt");
    ASSERT_TRUE(socket.Bound());
    const bool device = MakeNullDevice(tree.Data() / "Dev" / "_thisdir.txt");
    const struct {
        fs::path place;
        bool made;
        fs::file_type type;
        const char* why;
    } rows[] = {
        {tree.Data(), MakeSymlink(victim, tree.Data() / "_thisdir.txt"), fs::file_type::symlink,
         "a symbolic link is in its place"},
        {tree.Data() / "Sub", MakeFifo(tree.Data() / "Sub" / "_thisdir.txt"), fs::file_type::fifo,
         "it is not a regular file"},
        {tree.Data() / "Sock", true, fs::file_type::socket, "it is not a regular file"},
        {tree.Data() / "Dev", device, fs::file_type::character, "it is not a regular file"},
    };
    const CliResult result = List(perFolder, output.Path() / "out.txt");
    EXPECT_EQ(result.exitCode, 3) << result.err;
    EXPECT_EQ(ReadFile(victim), "root:secret\n");
    for (const auto& row : rows) {
        if (!row.made) // making a device needs root
            continue;
        const fs::path place = row.place / "_thisdir.txt";
        EXPECT_EQ(fs::symlink_status(place).type(), row.type) << place;
        EXPECT_NE(result.err.find("did not write the folder listing '" + place.string() + "': " + row.why),
                  std::string::npos)
            << place << result.err;
    }
    // Everything else is written: the main listing whole, the other folders' listings.
    EXPECT_NE(ReadFile(output.Path() / "out.txt").find("Zeta.md"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(tree.Data() / "Old" / "_thisdir.txt"));
    if (!device)
        GTEST_SKIP() << "no device could be made (needs root): the other kinds were checked";
}

// Each problem is one stderr line, the first 20 of them, then a count of the rest.
TEST_F(HostileTreeTest, StderrShowsTheFirst20ProblemsThenACount) {
    if (kOnWindows)
        GTEST_SKIP() << kNoSymlinks;
    const fs::path victim = output.Path() / "shadow";
    WriteFile(victim, "x");
    for (int i = 0; i < 25; ++i) {
        const fs::path folder = tree.Data() / "Many" / ("f" + std::to_string(100 + i));
        fs::create_directories(folder);
        fs::create_symlink(victim, folder / "_thisdir.txt");
    }
    const struct {
        int extra; // symbolic links removed again, from the last one
        std::size_t lines;
        const char* count;
    } rows[] = {
        {0, 20, "quillary-cli: 5 more problems not shown\n"},
        {4, 20, "quillary-cli: 1 more problems not shown\n"},
        {5, 20, nullptr},
    };
    int removed = 0;
    for (const auto& row : rows) {
        for (; removed < row.extra; ++removed)
            fs::remove(tree.Data() / "Many" / ("f" + std::to_string(124 - removed)) / "_thisdir.txt");
        const CliResult result = List(perFolder, output.Path() / "out.txt");
        EXPECT_EQ(result.exitCode, 3) << result.err;
        EXPECT_EQ(Count(result.err, "did not write the folder listing"), row.lines) << result.err;
        if (row.count != nullptr) {
            EXPECT_TRUE(result.err.ends_with(row.count)) << result.err;
        } else {
            EXPECT_EQ(result.err.find("more problems"), std::string::npos) << result.err;
        }
    }
}

// A listing name from a shared configuration that is no plain file name: one problem, no folder gets a
// listing, and nothing outside the listed folders is written.
TEST_F(HostileTreeTest, UnusableListingNamesAreOneProblemAndNoListingIsWritten) {
    using namespace std::string_literals;
    WriteFile(tree.Data() / ".profile", "mine\n");
    auto names = [&] {
        std::vector<std::string> all;
        for (const auto& entry : fs::recursive_directory_iterator(tree.Root()))
            all.push_back(entry.path().string());
        std::sort(all.begin(), all.end());
        return all;
    };
    const std::vector<std::string> before = names();
    for (const std::string& name :
         {".profile\0"s, "../escape"s, "../../escaped"s, "a/b"s, ".."s, "."s, "/abs"s}) {
        const CliResult result = List("1031=1\n1028=" + name + "\n", output.Path() / "out.txt");
        EXPECT_EQ(result.exitCode, 3) << name;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_NE(result.err.find("did not write the folder listings named '"), std::string::npos)
            << result.err;
        EXPECT_NE(result.err.find("': a file in a folder cannot have this name"), std::string::npos)
            << result.err;
        EXPECT_EQ(ReadFile(tree.Data() / ".profile"), "mine\n") << name;
        EXPECT_EQ(names(), before) << name;
        EXPECT_NE(ReadFile(output.Path() / "out.txt").find("Zeta.md"), std::string::npos) << name;
    }
    EXPECT_FALSE(fs::exists("/abs.txt"));
    EXPECT_FALSE(fs::exists(tree.Root().parent_path() / "escaped.txt"));
}

// A name that can only be a folder is refused before anything is written (never a hidden ".txt"
// inside it), and an existing folder is never taken for the output.
TEST_F(HostileTreeTest, AnOutputThatNamesAFolderIsRefused) {
    fs::create_directory(output.Path() / "reports.d");
    const std::string slash(1, kSeparator);
    struct Case {
        std::string output, reason;
    } cases[] = {
        {output.Path().string() + slash, "it names a folder"},
        {(output.Path() / ".").string(), "it names a folder"},
        {(output.Path() / "reports.d").string(), "it is a folder"},
        {kOnWindows ? "c:" + slash : slash, "it names a folder"},
    };
    for (const Case& c : cases) {
        const CliResult result = List("", c.output);
        EXPECT_EQ(result.exitCode, 1) << c.output;
        EXPECT_NE(result.err.find("cannot open the output file '" + c.output + "': " + c.reason),
                  std::string::npos)
            << result.err;
    }
    EXPECT_EQ(OutputNames(), (std::vector<std::string>{"case.qlc", "reports.d"}));
    EXPECT_TRUE(fs::is_empty(output.Path() / "reports.d"));
    EXPECT_FALSE(fs::exists(kOnWindows ? "c:\\.txt" : "/.txt"));
}

// Like the checksum, the version is read from regular files only: a link (even a dangling one) has none.
TEST_F(HostileTreeTest, TheVersionColumnNeverFollowsLinks) {
    if (!MakeSymlink(tree.Data() / "nowhere.exe", tree.Data() / "dangling.exe"))
        GTEST_SKIP() << kNoSymlinks;
    const CliResult result = List("1013=1\n1014=1\n", output.Path() / "out.txt");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_NE(ReadFile(output.Path() / "out.txt").find("dangling.exe"), std::string::npos);
}

// A selection file of junk prints its first 20 warnings and a count, not one line per junk line.
TEST_F(HostileTreeTest, SelectionWarningsAreCapped) {
    std::string lines;
    for (int i = 0; i < 500; ++i)
        lines += "junk " + std::to_string(i) + "\n";
    WriteFile(output.Path() / "sel.qls", lines + "3|" + tree.Data().string() + "\n");
    const CliResult result = RunCli({"/l", (output.Path() / "sel.qls").string(), "-"}, tree.Root());
    EXPECT_EQ(result.exitCode, 0) << result.err; // lines that are no entry are only ignored
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 21) << result.err;
    EXPECT_NE(result.err.find("line 20 ignored"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("line 21 ignored"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("480 more warnings not shown"), std::string::npos) << result.err;
    EXPECT_NE(result.out.find("Zeta.md"), std::string::npos);
}

TEST_F(HostileTreeTest, TheMainOutputIsNeverAlsoAFolderListing) {
    const CliResult result = List(perFolder, tree.Data() / "_thisdir.txt");
    EXPECT_EQ(result.exitCode, 3) << result.err;
    EXPECT_NE(result.err.find("'" + Shown(tree.Data(), "_thisdir.txt") + "': it is the main output"),
              std::string::npos)
        << result.err;
    // The main listing, not Data's own rows spliced into it.
    const std::string listing = ReadFile(tree.Data() / "_thisdir.txt");
    EXPECT_EQ(listing.rfind("# Generated on", 0), 0u);
    EXPECT_NE(listing.find("file.TXT"), std::string::npos); // in Data/Sub/deep
    EXPECT_TRUE(fs::exists(tree.Data() / "Sub" / "_thisdir.txt"));
}

TEST_F(HostileTreeTest, DevicesAreWrittenAsNamed) {
    if (kOnWindows)
        GTEST_SKIP() << "/dev/null and /dev/full are POSIX devices";
    std::error_code ignored;
    fs::remove("/dev/null.txt", ignored);
    const CliResult null = List("", "/dev/null");
    EXPECT_EQ(null.exitCode, 0) << null.err;
    EXPECT_FALSE(fs::exists("/dev/null.txt"));
    const CliResult full = List("", "/dev/full");
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_NE(full.err.find("error while writing '/dev/full': No space left on device\n"), std::string::npos)
        << full.err;
    EXPECT_FALSE(fs::exists("/dev/full.txt"));
}

TEST_F(HostileTreeTest, AFullDiskLeavesTheOldListing) {
    const fs::path out = output.Path() / "out.txt";
    WriteFile(out, "the last good listing\n");
    if (kOnWindows)
        GTEST_SKIP() << "a full disk is made with a POSIX file size limit (RLIMIT_FSIZE)";
    // A file size limit below the listing's size: writes fail as on a full disk.
    RunOptions limited;
    limited.fileSizeLimit = 1000;
    const CliResult result = List("", out, {"Data"}, limited);
    EXPECT_EQ(result.exitCode, 1);
    // The program is not killed by the limit's signal: one line with the system's reason.
    EXPECT_EQ(result.err, "quillary-cli: error while writing '" + out.string() + "': File too large\n");
    EXPECT_EQ(ReadFile(out), "the last good listing\n");
    EXPECT_EQ(OutputNames(), (std::vector<std::string>{"case.qlc", "out.txt"})); // no leftovers
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true; // the sanitizers reserve far more address space than any limit here
#else
constexpr bool kSanitized = false;
#endif

TEST_F(HostileTreeTest, RunningOutOfMemoryIsOneLineAndLeavesTheOldListing) {
    if (kOnWindows || kSanitized)
        GTEST_SKIP() << "needs a POSIX address space limit (RLIMIT_AS) and a build without sanitizers";
    const fs::path out = output.Path() / "out.txt";
    WriteFile(out, "the last good listing\n");
    RunOptions limited;
    limited.memoryLimit = 48u << 20;
    // Within the limit a listing is written, with fewer scan threads when no more can start.
    const CliResult small = List("", output.Path() / "small.txt", {"Data"}, limited);
    EXPECT_EQ(small.exitCode, 0) << small.err;
    std::string lines;
    for (int i = 0; i < 1000000; ++i)
        lines += "junk line number " + std::to_string(i) + "\n";
    WriteFile(output.Path() / "big.qls", lines);
    const CliResult result = RunCli({"/l", (output.Path() / "big.qls").string(), out.string()}, tree.Root(),
                                    QUILLARY_CLI_PATH, limited);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "quillary-cli: out of memory; nothing more was written\n");
    EXPECT_EQ(ReadFile(out), "the last good listing\n");
}

TEST_F(HostileTreeTest, AnOutputThatCannotBeWrittenFailsAtOnceAndAWritableFileIsWrittenInPlace) {
    if (kOnWindows)
        GTEST_SKIP() << kNoPermissionBits;
    if (!RunningAsRoot())
        GTEST_SKIP() << "needs root to run the program as another user";
    // Run as nobody: a folder of root's cannot take a new file, but a file there that anyone may
    // write is still written (in place: no temporary file can be made beside it).
    fs::permissions(tree.Root(), fs::perms(0755));
    fs::permissions(output.Path(), fs::perms(0755));
    const fs::path open = output.Path() / "open.txt";
    WriteFile(open, "old");
    fs::permissions(open, fs::perms(0666));
    RunOptions asNobody;
    asNobody.asNobody = true;
    const CliResult locked = List("", output.Path() / "new.txt", {"Data"}, asNobody);
    EXPECT_EQ(locked.exitCode, 1);
    EXPECT_NE(locked.err.find("cannot open the output file '" + (output.Path() / "new.txt").string() +
                              "': Permission denied\n"),
              std::string::npos)
        << locked.err;
    const CliResult inPlace = List("", open, {"Data"}, asNobody);
    EXPECT_EQ(inPlace.exitCode, 0) << inPlace.err;
    EXPECT_NE(ReadFile(open).find("Zeta.md"), std::string::npos);
}

TEST_F(HostileTreeTest, AKilledRunLeavesTheOldListing) {
    const fs::path out = output.Path() / "out.txt";
    WriteFile(out, "the last good listing\n");
    if (kOnWindows)
        GTEST_SKIP() << "the open new listing is found through /proc";
    MakeSparse(tree.Data() / "Old" / "huge.bin", kHugeSize); // its checksum takes minutes
    WriteFile(output.Path() / "case.qlc", "[Settings]\n1014=1\n");
    BackgroundProgram program;
    ASSERT_TRUE(program.Start(QUILLARY_CLI_PATH, {"/o", (output.Path() / "case.qlc").string(), "--output",
                                                  out.string(), tree.Data().string()}));
    // Killed once it holds its new listing open (a file without a name in the output's folder).
    bool writing = false;
    for (int i = 0; i < 1000 && !writing; ++i) {
        writing = program.HoldsFileStartingWith(output.Path().string() + "/#");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const bool killed = program.KillAndWait();
    EXPECT_TRUE(writing);
    EXPECT_TRUE(killed);
    EXPECT_EQ(OutputNames(), (std::vector<std::string>{"case.qlc", "out.txt"})); // nothing left behind
    EXPECT_EQ(ReadFile(out), "the last good listing\n");
}

TEST_F(HostileTreeTest, SizesAreNeverCutInAnySizeDisplay) {
    MakeSparse(tree.Data() / "Old" / "huge.bin", kHugeSize);
    const char* expected[] = {"1 181 116 006 400", "1 153 433 600.00 KB", "1 126 400.00 MB", "1 100.00 GB",
                              "1 100.00 GB"};
    for (int display = 0; display <= 4; ++display) {
        const fs::path out = output.Path() / "out.txt";
        const CliResult result = List("1029=" + std::to_string(display) + "\n1030=2\n", out, {"Data/Old"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::string listing = ReadFile(out);
        // The file row and the folder's total, each whole.
        const std::string number = expected[display];
        const std::size_t row = listing.find("huge.bin"),
                          folder = listing.find((fs::path("Old") / "").string() + " (1)");
        ASSERT_NE(row, std::string::npos);
        ASSERT_NE(folder, std::string::npos);
        EXPECT_NE(listing.find(" " + number + " 2004-05-06", row), std::string::npos) << listing;
        const std::string folderLine = listing.substr(folder, listing.find('\n', folder) - folder);
        const std::string total = folderLine.substr(folderLine.find(')') + 1);
        EXPECT_EQ(total.substr(total.find_first_not_of(' '), number.size() + 1), number + " ") << listing;
    }
}

TEST_F(HostileTreeTest, FilesOf2To63BytesAndATotalPast2To64InEverySizeDisplay) {
    const fs::path dir = TmpfsFolder();
    if (dir.empty())
        GTEST_SKIP() << "no tmpfs at /dev/shm";
    for (const char* name : {"a", "b", "c"})
        MakeSparse(dir / name, INT64_MAX);
    struct Expected {
        const char *file, *total;
    } expected[] = {
        {"9 223 372 036 854 775 807", "18 446 744 073 709 551 615"}, // the total stops at 2^64 - 1
        {"9 007 199 254 740 992.00 KB", "18 014 398 509 481 984.00 KB"},
        {"8 796 093 022 208.00 MB", "17 592 186 044 416.00 MB"},
        {"8 589 934 592.00 GB", "17 179 869 184.00 GB"},
        {"8 589 934 592.00 GB", "17 179 869 184.00 GB"},
    };
    for (int display = 0; display <= 4; ++display) {
        const fs::path out = output.Path() / "out.txt";
        const CliResult result = List("1029=" + std::to_string(display) + "\n1030=2\n", out, {dir.string()});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        const std::string listing = ReadFile(out);
        EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 8) << listing;
        EXPECT_NE(listing.find(" " + std::string(expected[display].total) + " "), std::string::npos)
            << listing;
        EXPECT_NE(listing.find(" " + std::string(expected[display].file) + " "), std::string::npos)
            << listing;
    }
    fs::remove_all(dir);
}

TEST_F(HostileTreeTest, NamesAndTextsNeverActOnTheTerminal) {
    if (kOnWindows)
        GTEST_SKIP() << "Windows file names hold no control characters";
    const std::string evil = "\x1B]0;owned\x07\xE2\x80\xAE";
    fs::create_directory(tree.Data() / evil);
    fs::create_symlink("/etc/passwd", tree.Data() / evil / "_thisdir.txt");
    WriteFile(tree.Data() / evil / ("name\x1B[2J"), "x");
    const fs::path out = output.Path() / "out.txt";
    const CliResult result = List(perFolder, out, {"Data", "Data/\x1B[2Jgone"});
    EXPECT_EQ(result.exitCode, 3) << result.err;
    EXPECT_EQ(result.err.find('\x1B'), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("\xE2\x80\xAE"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("warning: folder 'Data/?[2Jgone' not found"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("/?]0;owned?"
                              "?/_thisdir.txt': a symbolic link"),
              std::string::npos)
        << result.err;
    const std::string listing = ReadFile(out);
    EXPECT_EQ(listing.find('\x1B'), std::string::npos);
    EXPECT_NE(listing.find("name?[2J"), std::string::npos);
    // A garbage selection line is quoted in its warning, neutralised too.
    WriteFile(output.Path() / "sel.qls", "\x1B]0;t\x07|x\n3|" + tree.Data().string() + "\n");
    const CliResult selection =
        RunCli({"/l", (output.Path() / "sel.qls").string(), out.string()}, tree.Root());
    EXPECT_NE(selection.err.find("'?]0;t?|x'"), std::string::npos) << selection.err;
    EXPECT_EQ(selection.err.find('\x1B'), std::string::npos) << selection.err;
}

TEST_F(HostileTreeTest, WideNamesKeepTheColumnsAligned) {
    WriteFile(tree.Data() / "Old" / Utf8Path("日本語の書類.txt"), "abc");
    WriteFile(tree.Data() / "Old" / "plain.txt", "abc");
    WriteFile(tree.Data() / "Old" / Utf8Path("Cafe\xCC\x81.txt"), "abc");
    const fs::path out = output.Path() / "out.txt";
    ASSERT_EQ(List("", out, {"Data/Old"}).exitCode, 0);
    std::istringstream lines(ReadFile(out));
    std::vector<std::size_t> widths;
    for (std::string line; std::getline(lines, line);) {
        if (line.find(".txt") != std::string::npos)
            widths.push_back(DisplayWidth(line));
    }
    ASSERT_EQ(widths.size(), 3u);
    EXPECT_EQ(widths[0], widths[1]);
    EXPECT_EQ(widths[1], widths[2]);
}

TEST_F(HostileTreeTest, TimesBeyondTheCalendarAreBlank) {
    const fs::path dir = TmpfsFolder();
    if (dir.empty())
        GTEST_SKIP() << "no tmpfs at /dev/shm";
    WriteFile(dir / "far.txt", "x");
    WriteFile(dir / "near.txt", "x");
    SetTimes(dir / "far.txt", 67768036191676799, 67768036191676799);
    SetTimes(dir / "near.txt", kFixtureTime, kFixtureTime);
    const fs::path out = output.Path() / "out.txt";
    const CliResult result = List("1035=2\n", out, {dir.string()});
    fs::remove_all(dir);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string listing = ReadFile(out);
    const std::size_t far = listing.find("far.txt"), near = listing.find("near.txt");
    ASSERT_NE(far, std::string::npos);
    ASSERT_NE(near, std::string::npos);
    const std::string farRow = listing.substr(far, listing.find('\n', far) - far);
    const std::string nearRow = listing.substr(near, listing.find('\n', near) - near);
    EXPECT_EQ(farRow.substr(farRow.size() - 22), std::string(16, ' ') + " -----") << farRow;
    EXPECT_EQ(nearRow.substr(nearRow.size() - 22), "2004-05-06 07:08 -----") << nearRow;
}

// 9999-12-31 23:59:59 UTC is already the year 10000 fourteen hours east: no date in the header.
TEST_F(HostileTreeTest, AHeaderTimePastTheCalendarIsBlank) {
    if (kOnWindows)
        GTEST_SKIP() << "zones named by TZ come from the POSIX zone files";
    const fs::path out = output.Path() / "out.txt";
    const CliResult result = List(
        "", out, {"Data"}, {.environment = {{"SOURCE_DATE_EPOCH", "253402300799"}, {"TZ", "Etc/GMT-14"}}});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string listing = ReadFile(out);
    EXPECT_EQ(listing.rfind("# Generated on " + std::string(19, ' ') + " by ", 0), 0u) << listing;
}

TEST_F(HostileTreeTest, ASourceDateEpochThatIsNoTimeIsAnError) {
    for (const char* value : {"yesterday", "67768036191676799", "-5", "12x"}) {
        const CliResult result =
            List("", output.Path() / "out.txt", {"Data"}, {.environment = {{"SOURCE_DATE_EPOCH", value}}});
        EXPECT_EQ(result.exitCode, 2) << value;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_NE(result.err.find("SOURCE_DATE_EPOCH"), std::string::npos) << result.err;
    }
    EXPECT_FALSE(fs::exists(output.Path() / "out.txt"));
}

} // namespace
} // namespace quillary::test
