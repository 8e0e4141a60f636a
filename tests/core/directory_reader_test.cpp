// Folder enumeration and file reading through the platform layer, on a small tree made for each test:
// the details of entries, links never followed, long paths, drive roots and positional reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/directory_reader.h"
#include "platform/pe_version.h"
#include "platform/regular_file.h"
#include "support/scratch_dir.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kWriteTime = 1000000000; // 2001-09-09 01:46:40 UTC

std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// A fresh folder holding "a.txt" (5 bytes, written at kWriteTime), "sub/" and "sub/b.bin" (empty).
class DirectoryReaderTest : public ::testing::Test {
protected:
    DirectoryReaderTest() {
        fs::create_directories(root / "sub");
        test::WriteFile(root / "a.txt", "hello");
        test::WriteFile(root / "sub" / "b.bin", "");
        test::SetTimes(root / "a.txt", kWriteTime, kWriteTime);
    }

    // The entries of a folder with what the reader told of each as it went.
    struct Found {
        std::string name;
        EntryKind kind;
        EntryInfo info;
    };
    static std::vector<Found> ReadAll(const std::string& folder, int* error = nullptr) {
        std::vector<Found> found;
        DirectoryReader reader;
        EXPECT_TRUE(reader.Open(folder)) << folder;
        std::string_view name;
        EntryKind kind;
        while (reader.Next(name, kind)) {
            found.push_back({std::string(name), kind, {}});
            Found& last = found.back();
            EXPECT_EQ(reader.StatEntry(name.data(), last.info), 0) << name;
        }
        if (error != nullptr)
            *error = reader.Error();
        std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.name < b.name; });
        return found;
    }

    test::ScratchDir scratch;
    const fs::path root = scratch.Path();
};

void ExpectSameInfo(const EntryInfo& a, const EntryInfo& b, const std::string& what) {
    EXPECT_EQ(a.isDirectory, b.isDirectory) << what;
    EXPECT_EQ(a.isRegular, b.isRegular) << what;
    EXPECT_EQ(a.size, b.size) << what;
    EXPECT_EQ(a.creationTime, b.creationTime) << what;
    EXPECT_EQ(a.lastAccessTime, b.lastAccessTime) << what;
    EXPECT_EQ(a.lastWriteTime, b.lastWriteTime) << what;
    EXPECT_STREQ(a.attributes, b.attributes) << what;
}

TEST_F(DirectoryReaderTest, EntriesHaveTheirKindsSizesTimesAndLetters) {
    fs::create_directory(root / "ro");
    test::WriteFile(root / "ro" / "locked.txt", "x");
    fs::permissions(root / "ro" / "locked.txt",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);

    int error = -1;
    const std::vector<Found> found = ReadAll(test::Utf8Text(root), &error);
    EXPECT_EQ(error, 0);
    ASSERT_EQ(found.size(), 3u);
    const Found& file = found[0];
    const Found& folder = found[2];
    EXPECT_EQ(file.name, "a.txt");
    EXPECT_EQ(file.kind, EntryKind::NotDirectory);
    EXPECT_TRUE(file.info.isRegular);
    EXPECT_FALSE(file.info.isDirectory);
    EXPECT_EQ(file.info.size, 5u);
    EXPECT_EQ(file.info.lastWriteTime, kWriteTime);

    EXPECT_EQ(folder.name, "sub");
    EXPECT_NE(folder.kind, EntryKind::NotDirectory);
    EXPECT_TRUE(folder.info.isDirectory);
    EXPECT_FALSE(folder.info.isRegular);
    EXPECT_EQ(folder.info.size, 0u);
    // Made just now, and its write time left alone (Wine takes a file's creation time from its
    // modification time when the file system has none).
    EXPECT_LT(std::abs(folder.info.creationTime - Now()), 3600);
    EXPECT_LT(std::abs(folder.info.lastAccessTime - Now()), 3600);
    EXPECT_LT(std::abs(folder.info.lastWriteTime - Now()), 3600);

    EntryInfo locked;
    ASSERT_TRUE(StatPath(test::Utf8Text(root / "ro" / "locked.txt"), locked));
#ifdef _WIN32
    // New files are marked for archiving; folders are not.
    EXPECT_STREQ(file.info.attributes, "-a---");
    EXPECT_STREQ(locked.attributes, "ra---");
    EXPECT_EQ(folder.info.attributes[0], '-');
#else
    EXPECT_STREQ(file.info.attributes, "-----");
    EXPECT_STREQ(locked.attributes, "r----");
    EXPECT_STREQ(folder.info.attributes, "-----");
#endif
}

