// Output files on every system: an abandoned or refused listing leaves the old file and nothing else,
// text gets the system's line end, a folder or device in the listing's place is never written over,
// and input files tell a missing file from one that is no regular file.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>

#include "platform/file_io.h"
#include "support/scratch_dir.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

std::set<std::string> NamesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(OutputReplacementTest, AnAbandonedListingLeavesTheOldFileAndNothingElse) {
    test::ScratchDir scratch;
    const std::string target = scratch.File("out.txt");
    test::WriteFile(target, "old listing\n");
    {
        OutputFile out;
        ASSERT_TRUE(out.Open(target));
        out.Write(std::string(3 << 20, 'x')); // more than the buffer: part of it reaches the new file
        EXPECT_EQ(test::ReadFile(target), "old listing\n");
    } // destroyed without Close: a failed or cancelled run
    EXPECT_EQ(test::ReadFile(target), "old listing\n");
    EXPECT_EQ(NamesIn(scratch.Path()), std::set<std::string>{"out.txt"});

    // Opening another file abandons the first one just the same.
    OutputFile out;
    ASSERT_TRUE(out.Open(target));
    out.Write("never finished");
    ASSERT_TRUE(out.Open(scratch.File("other.txt")));
    out.Write("other");
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(test::ReadFile(target), "old listing\n");
    EXPECT_EQ(NamesIn(scratch.Path()), (std::set<std::string>{"other.txt", "out.txt"}));
}

