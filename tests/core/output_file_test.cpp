// Output files: replaced only when complete, permissions kept, links and special files never written
// through where only a regular file belongs.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/file_io.h"
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

TEST_F(OutputFileTest, TheOldFileStaysUntilTheNewOneIsComplete) {
    test::WriteFile(target, "old listing");
    {
        OutputFile out;
        ASSERT_TRUE(out.Open(target));
        out.Write("half a new");
        EXPECT_EQ(test::ReadFile(target), "old listing");
        // The new file has no name yet: a listing of the folder does not show it. Windows cannot make a
        // file without a name: there it is a hidden ".out.txt." with ten random letters meanwhile.
        const std::set<std::string> names = Names();
        if (test::kOnWindows) {
            ASSERT_EQ(names.size(), 2u) << names.size();
            EXPECT_EQ(names.begin()->rfind(".out.txt.", 0), 0u) << *names.begin();
            EXPECT_EQ(names.begin()->size(), 19u) << *names.begin();
            EXPECT_EQ(*names.rbegin(), "out.txt");
        } else {
            EXPECT_EQ(names, std::set<std::string>{"out.txt"});
        }
        OutputFile other;
        ASSERT_TRUE(other.Open(target));
    } // destroyed without Close: a failed or abandoned run
    EXPECT_EQ(test::ReadFile(target), "old listing");
    EXPECT_EQ(Names(), std::set<std::string>{"out.txt"});

    OutputFile out;
    ASSERT_TRUE(out.Open(target));
    out.Write("new listing");
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(test::ReadFile(target), "new listing");
    EXPECT_EQ(Names(), std::set<std::string>{"out.txt"});
}

TEST_F(OutputFileTest, PermissionsOfANewFileFollowTheUmaskAndAnOldFileKeepsItsOwn) {
    if (test::kOnWindows)
        GTEST_SKIP() << test::kNoPermissionBits;
    OutputFile out;
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

TEST_F(OutputFileTest, FolderListingsNeverGoThroughLinksOrIntoSpecialFiles) {
    const fs::path victim = dir / "victim";
    test::WriteFile(victim, "secret");
    const fs::path link = dir / "_thisdir.txt";
    if (!test::MakeSymlink(victim, link))
        GTEST_SKIP() << test::kNoSymlinks;
    OutputFile out;
    EXPECT_FALSE(out.Open(link.string(), OutputTarget::RegularFileOnly));
    EXPECT_TRUE(out.Refused());
    EXPECT_EQ(out.Error(), "a symbolic link is in its place");
    EXPECT_EQ(test::ReadFile(victim), "secret");
    EXPECT_TRUE(fs::is_symlink(link));

    const fs::path fifo = dir / "fifo.txt";
    if (test::kOnWindows)
        GTEST_SKIP() << test::kNoFifos << ", and /dev/null and /dev/full are POSIX devices";
    ASSERT_TRUE(test::MakeFifo(fifo));
    EXPECT_FALSE(out.Open(fifo.string(), OutputTarget::RegularFileOnly)); // returns, never blocks
    EXPECT_TRUE(out.Refused());
    EXPECT_EQ(out.Error(), "it is not a regular file");
    EXPECT_FALSE(out.Open("/dev/null", OutputTarget::RegularFileOnly));

    // The main output may be a device; it is written directly.
    ASSERT_TRUE(out.Open("/dev/null"));
    out.Write("discarded");
    EXPECT_TRUE(out.Close());
    ASSERT_TRUE(out.Open("/dev/full"));
    out.Write("no room");
    EXPECT_FALSE(out.Close());
    EXPECT_EQ(out.Error(), "No space left on device");
}

TEST_F(OutputFileTest, KnowsItsOwnFileUnderOtherNames) {
    test::WriteFile(target, "x");
    fs::create_hard_link(target, dir / "hard.txt");
    fs::create_directory(dir / "sub");
    OutputFile out;
    ASSERT_TRUE(out.Open(target));
    EXPECT_TRUE(out.IsSameFile(target));
    EXPECT_TRUE(out.IsSameFile((dir / "sub" / ".." / "out.txt").string()));
    EXPECT_TRUE(out.IsSameFile((dir / "hard.txt").string()));
    EXPECT_FALSE(out.IsSameFile((dir / "sub" / "out.txt").string()));
    EXPECT_FALSE(out.IsSameFile((dir / "other.txt").string()));
    const std::string fresh = (dir / "new.txt").string(); // not there before the run
    ASSERT_TRUE(out.Open(fresh));
    EXPECT_TRUE(out.IsSameFile((dir / "sub" / ".." / "new.txt").string()));
}

TEST(SpecialFileTest, DevicesFifosAndSystemFoldersKeepTheirNames) {
    if (test::kOnWindows)
        GTEST_SKIP() << "/dev/null and /dev/stdout are POSIX devices";
    EXPECT_TRUE(NamesSpecialFile("/dev/null"));
    EXPECT_TRUE(NamesSpecialFile("/dev/stdout"));
    EXPECT_FALSE(NamesSpecialFile("/no/such/file"));
    EXPECT_FALSE(NamesSpecialFile(fs::temp_directory_path().string()));
}

} // namespace
} // namespace quillary
