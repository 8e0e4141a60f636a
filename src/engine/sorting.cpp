#include "engine/sorting.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/case_fold.h"
#include "platform/path_syntax.h"

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

namespace {

using NameOrder = int (*)(std::string_view, std::string_view);

int CompareBytes(std::string_view a, std::string_view b) {
    return a.compare(b);
}

// One level of the walk in path order: the subfolders of a group of folders whose paths are equal by
// `compare` (only folders that differ in case make a group of more than one), cut into units. A unit
// is either the folders of one name (by `compare`) or all that lies below them; a path below folder
// "n" compares as "n" and the separator, and so a unit sorts by its name, with the separator for the
// folders below. Those that differ in case ("A" and "a") are one unit, and so are the folders below
// them, whose paths are equal up to there and compare by what follows.
struct Level {
    struct Unit {
        std::string key;
        std::size_t begin, end; // in `dirs`
        bool below;
    };
    std::vector<DirRecord*> dirs; // by name, those of one name by their parents' order, then bytes
    std::vector<Unit> units;      // sorted
    std::size_t next = 0;
};

// The level below `group` (folders whose paths are equal by `compare`, in path order); false when none
// of them has a subfolder.
bool MakeLevel(const DirRecord* const* group, std::size_t count, NameOrder compare, Level& level) {
    struct Sub {
        DirRecord* dir;
        std::size_t parent; // its parent's place in the group
    };
    std::vector<Sub> subs;
    for (std::size_t i = 0; i < count; ++i) {
        for (DirRecord* sub : group[i]->subfolders)
            subs.push_back({sub, i});
    }
    if (subs.empty())
        return false;
    // Folders of one name by `compare` have paths equal up to their names; by bytes, the earlier
    // parent's path is the smaller (two such paths never start one with the other), then the name.
    std::sort(subs.begin(), subs.end(), [compare](const Sub& a, const Sub& b) {
        const int c = compare(a.dir->name, b.dir->name);
        if (c != 0)
            return c < 0;
        if (a.parent != b.parent)
            return a.parent < b.parent;
        return a.dir->name < b.dir->name;
    });
    level.dirs.reserve(subs.size());
    for (const Sub& sub : subs)
        level.dirs.push_back(sub.dir);
    for (std::size_t begin = 0; begin < subs.size();) {
        std::size_t end = begin + 1;
        bool below = !subs[begin].dir->subfolders.empty();
        for (; end < subs.size() && compare(subs[begin].dir->name, subs[end].dir->name) == 0; ++end) {
            if (!subs[end].dir->subfolders.empty())
                below = true;
        }
        const std::string& name = subs[begin].dir->name;
        level.units.push_back({name, begin, end, false});
        if (below)
            level.units.push_back({name + kPathSeparator, begin, end, true});
        begin = end;
    }
    // No two units compare equal: a name never holds the separator.
    std::sort(level.units.begin(), level.units.end(),
              [compare](const Level::Unit& a, const Level::Unit& b) { return compare(a.key, b.key) < 0; });
    return true;
}

// The folders of one root in path order, walked without recursion.
void AppendRootInPathOrder(DirRecord* root, NameOrder compare, std::vector<DirRecord*>& out) {
    out.push_back(root);
    std::vector<Level> levels(1);
    if (!MakeLevel(&root, 1, compare, levels.back()))
        return;
    std::vector<DirRecord*> group;
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next == level.units.size()) {
            levels.pop_back();
            continue;
        }
        const Level::Unit unit = level.units[level.next++];
        const auto first = level.dirs.begin() + static_cast<std::ptrdiff_t>(unit.begin);
        const auto last = level.dirs.begin() + static_cast<std::ptrdiff_t>(unit.end);
        if (!unit.below) {
            out.insert(out.end(), first, last);
            continue;
        }
        group.assign(first, last); // the level may move when the next one is added
        levels.emplace_back();
        if (!MakeLevel(group.data(), group.size(), compare, levels.back()))
            levels.pop_back();
    }
}

} // namespace