// What the reader tells of the entry it just read (on Windows from the search itself) is what a lookup
// of the entry by its name and by its whole path tells.
TEST_F(DirectoryReaderTest, DetailsFromTheReaderMatchThoseOfALookup) {
    DirectoryHandle folder;
    ASSERT_TRUE(folder.OpenPath(test::Utf8Text(root)));
    for (const Found& entry : ReadAll(test::Utf8Text(root))) {
        EntryInfo byName;
        EntryInfo byPath;
        ASSERT_EQ(folder.StatEntry(entry.name.c_str(), byName), 0) << entry.name;
        ASSERT_TRUE(StatPath(test::Utf8Text(root / entry.name), byPath)) << entry.name;
        ExpectSameInfo(entry.info, byName, entry.name + " by name");
        ExpectSameInfo(entry.info, byPath, entry.name + " by path");
    }
    EntryInfo own;
    EntryInfo byPath;
    ASSERT_TRUE(folder.StatSelf(test::Utf8Text(root.filename()), own));
    ASSERT_TRUE(StatPath(test::Utf8Text(root), byPath));
    ExpectSameInfo(own, byPath, "the folder itself");
    EXPECT_TRUE(own.isDirectory);
}

TEST_F(DirectoryReaderTest, SubfoldersOpenRelativeToTheirParentAndNamesKeepTheirCharacters) {
    const std::string name = "Gr\xC3\xB6\xC3\x9F"
                             "e \xE6\x97\xA5\xE6\x9C\xAC"; // "Größe 日本"
    fs::create_directory(root / test::Utf8Path(name));
    test::WriteFile(root / test::Utf8Path(name) / "c.txt", "abc");

    std::vector<std::string> names;
    ASSERT_TRUE(ListSubdirectories(test::Utf8Text(root), names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{name, "sub"}));
    // A trailing separator names the same folder.
    ASSERT_TRUE(ListSubdirectories(
        test::Utf8Text(root) + std::string(1, static_cast<char>(fs::path::preferred_separator)), names));
    EXPECT_EQ(names.size(), 2u);

    DirectoryHandle parent;
    DirectoryHandle child;
    ASSERT_TRUE(parent.OpenPath(test::Utf8Text(root)));
    ASSERT_TRUE(child.OpenChild(parent, name.c_str()));
    EntryInfo info;
    ASSERT_EQ(child.StatEntry("c.txt", info), 0);
    EXPECT_EQ(info.size, 3u);
    RegularFile file;
    FileStamp stamp;
    ASSERT_EQ(file.OpenIn(child, "c.txt", stamp), RegularFile::OpenResult::Opened);
    EXPECT_EQ(stamp.size, 3u);
    char text[8] = {};
    EXPECT_EQ(file.Read(text, sizeof text), 3);
    EXPECT_STREQ(text, "abc");
}

TEST_F(DirectoryReaderTest, MissingFoldersAndFilesGiveNoEntry) {
    const std::string missing = test::Utf8Text(root / "missing");
    DirectoryReader reader;
    EXPECT_FALSE(reader.Open(missing));
    EXPECT_EQ(reader.Error(), ENOENT);
    DirectoryHandle folder;
    EXPECT_FALSE(folder.OpenPath(missing));
    EXPECT_EQ(folder.Error(), ENOENT);
    EXPECT_FALSE(folder.OpenPath(test::Utf8Text(root / "a.txt")));
    EXPECT_EQ(folder.Error(), ENOTDIR);

    EntryInfo info;
    EXPECT_FALSE(StatPath(missing, info));
    ASSERT_TRUE(folder.OpenPath(test::Utf8Text(root)));
    EXPECT_EQ(folder.StatEntry("missing", info), ENOENT);
    DirectoryHandle child;
    EXPECT_FALSE(child.OpenChild(folder, "missing"));
    EXPECT_EQ(child.Error(), ENOENT);

    std::vector<std::string> names{"stale"};
    EXPECT_FALSE(ListSubdirectories(missing, names));
    EXPECT_TRUE(names.empty());
}

