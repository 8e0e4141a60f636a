// How paths are written: the separator, the keys of the root folders and the drive part of a path.
//
// A folder's key is its path without a trailing separator, and a child's key is always the parent's key,
// the separator and the child's name. POSIX has one root folder, shown as "/", whose key is "" (so its
// child is "" + "/" + "home"). Windows has one root per drive, shown and keyed as the lower-case letter
// and a colon without a backslash ("c:"), so its child is "c:" + "\" + "Data". Network paths
// ("\\server\share\folder") are used as they are written.
//
// Both syntaxes are plain values, so the rules of either can be checked on any system; the program
// itself uses kNativePaths.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillary {

struct PathSyntax {
    char separator = '/';
    bool driveLetters = false;      // roots are drives "a:" to "z:"; "/" is read as a separator too
    bool leadingDotIsHidden = true; // a name's leading "." marks it hidden and starts no extension

    bool IsSeparator(char c) const { return c == separator || (driveLetters && c == '/'); }
    // True for the key of a root folder: "" (POSIX) or a drive "x:" in either case (Windows).
    bool IsRootKey(std::string_view key) const;
    // The key of the root folder a tree item shows as `text`: "/" gives "", "C:" gives "c:". "" when
    // the text names no root.
    std::string RootKeyFromText(std::string_view text) const;
    // The length of the drive part of a path ("c:" in "c:\Data": 2); 0 without one (POSIX, network
    // paths). The "No drive" path style removes it.
    std::size_t DrivePartLength(std::string_view path) const;
    // The length of the "\\server\share" that starts a network path (Windows only); 0 for any other
    // path. A network share is a root folder of its own, keyed as it is written.
    std::size_t NetworkRootLength(std::string_view path) const;
    // True for a path that does not depend on the current folder or drive.
    bool IsAbsolute(std::string_view path) const;
    // Where the first separator of `path` at or after `from` is; npos without one.
    std::size_t FindSeparator(std::string_view path, std::size_t from = 0) const;
    // Where the last separator of `path` is; npos without one.
    std::size_t FindLastSeparator(std::string_view path) const;
    // Where the extension of the file name `name` starts (just after its last "."); npos without one.
    // POSIX: ".profile" has none (a leading dot marks a hidden name) and ".profile.bak" has "bak";
    // Windows splits every name at its last dot (".gitignore" has the extension "gitignore").
    std::size_t ExtensionStart(std::string_view name) const;
    // A folder's key as a user sees it alone: the root's key "" is shown as "/".
    std::string Showable(const std::string& key) const;
    // True for a name that a file in a folder can have, so that writing to the folder's path, the
    // separator and `name` creates that file in that folder and nowhere else: not empty, not "." or
    // "..", no NUL byte (the system would stop reading the name there) and no separator. With drive
    // letters (Windows) also no control character, none of < > : " | ? * (a ":" names a stream of
    // another file), no trailing dot or space (the system drops them) and no device name (CON, NUL,
    // COM1, ... with or without an extension).
    bool CanNameFile(std::string_view name) const;
    // True for a path that can only name a folder: it ends in a separator, in "." or "..", or (with
    // drive letters) is a drive alone ("c:").
    bool NamesOnlyFolder(std::string_view path) const;
};

inline constexpr PathSyntax kPosixPaths{'/', false, true};
inline constexpr PathSyntax kWindowsPaths{'\\', true, false};
#ifdef _WIN32
inline constexpr PathSyntax kNativePaths = kWindowsPaths;
#else
inline constexpr PathSyntax kNativePaths = kPosixPaths;
#endif
inline constexpr char kPathSeparator = kNativePaths.separator;

// A root folder of this machine, as the folder tree shows it.
struct RootFolder {
    std::string text;        // "/" or "c:"
    bool readAtStart = true; // false for the drives a: and b:, so that floppy drives are not touched
};

// The root folders of this machine in tree order: "/" alone on POSIX; on Windows every drive there is,
// "a:" to "z:".
std::vector<RootFolder> RootFolders();

} // namespace quillary
