// Windows only: canonical folder paths (drive letters in lower case, a drive root as its key "c:") and
// a command line's arguments decoded as UTF-8.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/canonical_path.h"
#include "platform/console.h"
#include "support/scratch_dir.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;

TEST(WindowsCanonicalPathTest, DriveRootsAreTheirKeys) {
    for (const char* root : {"C:\\", "c:", "C:/", "c:\\Windows\\..", "C:\\.\\"})
        EXPECT_EQ(CanonicalPath(root).path, "c:") << root;
}

TEST(WindowsCanonicalPathTest, FoldersResolvedWithTheDriveInLowerCase) {
    test::ScratchDir scratch;
    fs::create_directory(scratch.Path() / "y");
    const CanonicalPathResult base = CanonicalPath(scratch.Path().string());
    ASSERT_TRUE(base) << base.error;
    const std::string& folder = base.path;
    ASSERT_GE(folder.size(), 4u);
    EXPECT_TRUE(folder[0] >= 'a' && folder[0] <= 'z') << folder;
    EXPECT_EQ(folder.substr(1, 2), ":\\");
    EXPECT_NE(folder.back(), '\\');

    const std::string upper = static_cast<char>(folder[0] - 'a' + 'A') + folder.substr(1);
    const std::string expected = folder + "\\y";
    for (const std::string& path :
         {upper + "\\x\\..\\y", folder + "/y/", folder + "\\.\\y\\.", upper + "\\Y"})
        EXPECT_EQ(CanonicalPath(path).path, expected) << path;

    EXPECT_EQ(CanonicalPath(folder + "\\missing").error, ENOENT);
    EXPECT_EQ(CanonicalPath("").error, ENOENT);
    EXPECT_EQ(CanonicalPath(folder + std::string(1, '\0') + "y").error, EINVAL);

    const fs::path saved = fs::current_path();
    fs::current_path(scratch.Path());
    EXPECT_EQ(CanonicalPath("y").path, expected);
    EXPECT_EQ(CanonicalPath(".").path, folder);
    fs::current_path(saved);
}

TEST(WindowsCanonicalPathTest, PathsLongerThanTheOldLimit) {
    test::ScratchDir scratch;
    const CanonicalPathResult base = CanonicalPath(scratch.Path().string());
    ASSERT_TRUE(base);
    std::string path = base.path;
    for (int i = 0; i < 12; ++i)
        path += "\\" + std::string(30, static_cast<char>('a' + i));
    fs::create_directories("\\\\?\\" + path);
    ASSERT_GT(path.size(), 260u);
    EXPECT_EQ(CanonicalPath(path).path, path);
    EXPECT_EQ(CanonicalPath(path + "\\..\\" + std::string(30, 'l')).path, path);
}

TEST(WindowsCommandLineTest, ArgumentsArriveAsUtf8) {
    EXPECT_EQ(
        ArgumentsFromCommandLine(L"/l \"C:\\Donn\u00e9es\\s\u00e9lection.qls\" \u6587\u4ef6.txt \U0001D11E"),
        (std::vector<std::string>{"/l",
                                  "C:\\Donn\xc3\xa9"
                                  "es\\s\xc3\xa9lection.qls",
                                  "\xe6\x96\x87\xe4\xbb\xb6.txt", "\xf0\x9d\x84\x9e"}));
    // Quotes group; backslashes are plain except before a quote.
    EXPECT_EQ(ArgumentsFromCommandLine(L"\"a b\" C:\\x\\ \"c\\\\\" \\\"d"),
              (std::vector<std::string>{"a b", "C:\\x\\", "c\\", "\"d"}));
    EXPECT_TRUE(ArgumentsFromCommandLine(L"").empty());
}

} // namespace
} // namespace quillary

#endif
