// Listing order of entries and directories.
#include <gtest/gtest.h>

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
