// Listing order of entries and directories.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/sorting.h"

namespace quillary {
namespace {

// Names are views, as in the engine's records: string literals outlive every record here.
FileRecord Entry(std::string_view name, bool isDirectory, std::uint64_t size = 0, std::int64_t written = 0) {
    FileRecord record;
    record.name = name;
    record.isDirectory = isDirectory;
    record.size = size;
    record.lastWriteTime = written;
    record.creationTime = -written; // reversed, to see which time a sort uses
    const std::size_t dot = name.rfind('.');
    record.extensionStart = static_cast<std::uint32_t>(
        (isDirectory || dot == std::string_view::npos) ? name.size() + 1 : dot + 1);
    return record;
}

std::string Order(std::vector<FileRecord*> entries, FileSortKey sortBy, bool descending,
                  TimeKind kind = TimeKind::LastWrite) {
    SortEntries(entries, sortBy, descending, kind);
    // Walk as the listing does: backwards when descending.
    if (descending)
        std::reverse(entries.begin(), entries.end());
    std::string names;
    for (const FileRecord* entry : entries)
        names.append(names.empty() ? "" : " ").append(entry->name);
    return names;
}

class SortEntriesTest : public ::testing::Test {
protected:
    static std::vector<FileRecord> Records() {
        std::vector<FileRecord> records; // records move, never copy
        records.push_back(Entry("b.txt", false, 30, 3));
        records.push_back(Entry("Zdir", true, 0, 9));
        records.push_back(Entry("a.doc", false, 10, 1));
        records.push_back(Entry("README", false, 20, 2));
        records.push_back(Entry("adir", true, 0, 8));
        records.push_back(Entry("c.TXT", false, 5, 5));
        return records;
    }
    std::vector<FileRecord> records = Records();
    std::vector<FileRecord*> Pointers() {
        std::vector<FileRecord*> pointers;
        for (FileRecord& record : records)
            pointers.push_back(&record);
        return pointers;
    }
};

TEST_F(SortEntriesTest, DirectoriesComeFirstInBothDirections) {
    EXPECT_EQ(Order(Pointers(), FileSortKey::Name, false), "adir Zdir a.doc b.txt c.TXT README");
    EXPECT_EQ(Order(Pointers(), FileSortKey::Name, true), "Zdir adir README c.TXT b.txt a.doc");
    EXPECT_EQ(Order(Pointers(), FileSortKey::Size, true), "Zdir adir b.txt README a.doc c.TXT");
}

TEST_F(SortEntriesTest, ExtensionSortPutsNoExtensionFirstAndTiesByName) {
    EXPECT_EQ(Order(Pointers(), FileSortKey::Extension, false), "adir Zdir README a.doc b.txt c.TXT");
}

TEST_F(SortEntriesTest, DateSortUsesTheChosenTime) {
    EXPECT_EQ(Order(Pointers(), FileSortKey::Date, false, TimeKind::LastWrite),
              "adir Zdir a.doc README b.txt c.TXT");
    EXPECT_EQ(Order(Pointers(), FileSortKey::Date, false, TimeKind::Creation),
              "Zdir adir c.TXT b.txt README a.doc");
}

TEST_F(SortEntriesTest, UnknownKeyKeepsTheScanOrder) {
    EXPECT_EQ(Order(Pointers(), static_cast<FileSortKey>(4), false), "b.txt Zdir a.doc README adir c.TXT");
    EXPECT_EQ(Order(Pointers(), static_cast<FileSortKey>(-1), false), "b.txt Zdir a.doc README adir c.TXT");
}

// A sort of up to 65,536 entries folds each name once into a key, a larger one at each comparison: both
// give one order. The large sort's order, restricted to a smaller set, is the small set's order.
TEST_F(SortEntriesTest, LargeAndSmallSortsAgree) {
    const char* stems[] = {"a", "A",        "\xC3\xA9",     "\xC3\x89", "\xE2\x84\xAA",
                           "k", "\xC3\x9F", "\xE1\xBA\x9E", "_",        "\x80",
                           "Z", "z"};
    const char* extensions[] = {"", ".txt", ".TXT", ".T\xC3\x89", ".t\xC3\xA9", ".b"};
    std::vector<std::string> names;
    for (std::size_t i = 0; i < 70000; ++i) {
        std::string name;
        for (std::size_t n = i; n > 0; n /= 12)
            name += stems[n % 12];
        names.push_back(name + std::to_string(i % 97) + "_" + std::to_string(i) + extensions[i % 6]);
    }
    std::vector<FileRecord> many;
    for (std::size_t i = 0; i < names.size(); ++i)
        many.push_back(Entry(names[i], i % 50 == 0, i % 13, static_cast<std::int64_t>(i % 5)));
    for (const FileSortKey key : {FileSortKey::Name, FileSortKey::Extension, FileSortKey::Size}) {
        std::vector<FileRecord*> all, some;
        for (std::size_t i = 0; i < many.size(); ++i) {
            all.push_back(&many[i]);
            if (i % 7 != 0)
                some.push_back(&many[i]);
        }
        ASSERT_LE(some.size(), 65536u);
        SortEntries(all, key, false, TimeKind::LastWrite);
        SortEntries(some, key, false, TimeKind::LastWrite);
        std::vector<FileRecord*> restricted;
        for (FileRecord* entry : all) {
            if ((entry - many.data()) % 7 != 0)
                restricted.push_back(entry);
        }
        EXPECT_TRUE(restricted == some) << "sort key " << static_cast<int>(key);
    }
}

TEST(SortDirectoriesTest, ByNameSizeAndDateWithPathTieBreak) {
    FolderTree tree;
    DirRecord& b = tree.AddRoot("/b");
    DirRecord& a = tree.AddRoot("/A");
    DirRecord& c = tree.AddRoot("/c");
    b.totalSize = 5;
    a.totalSize = 5;
    c.totalSize = 1;
    b.lastWriteTime = 1;
    a.lastWriteTime = 3;
    c.lastWriteTime = 2;
    auto order = [&](DirSortKey sortBy) {
        std::string keys;
        for (const DirRecord* dir : SortedFolders(tree, sortBy, TimeKind::LastWrite))
            keys += dir->name;
        return keys;
    };
    EXPECT_EQ(order(DirSortKey::Name), "/A/b/c");
    EXPECT_EQ(order(DirSortKey::Size), "/c/A/b");
    EXPECT_EQ(order(DirSortKey::Date), "/b/c/A");
    EXPECT_EQ(order(static_cast<DirSortKey>(7)), "/A/b/c"); // byte order of the paths
}

} // namespace
} // namespace quillary
