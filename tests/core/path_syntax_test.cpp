// The rules of both path syntaxes, checked on any system: they are plain values.
#include <gtest/gtest.h>

#include <string>

#include "platform/path_syntax.h"

namespace quillary {
namespace {

TEST(PathSyntaxTest, RootKeys) {
    EXPECT_TRUE(kPosixPaths.IsRootKey(""));
    for (const char* other : {"/", "c:", "home"})
        EXPECT_FALSE(kPosixPaths.IsRootKey(other)) << other;
    EXPECT_EQ(kPosixPaths.RootKeyFromText("/"), "");
    EXPECT_EQ(kPosixPaths.Showable(""), "/");
    EXPECT_EQ(kPosixPaths.Showable("/home"), "/home");

    for (const char* drive : {"c:", "C:", "z:"})
        EXPECT_TRUE(kWindowsPaths.IsRootKey(drive)) << drive;
    for (const char* other : {"", "c:\\", "c", "1:", "\\\\server\\share"})
        EXPECT_FALSE(kWindowsPaths.IsRootKey(other)) << other;
    EXPECT_EQ(kWindowsPaths.RootKeyFromText("C:"), "c:");
    EXPECT_EQ(kWindowsPaths.RootKeyFromText("Data"), "");
    EXPECT_EQ(kWindowsPaths.Showable("c:"), "c:");
}

TEST(PathSyntaxTest, DrivesSharesAndAbsolutePaths) {
    struct Row {
        const char* path;
        std::size_t drive, share;
        bool absolute;
    };
    const Row windows[] = {
        {"c:\\Data\\x\\", 2, 0, true},
        {"C:/Data", 2, 0, true},
        {"c:", 2, 0, false}, // the current folder of drive c:
        {"c:Data", 2, 0, false},
        {"\\Data", 0, 0, false}, // the current drive
        {"Data\\x", 0, 0, false},
        {"\\\\server\\share\\dir", 0, 14, true},
        {"//server/share", 0, 14, true},
        {"\\\\server\\share\\", 0, 14, true},
        {"\\\\server", 0, 0, true}, // no share named
        {"\\\\server\\\\x", 0, 0, true},
        {"\\\\?\\c:\\Data", 0, 0, true}, // a long path, not a share
        {"\\\\.\\pipe\\x", 0, 0, true},
    };
    for (const Row& row : windows) {
        EXPECT_EQ(kWindowsPaths.DrivePartLength(row.path), row.drive) << row.path;
        EXPECT_EQ(kWindowsPaths.NetworkRootLength(row.path), row.share) << row.path;
        EXPECT_EQ(kWindowsPaths.IsAbsolute(row.path), row.absolute) << row.path;
    }
    // POSIX has neither drives nor shares; "c:" and "\\x" are names.
    for (const char* path : {"c:\\Data", "\\\\server\\share", "//server/share", "/home"}) {
        EXPECT_EQ(kPosixPaths.DrivePartLength(path), 0u) << path;
        EXPECT_EQ(kPosixPaths.NetworkRootLength(path), 0u) << path;
    }
    EXPECT_TRUE(kPosixPaths.IsAbsolute("/home"));
    EXPECT_FALSE(kPosixPaths.IsAbsolute("c:\\Data"));
}

TEST(PathSyntaxTest, LastSeparator) {
    EXPECT_EQ(kPosixPaths.FindLastSeparator("/home/me"), 5u);
    EXPECT_EQ(kPosixPaths.FindLastSeparator("a\\b"), std::string::npos);
    EXPECT_EQ(kPosixPaths.FindLastSeparator(""), std::string::npos);
    EXPECT_EQ(kWindowsPaths.FindLastSeparator("c:\\Data\\x"), 7u);
    EXPECT_EQ(kWindowsPaths.FindLastSeparator("c:\\Data/x"), 7u);
    EXPECT_EQ(kWindowsPaths.FindLastSeparator("c:"), std::string::npos);
}

// Where a file name's extension starts on each system; npos for none. A leading dot marks a hidden name
// on Linux; Windows splits there as anywhere. "trailing." has an empty extension.
TEST(PathSyntaxTest, ExtensionStart) {
    constexpr std::size_t kNone = std::string::npos;
    const struct {
        const char* name;
        std::size_t posix;
        std::size_t windows;
    } rows[] = {
        {"notes.txt", 6, 6},      {"archive.tar.gz", 12, 12}, {"README", kNone, kNone},
        {".gitignore", kNone, 1}, {".profile.bak", 9, 9},     {"trailing.", 9, 9},
        {"", kNone, kNone},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(kPosixPaths.ExtensionStart(row.name), row.posix) << row.name;
        EXPECT_EQ(kWindowsPaths.ExtensionStart(row.name), row.windows) << row.name;
    }
}

TEST(PathSyntaxTest, NamesAFileCanHave) {
    using namespace std::string_literals;
    struct Row {
        std::string name;
        bool posix, windows;
    };
    const Row rows[] = {
        {"_thisdir.txt", true, true},
        {".profile", true, true},
        {"a b", true, true},
        {"", false, false},
        {".", false, false},
        {"..", false, false},
        {".profile\0.txt"s, false, false}, // the system would stop at the NUL
        {"\0"s, false, false},
        {"a/b", false, false},
        {"../escape", false, false},
        {"/abs", false, false},
        {"a\\b", true, false},
        {"c:x", true, false}, // a stream of the file "c"
        {"a<b", true, false},
        {"a?", true, false},
        {"a*", true, false},
        {"a|b", true, false},
        {"a\"b", true, false},
        {"new\nline", true, false},
        {"dot.", true, false},
        {"space ", true, false},
        {"CON", true, false},
        {"nul.txt", true, false},
        {"Com1 .txt", true, false},
        {"LPT9", true, false},
        {"COM0", true, true},
        {"CONSOLE", true, true},
        {"con_x.txt", true, true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(kPosixPaths.CanNameFile(row.name), row.posix) << row.name;
        EXPECT_EQ(kWindowsPaths.CanNameFile(row.name), row.windows) << row.name;
    }
}

TEST(PathSyntaxTest, PathsThatCanOnlyNameAFolder) {
    for (const char* path : {"/", "/srv/out/", ".", "..", "/srv/.", "x/..", ""})
        EXPECT_TRUE(kPosixPaths.NamesOnlyFolder(path)) << path;
    for (const char* path : {"/srv/out", "list.txt", "/srv/.list", "...", "c:"})
        EXPECT_FALSE(kPosixPaths.NamesOnlyFolder(path)) << path;
    for (const char* path : {"c:", "c:\\", "c:\\out/", "\\\\server\\share\\", "..\\.."})
        EXPECT_TRUE(kWindowsPaths.NamesOnlyFolder(path)) << path;
    for (const char* path : {"c:list", "c:\\out", "\\\\server\\share\\x.txt"})
        EXPECT_FALSE(kWindowsPaths.NamesOnlyFolder(path)) << path;
}

} // namespace
} // namespace quillary
