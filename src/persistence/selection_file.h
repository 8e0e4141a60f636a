// Folder selections: selection files, one checked-dir entry per line, "3|path" (the folder with
// everything below it) or "2|path" (the folder alone), paths without a trailing separator, "3|" the
// whole disk ("3|c:" a whole drive on Windows); and folders named on a command line. Both are restored into a
// directory tree through the tri-state rules, and what could not be restored is returned as data for the
// caller to report.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canonical_path.h"

namespace quillary {

class DirTreeAccess;

struct SelectionLine {
    std::size_t number = 0; // 1-based line number in the file
    std::string path;       // as text: UTF-8; a line that is not valid UTF-8 is read as Windows-1252
    std::string rawPath;    // the path's own bytes when the line was not valid UTF-8, else empty
    bool withSubdirs = true;
};

// A line or folder that was not restored, or a selection line that was ignored.
struct RestoreIssue {
    enum class Kind {
        NotFound, // the folder is not in the tree (missing, not a folder, or not readable on the way)
        Ignored,  // a selection line that is not an entry: no "|", or a code other than "2" and "3"
    };
    Kind kind = Kind::NotFound;
    std::size_t line = 0; // 1-based line of the selection file; 0 for a folder named on a command line
    std::string text;     // the path (for an ignored line the whole line), as UTF-8 text
    std::string reason;   // the system's reason when there is one ("No such file or directory"), else ""
};

struct RestoreReport {
    bool fileRead = true; // false when the selection file could not be read: nothing was restored
    // Not empty when the selection cannot be restored as it is meant: a "." or relative path while the
    // current folder is gone. The caller lists nothing and reports it as an error.
    std::string error;
    std::vector<RestoreIssue> issues; // in the order of the lines or folders
};

struct ParsedSelection {
    std::vector<SelectionLine> lines;
    std::vector<RestoreIssue> ignored; // Kind::Ignored, in line order
};

// Turns a path that is relative or has "." or ".." components into the folder it names on disk
// (CanonicalPath); tests and fuzzing pass one that does not touch the disk.
using PathResolver = std::function<CanonicalPathResult(const std::string& path)>;

// Reads the bytes of a selection file. False when it cannot be read (missing, a folder, not a regular
// file, or implausibly large).
bool ReadSelectionText(const std::string& path, std::string& bytes);

// The entries of a selection file, lines ended by LF or CR LF, encoding decided line by line. Each
// line is split at its first "|" into code and path; code "3" is a folder with its subfolders, "2" a
// folder alone. The program writes no other codes: a line with another code, or a non-empty line
// without "|", is ignored (it must not become the whole disk, whose key is ""). Empty lines are skipped.
ParsedSelection ParseSelectionText(std::string_view bytes);

// Restores one entry into the tree (RestoreCheck: a repeated entry toggles back). A path that is
// relative or has "." or ".." components ("." is the current folder) is first resolved on disk. A
// line that was not valid UTF-8 names its folder by its bytes, which are tried first; the Windows-1252
// reading is tried next (a file written on Windows for a folder whose name is UTF-8 on this disk).
// What could not be restored is added to the report.
void RestoreSelectionLine(DirTreeAccess& tree, const SelectionLine& line, RestoreReport& report,
                          const PathResolver& resolve = CanonicalPath);

// Restores every entry of a selection file into the tree, in file order. Restoring toggles, so the
// tree should be freshly refreshed; loading adds to what is checked. The report lists the lines that
// were ignored or not found; `fileRead` is false when the file cannot be read.
RestoreReport LoadSelection(DirTreeAccess& tree, const std::string& path,
                            const PathResolver& resolve = CanonicalPath);

// Checks each folder with its subfolders (CheckWithSubdirs, never a toggle): a folder named twice is
// listed once, and a folder inside another named folder stays checked. Each is made canonical first
// (absolute, symbolic links, "." and ".." resolved), so that the folder the user named is the one
// found. The report lists the folders that could not be found.
RestoreReport CheckFolders(DirTreeAccess& tree, const std::vector<std::string>& folders,
                           const PathResolver& resolve = CanonicalPath);

// Writes the entries one per line (LF). An entry containing CR or LF cannot be stored in a line and is
// left out. False when the file cannot be written or an entry was left out.
bool SaveSelection(const std::vector<std::string>& checkedDirs, const std::string& path);
// Collects the tree's checked folders and writes them.
bool SaveSelection(const DirTreeAccess& tree, const std::string& path);

} // namespace quillary