TEST_F(DirectoryReaderTest, LinksAreEntriesOfTheirOwnAndNeverFollowedWhileWalking) {
    std::error_code error;
    fs::create_directory_symlink(root, root / "sub" / "loop", error);
    if (!error)
        fs::create_symlink(root / "a.txt", root / "sub" / "flink", error);
    if (error)
        GTEST_SKIP() << "symbolic links cannot be made here: " << error.message();

    const std::string sub = test::Utf8Text(root / "sub");
    const std::vector<Found> found = ReadAll(sub);
    ASSERT_EQ(found.size(), 3u); // b.bin, flink, loop
    for (const Found& link : {found[1], found[2]}) {
        EXPECT_EQ(link.kind, EntryKind::NotDirectory) << link.name;
        EXPECT_FALSE(link.info.isDirectory) << link.name;
        EXPECT_FALSE(link.info.isRegular) << link.name;
    }
    std::vector<std::string> names;
    ASSERT_TRUE(ListSubdirectories(sub, names));
    EXPECT_TRUE(names.empty());

    DirectoryHandle parent;
    DirectoryHandle child;
    ASSERT_TRUE(parent.OpenPath(sub));
    EXPECT_FALSE(child.OpenChild(parent, "loop"));
    EXPECT_FALSE(child.OpenPath(test::Utf8Text(root / "sub" / "loop"), false));
    EXPECT_TRUE(child.OpenPath(test::Utf8Text(root / "sub" / "loop"), true)); // a selection may be a link

    RegularFile file;
    FileStamp stamp;
    EXPECT_EQ(file.Open(test::Utf8Text(root / "sub" / "flink"), stamp), RegularFile::OpenResult::NotRegular);
    EXPECT_EQ(file.OpenIn(parent, "flink", stamp), RegularFile::OpenResult::NotRegular);
    ASSERT_EQ(file.Open(test::Utf8Text(root / "sub" / "flink"), stamp, true),
              RegularFile::OpenResult::Opened);
    EXPECT_EQ(stamp.size, 5u);

    // A link has no version, as it has no checksum: only the file itself is read.
    const fs::path tool = fs::path(QUILLARY_TEST_DATA_DIR) / "pe" / "ver_basic.exe";
    fs::create_symlink(tool, root / "tool.exe");
    int versionError = -1;
    EXPECT_EQ(GetFileVersionText(test::Utf8Text(tool), &versionError), "1.2.3.4");
    EXPECT_EQ(GetFileVersionText(test::Utf8Text(root / "tool.exe"), &versionError), "");
    EXPECT_EQ(versionError, 0);
}

TEST_F(DirectoryReaderTest, PathsLongerThanTheOldWindowsLimitAreReadAndListed) {
    fs::path deep = root;
    for (char letter : {'p', 'q', 'r', 's'})
        deep /= std::string(70, letter);
    std::error_code error;
#ifdef _WIN32
    // The test builds the tree in the long-path form itself; the code under test is given plain paths.
    fs::create_directories(L"\\\\?\\" + deep.wstring(), error);
    if (!error)
        test::WriteFile(L"\\\\?\\" + (deep / "deep.txt").wstring(), "bottom");
#else
    fs::create_directories(deep, error);
    test::WriteFile(deep / "deep.txt", "bottom");
#endif
    ASSERT_FALSE(error) << error.message();
    const std::string path = test::Utf8Text(deep);
    ASSERT_GT(path.size(), 300u);

    const std::vector<Found> found = ReadAll(path);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "deep.txt");
    EXPECT_EQ(found[0].info.size, 6u);
    EntryInfo info;
    ASSERT_TRUE(StatPath(test::Utf8Text(deep / "deep.txt"), info));
    EXPECT_EQ(info.size, 6u);
    RegularFile file;
    FileStamp stamp;
    ASSERT_EQ(file.Open(test::Utf8Text(deep / "deep.txt"), stamp), RegularFile::OpenResult::Opened);
    char text[8] = {};
    EXPECT_EQ(file.Read(text, sizeof text), 6);
    EXPECT_STREQ(text, "bottom");
}

