// What changed between two JSON Lines listings: the folders and files added, removed or changed (size,
// modification time, CRC when both listings have it). Entries are matched by their path below the
// listing's selected folder (by their full path when a listing has several), so that a tree can be
// compared with a copy of it elsewhere.
//
// Both listings are read as a merge in one order. A listing whose folders are in name order (the
// default: folder lines on, sorted by name ascending, not all together) is read one folder at a time,
// so memory holds only the largest folder; any other listing is read whole and sorted first.
#pragma once

#include <string>

#include "listing/listing_changes.h"

namespace quillary {

struct CompareOutcome {
    bool compared = false;
    std::string error; // why not: "cannot read 'x.jsonl': ...", "'x' is not a JSON Lines listing (line 3)"
    CompareTotals totals;
};

CompareOutcome CompareListings(const std::string& beforePath, const std::string& afterPath, ChangeSink& sink);

} // namespace quillary
