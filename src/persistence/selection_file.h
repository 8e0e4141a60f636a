// Folder selection files: one checked-dir entry per line, "3|path" (the folder with everything below
// it) or "2|path" (the folder alone); paths without a trailing separator, "3|" is the whole disk.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillary {

class FolderTree;

struct SelectionLine {
    std::string path;
    bool withSubdirs = true;
};

// The lines of a selection file (LF or CR LF). A code other than "2" means "with subfolders", and
// there a path of exactly "." is the current folder. Lines without "|" are ignored (an empty line must
// not select the whole disk).
std::vector<SelectionLine> ParseSelectionText(std::string_view text, const std::string& currentDirectory);

// Reads a selection file as text (UTF-8, or Windows-1252 when it is not valid UTF-8).
bool ReadSelectionText(const std::string& path, std::string& text);

// Writes the entries, one per line. False when the file cannot be written.
bool SaveSelection(const std::vector<std::string>& checkedDirs, const std::string& path);

// Restores every line of the file into the tree (which should be freshly refreshed: restoring toggles).
bool LoadSelection(FolderTree& tree, const std::string& path, const std::string& currentDirectory);

} // namespace quillary