TEST_F(DirectoryReaderTest, ReadAtReadsAnyRangeAndStopsAtTheEnd) {
    test::WriteFile(root / "digits", "0123456789");
    test::SetTimes(root / "digits", kWriteTime, kWriteTime);
    RegularFile file;
    char text[8] = {};
    EXPECT_EQ(file.ReadAt(0, text, 4), -1); // nothing open
    FileStamp stamp;
    ASSERT_EQ(file.Open(test::Utf8Text(root / "digits"), stamp), RegularFile::OpenResult::Opened);
    EXPECT_EQ(stamp.size, 10u);
    EXPECT_EQ(stamp.lastWriteSeconds, kWriteTime);
    EXPECT_EQ(stamp.lastWriteNanoseconds, 0);

    EXPECT_EQ(file.ReadAt(3, text, 4), 4);
    EXPECT_EQ(std::string(text, 4), "3456");
    EXPECT_EQ(file.ReadAt(0, text, 2), 2); // backwards too
    EXPECT_EQ(std::string(text, 2), "01");
    EXPECT_EQ(file.ReadAt(8, text, 4), 2); // cut short by the end
    EXPECT_EQ(std::string(text, 2), "89");
    EXPECT_EQ(file.ReadAt(10, text, 4), 0);
    EXPECT_EQ(file.ReadAt(1000, text, 4), 0);

    FileStamp again;
    ASSERT_TRUE(file.Stamp(again));
    EXPECT_EQ(again, stamp);
}

TEST_F(DirectoryReaderTest, OnlyRegularFilesAreOpenedForReading) {
    RegularFile file;
    FileStamp stamp;
    EXPECT_EQ(file.Open(test::Utf8Text(root / "sub"), stamp), RegularFile::OpenResult::NotRegular);
    EXPECT_EQ(file.Open(test::Utf8Text(root / "missing"), stamp), RegularFile::OpenResult::Failed);
    EXPECT_EQ(file.LastError(), ENOENT);
}

#ifdef _WIN32
TEST(DriveRootTest, ADriveRootHasNoTimesAndTheVolumeLetterRule) {
    for (const char* key : {"c:", "C:", "c:\\"}) {
        EntryInfo info;
        info.lastWriteTime = 1;
        ASSERT_TRUE(StatPath(key, info)) << key;
        EXPECT_TRUE(info.isDirectory) << key;
        EXPECT_EQ(info.creationTime, 0) << key;
        EXPECT_EQ(info.lastAccessTime, 0) << key;
        EXPECT_EQ(info.lastWriteTime, 0) << key;
        EXPECT_EQ(std::string(info.attributes, 4), "----") << key;
        EXPECT_TRUE(info.attributes[4] == 'c' || info.attributes[4] == '-') << key;
    }
    DirectoryHandle drive;
    ASSERT_TRUE(drive.OpenPath("c:"));
    EntryInfo own;
    ASSERT_TRUE(drive.StatSelf("c:", own));
    EXPECT_EQ(own.lastWriteTime, 0);
}

TEST(DriveRootTest, TheKeyOfADriveIsItsRootNotItsCurrentFolder) {
    const fs::path before = fs::current_path();
    fs::current_path("c:\\windows"); // the drive's current folder
    std::vector<std::string> names;
    const bool listed = ListSubdirectories("c:", names);
    fs::current_path(before);
    ASSERT_TRUE(listed);
    const auto windows = std::find_if(names.begin(), names.end(), [](const std::string& name) {
        return name.size() == 7 && (name[0] | 0x20) == 'w' && name.substr(1) == "indows";
    });
    EXPECT_NE(windows, names.end()); // c:\windows is in the root, not in itself
}
#endif

} // namespace
} // namespace quillary
