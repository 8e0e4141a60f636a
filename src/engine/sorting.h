// Listing order of directories and entries. Name comparisons ignore case, and names that differ only
// in case are ordered by their bytes, so every order is fully defined (a comparison of two listings
// relies on it); ties of the secondary keys fall back to the name.
#pragma once

#include <string_view>
#include <vector>

#include "engine/records.h"
#include "listing/listing_options.h"

namespace quillary {

// <0, 0 or >0: names ignoring case, then by their bytes.
int CompareNames(std::string_view a, std::string_view b);

// Sorts ascending by the key; an unknown key leaves the order as it is.
void SortDirectories(std::vector<DirMapEntry*>& dirs, DirSortKey sortBy, TimeKind dateTimeKind);

// Subdirectory entries come before files when `descending` is false and after them when it is true, so
// that walking the result backwards for a descending listing still shows subdirectories first.
void SortEntries(std::vector<FileRecord*>& entries, FileSortKey sortBy, bool descending,
                 TimeKind dateTimeKind);

} // namespace quillary
