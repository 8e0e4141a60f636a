// Output files: a regular file is replaced only when the new one is complete (by either kind of new
// file), keeps its permissions, and an abandoned or refused listing leaves the old file and nothing
// else; links and special files are never written through where only a regular file belongs; text gets
// the system's line end; and small files are read whole.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>

#include "platform/file_io.h"
#include "platform/regular_file.h"
#include "support/scratch_dir.h"
#include "support/special_files.h"
#include "support/system.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;

class OutputFileTest : public ::testing::Test {
protected:
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.insert(entry.path().filename().string());
        return names;
    }

    test::ScratchDir scratch;
    const fs::path& dir = scratch.Path();
    std::string target = scratch.File("out.txt");
};

// Every replacement rule holds for both kinds of new file: the nameless one where the system has it
// (Linux), and the hidden named one that other systems, and folders without nameless files, get.
class ReplacementTest : public OutputFileTest, public ::testing::WithParamInterface<NewFileKind> {
protected:
    // True when the new file has a name while it is written.
    bool Named() const { return test::kOnWindows || GetParam() == NewFileKind::Named; }
};

INSTANTIATE_TEST_SUITE_P(BothKinds, ReplacementTest,
                         ::testing::Values(NewFileKind::NamelessWherePossible, NewFileKind::Named),
                         [](const auto& kind) {
                             return kind.param == NewFileKind::Named ? std::string("Named")
                                                                     : std::string("Nameless");
                         });

TEST_P(ReplacementTest, TheOldFileStaysUntilTheNewOneIsComplete) {
    test::WriteFile(target, "old listing");
    {
        OutputFile out(GetParam());
        ASSERT_TRUE(out.Open(target));
        out.Write(std::string(3 << 20, 'x')); // more than the buffer: part of it reaches the new file
        EXPECT_EQ(test::ReadFile(target), "old listing");
        // A nameless new file is not in a listing of the folder; a named one is a hidden ".out.txt."
        // with ten random letters, known as this output's own.
        const std::set<std::string> names = Names();
        if (Named()) {
            ASSERT_EQ(names.size(), 2u);
            const std::string temporary = *names.begin();
            EXPECT_EQ(temporary.rfind(".out.txt.", 0), 0u) << temporary;
            EXPECT_EQ(temporary.size(), 19u) << temporary;
            EXPECT_EQ(out.TemporaryName(), temporary);
            EXPECT_TRUE(out.IsTemporaryFile(scratch.File(temporary)));
            EXPECT_FALSE(out.IsTemporaryFile(target));
        } else {
            EXPECT_EQ(names, std::set<std::string>{"out.txt"});
            EXPECT_EQ(out.TemporaryName(), "");
        }
        EXPECT_FALSE(out.IsTemporaryFile(scratch.File("other.txt")));
        OutputFile other(GetParam());
        ASSERT_TRUE(other.Open(target));
    } // destroyed without Close: a failed or abandoned run
    EXPECT_EQ(test::ReadFile(target), "old listing");
    EXPECT_EQ(Names(), std::set<std::string>{"out.txt"});

    // Opening another file abandons the first one just the same.
    OutputFile out(GetParam());
    ASSERT_TRUE(out.Open(target));
    out.Write("never finished");
    ASSERT_TRUE(out.Open(scratch.File("other.txt")));
    out.Write("other");
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(test::ReadFile(target), "old listing");
    EXPECT_EQ(Names(), (std::set<std::string>{"other.txt", "out.txt"}));

    ASSERT_TRUE(out.Open(target));
    out.Write("new listing");
    const std::string temporary = out.TemporaryName();
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(test::ReadFile(target), "new listing");
    EXPECT_EQ(Names(), (std::set<std::string>{"other.txt", "out.txt"}));
    EXPECT_FALSE(out.IsTemporaryFile(scratch.File(temporary)));
}

