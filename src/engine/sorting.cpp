#include "engine/sorting.h"

#include <algorithm>

#include "platform/case_fold.h"

namespace quillary {

namespace {

template <typename Record> std::int64_t ChosenTime(const Record& record, TimeKind dateTimeKind) {
    switch (dateTimeKind) {
    case TimeKind::Creation:
        return record.creationTime;
    case TimeKind::LastAccess:
        return record.lastAccessTime;
    default:
        return record.lastWriteTime;
    }
}

template <typename Key> int CompareKeys(const Key& a, const Key& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

int CompareNames(std::string_view a, std::string_view b) {
    const int c = CompareNoCase(a, b);
    return c != 0 ? c : a.compare(b);
}

void SortDirectories(std::vector<DirMapEntry*>& dirs, DirSortKey sortBy, TimeKind dateTimeKind) {
    auto byPath = [](const DirMapEntry* a, const DirMapEntry* b) { return CompareNames(a->first, b->first); };
    switch (sortBy) {
    case DirSortKey::Name:
        std::sort(dirs.begin(), dirs.end(), [&](auto* a, auto* b) { return byPath(a, b) < 0; });
        break;
    case DirSortKey::Size:
        std::sort(dirs.begin(), dirs.end(), [&](auto* a, auto* b) {
            const int c = CompareKeys(a->second.totalSize, b->second.totalSize);
            return (c != 0 ? c : byPath(a, b)) < 0;
        });
        break;
    case DirSortKey::Date:
        std::sort(dirs.begin(), dirs.end(), [&](auto* a, auto* b) {
            const int c =
                CompareKeys(ChosenTime(a->second, dateTimeKind), ChosenTime(b->second, dateTimeKind));
            return (c != 0 ? c : byPath(a, b)) < 0;
        });
        break;
    default:
        break;
    }
}

void SortEntries(std::vector<FileRecord*>& entries, FileSortKey sortBy, bool descending,
                 TimeKind dateTimeKind) {
    if (sortBy < FileSortKey::Name || sortBy > FileSortKey::Date)
        return;
    auto compareKey = [sortBy, dateTimeKind](const FileRecord& a, const FileRecord& b) {
        switch (sortBy) {
        case FileSortKey::Extension:
            return CompareNoCase(a.Extension(), b.Extension());
        case FileSortKey::Size:
            return CompareKeys(a.size, b.size);
        case FileSortKey::Date:
            return CompareKeys(ChosenTime(a, dateTimeKind), ChosenTime(b, dateTimeKind));
        default:
            return 0;
        }
    };
    std::sort(entries.begin(), entries.end(), [&](const FileRecord* a, const FileRecord* b) {
        if (a->isDirectory != b->isDirectory)
            return a->isDirectory != descending;
        const int c = compareKey(*a, *b);
        return (c != 0 ? c : CompareNames(a->name, b->name)) < 0;
    });
}

} // namespace quillary
