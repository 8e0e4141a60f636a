// Folder selection files: one checked-dir entry per line, "3|path" (the folder with everything below
// it) or "2|path" (the folder alone), paths without a trailing separator; "3|" is the whole disk.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillary {

class DirTreeAccess;

struct SelectionLine {
    std::string path; // UTF-8: a line that is not valid UTF-8 is read as Windows-1252
    bool withSubdirs = true;
    std::string rawPath; // the path's own bytes when the line was not valid UTF-8, else empty
};

// Reads the bytes of a selection file. False when it cannot be read (missing, a folder, not a regular
// file, or implausibly large).
bool ReadSelectionText(const std::string& path, std::string& bytes);

// The entries of a selection file, lines ended by LF or CR LF. Each line is split at its first "|"
// into code and path; a code other than "2" means "with subfolders", and there a path of exactly "."
// is `currentDirectory`. A line without "|" (an empty one too) is skipped: with the root's key being
// "", it would otherwise select the whole disk.
std::vector<SelectionLine> ParseSelectionText(std::string_view bytes, const std::string& currentDirectory);

// Restores one entry into the tree (RestoreCheck). A line that was not valid UTF-8 may have been
// written from a folder name that is not UTF-8 itself: when the converted path is not in the tree, its
// raw bytes are tried. False when neither is found.
bool RestoreSelectionLine(DirTreeAccess& tree, const SelectionLine& line);

// Writes the entries one per line (LF). An entry containing CR or LF cannot be stored in a line and is
// left out. False when the file cannot be written or an entry was left out.
bool SaveSelection(const std::vector<std::string>& checkedDirs, const std::string& path);
// Collects the tree's checked folders and writes them.
bool SaveSelection(const DirTreeAccess& tree, const std::string& path);

// Restores every entry of the file into the tree, in file order. Restoring toggles, so the tree should
// be freshly refreshed; loading adds to what is checked. False when the file cannot be read.
bool LoadSelection(DirTreeAccess& tree, const std::string& path, const std::string& currentDirectory);

} // namespace quillary