TEST_P(ReplacementTest, PermissionsOfANewFileFollowTheUmaskAndAnOldFileKeepsItsOwn) {
    if (test::kOnWindows)
        GTEST_SKIP() << test::kNoPermissionBits;
    OutputFile out(GetParam());
    {
        const test::ScopedUmask mask(027);
        ASSERT_TRUE(out.Open(target));
        ASSERT_TRUE(out.Close());
    }
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
    fs::permissions(target, fs::perms(0604));
    ASSERT_TRUE(out.Open(target));
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0604));
}

TEST_P(ReplacementTest, AReadOnlyListingIsKeptOnWindowsAndReplacedOnPosix) {
    test::WriteFile(target, "old listing");
    fs::permissions(target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    // Windows does not replace a read-only file, and says so before the listing is made; POSIX asks
    // only the folder.
    OutputFile out(GetParam());
    if (test::kOnWindows) {
        EXPECT_FALSE(out.Open(target));
        EXPECT_FALSE(out.Refused());
        EXPECT_EQ(out.Error(), "Permission denied");
    } else {
        ASSERT_TRUE(out.Open(target));
        out.Write("new listing");
        EXPECT_TRUE(out.Close());
    }
    EXPECT_EQ(test::ReadFile(target), test::kOnWindows ? "old listing" : "new listing");
    EXPECT_EQ(Names(), std::set<std::string>{"out.txt"});
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
}

// What is found at the path instead of a regular file, and what each kind of output makes of it.
TEST_F(OutputFileTest, FolderListingsNeverGoThroughLinksOrIntoSpecialFiles) {
    const fs::path folder = dir / "_thisdir.txt";
    fs::create_directory(folder);
    OutputFile out;
    EXPECT_FALSE(out.Open(folder.string(), OutputTarget::RegularFileOnly));
    EXPECT_TRUE(out.Refused());
    EXPECT_EQ(out.Error(), "it is not a regular file");
    EXPECT_FALSE(out.Open(folder.string()));
    EXPECT_FALSE(out.Refused());
    EXPECT_EQ(out.Error(), "Is a directory");
    EXPECT_TRUE(fs::is_directory(folder));

    const fs::path victim = dir / "victim";
    test::WriteFile(victim, "secret");
    const fs::path link = dir / "link.txt";
    if (!test::MakeSymlink(victim, link))
        GTEST_SKIP() << test::kNoSymlinks;
    EXPECT_FALSE(out.Open(link.string(), OutputTarget::RegularFileOnly));
    EXPECT_TRUE(out.Refused());
    EXPECT_EQ(out.Error(), "a symbolic link is in its place");
    EXPECT_EQ(test::ReadFile(victim), "secret");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Names(), (std::set<std::string>{"_thisdir.txt", "link.txt", "victim"}));

    const fs::path fifo = dir / "fifo.txt";
    if (test::kOnWindows)
        GTEST_SKIP() << test::kNoFifos << ", and /dev/null and /dev/full are POSIX devices";
    ASSERT_TRUE(test::MakeFifo(fifo));
    EXPECT_FALSE(out.Open(fifo.string(), OutputTarget::RegularFileOnly)); // returns, never blocks
    EXPECT_TRUE(out.Refused());
    EXPECT_EQ(out.Error(), "it is not a regular file");
    EXPECT_FALSE(out.Open("/dev/null", OutputTarget::RegularFileOnly));

    // The main output may be a device or a link; it is written directly.
    ASSERT_TRUE(out.Open(link.string()));
    out.Write("through the link");
    EXPECT_TRUE(out.Close());
    EXPECT_EQ(test::ReadFile(victim), "through the link");
    EXPECT_TRUE(fs::is_symlink(link));
    ASSERT_TRUE(out.Open("/dev/null"));
    out.Write("discarded");
    EXPECT_TRUE(out.Close());
    ASSERT_TRUE(out.Open("/dev/full"));
    out.Write("no room");
    EXPECT_FALSE(out.Close());
    EXPECT_EQ(out.Error(), "No space left on device");
}

