// The canonical form of a folder a user names: absolute, with symbolic links, "." and ".." resolved,
// so that the folder listed is the one the user meant, whatever way it was written. On Windows the drive
// letter is in lower case, and a folder on a drive mapped to a network share stays on that drive.
#pragma once

#include <string>

namespace quillary {

struct CanonicalPathResult {
    std::string path;             // no trailing separator; the root is "/", a drive's root "c:"
    int error = 0;                // errno when the path could not be resolved, else 0
    bool noCurrentFolder = false; // the path is relative and the current folder itself is gone
    explicit operator bool() const { return error == 0; }
};

// Resolves the path against the file system; a relative path is taken from the current folder. A path
// that does not exist, has a NUL byte or runs through something that is not a folder gives its error.
// A current folder that cannot be resolved (it was deleted) is an error of its own: "." must never
// turn into the root.
CanonicalPathResult CanonicalPath(const std::string& path);

} // namespace quillary