TEST(OutputReplacementTest, AReadOnlyListingIsKeptOnWindowsAndReplacedOnPosix) {
    test::ScratchDir scratch;
    const std::string target = scratch.File("out.txt");
    test::WriteFile(target, "old listing");
    fs::permissions(target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    // Windows does not replace a read-only file, and says so before the listing is made; POSIX asks
    // only the folder.
    OutputFile out;
    if (kWindows) {
        EXPECT_FALSE(out.Open(target));
        EXPECT_FALSE(out.Refused());
        EXPECT_EQ(out.Error(), "Permission denied");
    } else {
        ASSERT_TRUE(out.Open(target));
        out.Write("new listing");
        EXPECT_TRUE(out.Close());
    }
    EXPECT_EQ(test::ReadFile(target), kWindows ? "old listing" : "new listing");
    EXPECT_EQ(NamesIn(scratch.Path()), std::set<std::string>{"out.txt"});
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
}

TEST(OutputReplacementTest, LinesEndAsTheSystemsTextFilesDo) {
    test::ScratchDir scratch;
    const std::string target = scratch.File("out.csv");
    OutputFile out;
    ASSERT_TRUE(out.Open(target));
    // A "\r\n" split across two writes (as the CSV writer's lines may be) still gets one "\r".
    for (const char* piece : {"one\ntwo\r", "\nthree\r\n", "\n", "lone\r", "x\n", "last"})
        out.Write(piece);
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(test::ReadFile(target), kWindows ? "one\r\ntwo\r\nthree\r\n\r\nlone\rx\r\nlast"
                                               : "one\ntwo\r\nthree\r\n\nlone\rx\nlast");
    // A new run starts without the last run's "\r".
    ASSERT_TRUE(out.Open(target));
    out.Write("\n");
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(test::ReadFile(target), kWindows ? "\r\n" : "\n");
}

TEST(OutputReplacementTest, AFolderInTheListingsPlaceIsNeverWrittenOver) {
    test::ScratchDir scratch;
    const fs::path folder = scratch.Path() / "_thisdir.txt";
    fs::create_directory(folder);
    OutputFile out;
    EXPECT_FALSE(out.Open(folder.string(), OutputTarget::RegularFileOnly));
    EXPECT_TRUE(out.Refused());
    EXPECT_EQ(out.Error(), "it is not a regular file");
    EXPECT_FALSE(out.Open(folder.string()));
    EXPECT_FALSE(out.Refused());
    EXPECT_EQ(out.Error(), "Is a directory");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(NamesIn(scratch.Path()), std::set<std::string>{"_thisdir.txt"});
}

TEST(OutputReplacementTest, KnowsItsFileByNameAsTheSystemComparesNames) {
    test::ScratchDir scratch;
    fs::create_directory(scratch.Path() / "sub");
    OutputFile out;
    ASSERT_TRUE(out.Open(scratch.File("new.txt"))); // not there before the run
    EXPECT_TRUE(out.IsSameFile((scratch.Path() / "sub" / ".." / "new.txt").string()));
    EXPECT_EQ(out.IsSameFile((scratch.Path() / "sub" / ".." / "NEW.TXT").string()), kWindows);
    ASSERT_TRUE(out.Close());
    ASSERT_TRUE(out.Open(scratch.File("new.txt"))); // now it is there
    EXPECT_EQ(out.IsSameFile(scratch.File("New.Txt")), kWindows);
    EXPECT_FALSE(out.IsSameFile((scratch.Path() / "sub" / "new.txt").string()));
}

TEST(OutputReplacementTest, TheHiddenNewFileIsKnownSoThatAListingCanLeaveItOut) {
    test::ScratchDir scratch;
    const std::string target = scratch.File("out.txt");
    test::WriteFile(target, "old listing");
    OutputFile out;
    ASSERT_TRUE(out.Open(target));
    out.Write("new listing");
    // Where the new file has a name while it is written (always on Windows), it is this output's own.
    std::set<std::string> names = NamesIn(scratch.Path());
    EXPECT_EQ(names.size(), kWindows ? 2u : names.size());
    for (const std::string& name : names)
        EXPECT_EQ(out.IsTemporaryFile(scratch.File(name)), name != "out.txt") << name;
    EXPECT_FALSE(out.IsTemporaryFile(scratch.File("other.txt")));
    ASSERT_TRUE(out.Close());
    for (const std::string& name : names)
        EXPECT_FALSE(out.IsTemporaryFile(scratch.File(name))) << name;
}

TEST(InputFileTest, AMissingFileIsAnErrorAndAFolderIsNoFile) {
    test::ScratchDir scratch;
    InputFile in;
    EXPECT_FALSE(in.Open(scratch.File("missing.qls")));
    EXPECT_EQ(in.LastError(), ENOENT);
    EXPECT_FALSE(in.Open(scratch.Path().string()));
    EXPECT_EQ(in.LastError(), 0);
    EXPECT_EQ(ErrorText(ENOENT), "No such file or directory");
    EXPECT_EQ(ErrorText(ENOSPC), "No space left on device");

    test::WriteFile(scratch.File("small.qls"), "0123456789");
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(scratch.File("small.qls"), contents));
    EXPECT_EQ(contents, "0123456789");
    EXPECT_FALSE(ReadWholeFile(scratch.File("small.qls"), contents, 9));
}

#ifdef _WIN32
TEST(WindowsDeviceTest, DeviceNamesAreWrittenAsNamedAndNeverAsFolderListings) {
    for (const char* path :
         {"nul", "C:\\Data\\NUL.txt", "con", "com1", "LPT9.log", "\\\\.\\pipe\\x", "//./COM3"})
        EXPECT_TRUE(NamesSpecialFile(path)) << path;
    for (const char* path : {"null.txt", "com0", "console.txt", "C:\\Data\\nul\\list.txt", "C:\\Data"})
        EXPECT_FALSE(NamesSpecialFile(path)) << path;

    test::ScratchDir scratch;
    OutputFile out;
    ASSERT_TRUE(out.Open(scratch.File("nul")));
    out.Write("discarded\n");
    EXPECT_TRUE(out.Close());
    EXPECT_FALSE(out.Open(scratch.File("NUL.txt"), OutputTarget::RegularFileOnly));
    EXPECT_TRUE(out.Refused());
    EXPECT_TRUE(NamesIn(scratch.Path()).empty());
}
#endif

} // namespace
} // namespace quillary
