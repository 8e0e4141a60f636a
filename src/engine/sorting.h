// Listing order of directories and entries. Name comparisons ignore case; ties of the secondary keys
// fall back to the name. The sorts are not stable: entries that compare equal may come out in any order.
#pragma once

#include <vector>

#include "engine/records.h"
#include "listing/listing_options.h"

namespace quillary {

// Sorts ascending by the key; an unknown key leaves the order as it is.
void SortDirectories(std::vector<DirMapEntry*>& dirs, DirSortKey sortBy, TimeKind dateTimeKind);

// Subdirectory entries come before files when `descending` is false and after them when it is true, so
// that walking the result backwards for a descending listing still shows subdirectories first.
void SortEntries(std::vector<FileRecord*>& entries, FileSortKey sortBy, bool descending,
                 TimeKind dateTimeKind);

} // namespace quillary