std::vector<DirRecord*> FoldersByPath(const FolderTree& tree, bool ignoreCase) {
    const NameOrder compare = ignoreCase ? CompareNoCase : CompareBytes;
    std::vector<DirRecord*> out;
    out.reserve(tree.size());
    const auto& roots = tree.Roots();
    if (roots.size() == 1) {
        AppendRootInPathOrder(roots.begin()->second, compare, out);
        return out;
    }
    // Roots may lie inside one another or share the start of their paths, so their folders are merged
    // by whole paths.
    struct Run {
        std::vector<DirRecord*> dirs;
        std::size_t next = 0;
        std::string path; // of dirs[next]
    };
    std::vector<Run> runs(roots.size());
    std::size_t i = 0;
    for (const auto& root : roots) {
        AppendRootInPathOrder(root.second, compare, runs[i].dirs);
        runs[i++].path = root.first;
    }
    const NameOrder wholePath = ignoreCase ? CompareNames : CompareBytes;
    auto after = [&](std::size_t a, std::size_t b) { return wholePath(runs[a].path, runs[b].path) > 0; };
    std::vector<std::size_t> heap(runs.size());
    for (i = 0; i < runs.size(); ++i)
        heap[i] = i;
    std::make_heap(heap.begin(), heap.end(), after);
    FolderPath paths;
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), after);
        Run& run = runs[heap.back()];
        out.push_back(run.dirs[run.next++]);
        if (run.next == run.dirs.size()) {
            heap.pop_back();
            continue;
        }
        run.path = paths.Of(*run.dirs[run.next]);
        std::push_heap(heap.begin(), heap.end(), after);
    }
    return out;
}

std::vector<DirRecord*> SortedFolders(const FolderTree& tree, DirSortKey sortBy, TimeKind dateTimeKind) {
    switch (sortBy) {
    case DirSortKey::Name:
        return FoldersByPath(tree, true);
    case DirSortKey::Size: {
        std::vector<DirRecord*> dirs = FoldersByPath(tree, true);
        std::stable_sort(dirs.begin(), dirs.end(),
                         [](const DirRecord* a, const DirRecord* b) { return a->totalSize < b->totalSize; });
        return dirs;
    }
    case DirSortKey::Date: {
        std::vector<DirRecord*> dirs = FoldersByPath(tree, true);
        std::stable_sort(dirs.begin(), dirs.end(), [dateTimeKind](const DirRecord* a, const DirRecord* b) {
            return ChosenTime(*a, dateTimeKind) < ChosenTime(*b, dateTimeKind);
        });
        return dirs;
    }
    default:
        return FoldersByPath(tree, false);
    }
}

namespace {

// The folded heads take 24 bytes for each entry (the record and two numbers): a sort of more entries than
// this (all entries sorted together, a huge folder) folds at each comparison instead, without memory of its
// own.
constexpr std::size_t kFoldedKeyLimit = 65536;

// The start of each name folded once into a number beside the record, instead of at every
// comparison: the numbers decide the comparisons of names that differ in their first eight folded
// bytes (nearly all), CompareNoCase the others (case_fold.h). The same for extensions, when they are
// the sort key.
void SortByFoldedHeads(std::vector<FileRecord*>& entries, FileSortKey sortBy, bool descending,
                       TimeKind dateTimeKind) {
    struct Keyed {
        FileRecord* record;
        std::uint64_t head;
        std::uint64_t extensionHead;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(entries.size());
    for (FileRecord* entry : entries)
        keyed.push_back({entry, FoldedKeyHead(entry->name),
                         sortBy == FileSortKey::Extension ? FoldedKeyHead(entry->Extension()) : 0});
    auto compareHeads = [](std::uint64_t a, std::uint64_t b, std::string_view textA, std::string_view textB) {
        if (a != b)
            return a < b ? -1 : 1;
        return CompareNoCase(textA, textB);
    };
    auto compareKey = [&](const Keyed& a, const Keyed& b) {
        switch (sortBy) {
        case FileSortKey::Extension:
            return compareHeads(a.extensionHead, b.extensionHead, a.record->Extension(),
                                b.record->Extension());
        case FileSortKey::Size:
            return CompareKeys(a.record->size, b.record->size);
        case FileSortKey::Date:
            return CompareKeys(ChosenTime(*a.record, dateTimeKind), ChosenTime(*b.record, dateTimeKind));
        default:
            return 0;
        }
    };
    std::sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
        if (a.record->isDirectory != b.record->isDirectory)
            return a.record->isDirectory != descending;
        int c = compareKey(a, b);
        if (c == 0)
            c = compareHeads(a.head, b.head, a.record->name, b.record->name);
        return (c != 0 ? c : a.record->name.compare(b.record->name)) < 0;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        entries[i] = keyed[i].record;
}

// Names folded at each comparison, without memory beyond the entries.
void SortFoldingAtEachComparison(std::vector<FileRecord*>& entries, FileSortKey sortBy, bool descending,
                                 TimeKind dateTimeKind) {
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

} // namespace

void SortEntries(std::vector<FileRecord*>& entries, FileSortKey sortBy, bool descending,
                 TimeKind dateTimeKind) {
    if (sortBy < FileSortKey::Name || sortBy > FileSortKey::Date)
        return;
    if (entries.size() <= kFoldedKeyLimit)
        SortByFoldedHeads(entries, sortBy, descending, dateTimeKind);
    else
        SortFoldingAtEachComparison(entries, sortBy, descending, dateTimeKind);
}

} // namespace quillary