TEST_F(OutputFileTest, LinesEndAsTheSystemsTextFilesDo) {
    OutputFile out;
    ASSERT_TRUE(out.Open(target));
    // A "\r\n" split across two writes (as the CSV writer's lines may be) still gets one "\r".
    for (const char* piece : {"one\ntwo\r", "\nthree\r\n", "\n", "lone\r", "x\n", "last"})
        out.Write(piece);
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(test::ReadFile(target), test::kOnWindows ? "one\r\ntwo\r\nthree\r\n\r\nlone\rx\r\nlast"
                                                       : "one\ntwo\r\nthree\r\n\nlone\rx\nlast");
    // A new run starts without the last run's "\r".
    ASSERT_TRUE(out.Open(target));
    out.Write("\n");
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(test::ReadFile(target), test::kOnWindows ? "\r\n" : "\n");
}

TEST_F(OutputFileTest, KnowsItsOwnFileUnderOtherNamesAsTheSystemComparesNames) {
    test::WriteFile(target, "x");
    fs::create_hard_link(target, dir / "hard.txt");
    fs::create_directory(dir / "sub");
    OutputFile out;
    ASSERT_TRUE(out.Open(target));
    const struct {
        fs::path path;
        bool same;
    } cases[] = {
        {dir / "out.txt", true},          {dir / "sub" / ".." / "out.txt", true},
        {dir / "hard.txt", true},         {dir / "Out.Txt", test::kOnWindows},
        {dir / "sub" / "out.txt", false}, {dir / "other.txt", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(out.IsSameFile(c.path.string()), c.same) << c.path;
    // A name that is not there before the run is known by its name in its folder.
    ASSERT_TRUE(out.Open(scratch.File("new.txt")));
    EXPECT_TRUE(out.IsSameFile((dir / "sub" / ".." / "new.txt").string()));
    EXPECT_EQ(out.IsSameFile((dir / "sub" / ".." / "NEW.TXT").string()), test::kOnWindows);
    EXPECT_FALSE(out.IsSameFile((dir / "sub" / "new.txt").string()));
    ASSERT_TRUE(out.Close());
    EXPECT_FALSE(OutputFile().IsSameFile(target));
}

TEST(SpecialFileTest, DevicesFifosAndSystemFoldersKeepTheirNames) {
    if (test::kOnWindows)
        GTEST_SKIP() << "/dev/null and /dev/stdout are POSIX devices";
    EXPECT_TRUE(NamesSpecialFile("/dev/null"));
    EXPECT_TRUE(NamesSpecialFile("/dev/stdout"));
    EXPECT_FALSE(NamesSpecialFile("/no/such/file"));
    EXPECT_FALSE(NamesSpecialFile(fs::temp_directory_path().string()));
}

TEST(WholeFileTest, AMissingFileIsAnErrorAndAFolderIsNoFile) {
    test::ScratchDir scratch;
    RegularFile in;
    FileStamp stamp;
    EXPECT_EQ(in.Open(scratch.File("missing.qls"), stamp, true), RegularFile::OpenResult::Failed);
    EXPECT_EQ(in.LastError(), ENOENT);
    EXPECT_EQ(in.Open(scratch.Path().string(), stamp, true), RegularFile::OpenResult::NotRegular);
    EXPECT_EQ(ErrorText(ENOENT), "No such file or directory");
    EXPECT_EQ(ErrorText(ENOSPC), "No space left on device");

    test::WriteFile(scratch.File("small.qls"), "0123456789");
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(scratch.File("small.qls"), contents));
    EXPECT_EQ(contents, "0123456789");
    EXPECT_FALSE(ReadWholeFile(scratch.File("small.qls"), contents, 9));
    EXPECT_FALSE(ReadWholeFile(scratch.File("missing.qls"), contents));
    EXPECT_FALSE(ReadWholeFile(scratch.Path().string(), contents));
    // A settings file may be a link to the real one.
    if (test::MakeSymlink(scratch.Path() / "small.qls", scratch.Path() / "link.qls")) {
        ASSERT_TRUE(ReadWholeFile(scratch.File("link.qls"), contents));
        EXPECT_EQ(contents, "0123456789");
    }
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
    EXPECT_TRUE(fs::is_empty(scratch.Path()));
}
#endif

} // namespace
} // namespace quillary
