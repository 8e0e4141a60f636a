// Listing order of directories and entries. Name comparisons ignore case, and names that differ only
// in case are ordered by their bytes, so every order is fully defined (a comparison of two listings
// relies on it); ties of the secondary keys fall back to the name (for directories, the whole path).
#pragma once

#include <string_view>
#include <vector>

#include "engine/folder_tree.h"
#include "engine/records.h"
#include "listing/listing_options.h"

namespace quillary {

// <0, 0 or >0: names ignoring case, then by their bytes.
int CompareNames(std::string_view a, std::string_view b);

// Every folder of the tree in the order of its whole path: by CompareNames when `ignoreCase`, otherwise
// by bytes. The order is worked out from the names a level at a time, never from whole paths, except
// between the folders of different roots.
std::vector<DirRecord*> FoldersByPath(const FolderTree& tree, bool ignoreCase);

// Every folder of the tree, ascending by the key, ties by path (CompareNames); an unknown key gives them
// by path in byte order.
std::vector<DirRecord*> SortedFolders(const FolderTree& tree, DirSortKey sortBy, TimeKind dateTimeKind);

// Subdirectory entries come before files when `descending` is false and after them when it is true, so
// that walking the result backwards for a descending listing still shows subdirectories first.
void SortEntries(std::vector<FileRecord*>& entries, FileSortKey sortBy, bool descending,
                 TimeKind dateTimeKind);

} // namespace quillary
