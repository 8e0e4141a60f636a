// The per-system steps OutputFile (file_io.h) is written over: what is at a path, the ways of opening
// a file for writing, and putting a new file in an old one's place. The rules that choose between them
// (what is replaced, what is written directly, what is refused) are written once, in file_io.cpp;
// file_io_posix.cpp and file_io_win32.cpp implement only these steps.
//
// Every step that names an entry names it in a held folder (held_folder.h), so that it reaches that
// very folder however its path has changed since it was opened.
//
// Every step reports a failure as an error number (errno value), on Windows translated from the
// system's code, so that the rules speak about errors the same way on both systems.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/held_folder.h"

namespace quillary::output_system {

// A file's identity: its device (volume) and its number on it.
struct FileId {
    std::uint64_t device = 0, index = 0;

    bool operator==(const FileId&) const = default;
};

enum class NodeKind {
    Missing,
    Regular,
    Link, // a symbolic link (on Windows any reparse point that is no folder's own)
    Directory,
    Special, // a device, FIFO or socket
};

// What is at a path, without following a final link.
struct Node {
    NodeKind kind = NodeKind::Missing;
    bool haveId = false;
    FileId id;
    // Windows never replaces a read-only file; POSIX asks only the folder.
    bool neverReplaced = false;
    // What a replacement takes over from the file: the permission bits, owner and group (POSIX) or
    // the attributes (Windows).
    std::uint32_t mode = 0, owner = 0, group = 0;
};

// How a file is opened to be written where it is.
enum class DirectMode {
    Follow,      // through a link; a device, or a file created or emptied
    RegularOnly, // only an existing regular file, never through a link, emptied
    Device,      // a Windows device name ("nul", "\\.\COM1"), as the system maps it
};

// True when text files end their lines with "\r\n".
#ifdef _WIN32
inline constexpr bool kCrLfLineEnds = true;
#else
inline constexpr bool kCrLfLineEnds = false;
#endif

// True when two names in one folder name the same entry (Windows ignores case).
bool SameName(const std::string& a, const std::string& b);
// True for a name that Windows reads as a device in every folder (also "\\.\" paths); never on POSIX.
bool IsDevicePath(const std::string& path);
// Ten letters or digits from the system's random source: a name nobody can guess or prepare.
std::string RandomSuffix();

// 0 with `node` filled (kind Missing for a name that is not there), or the error number.
int LookAt(const HeldFolder& folder, const std::string& name, Node& node);

// Standard output, made ready for bytes written as they are.
std::FILE* StandardOutput();
// Opens `name` in `folder` where it is; with no folder (a Windows device) `name` is the whole path. On
// failure null with `error` set; or null with `refusal` set (and error 0) when RegularOnly finds
// something else there. `id` receives the identity of the file written.
std::FILE* OpenDirect(const HeldFolder* folder, const std::string& name, DirectMode mode, int& error,
                      const char*& refusal, bool& haveId, FileId& id);
// A new file without a name in `folder`, where the system can make one; null with `error` otherwise
// (EOPNOTSUPP where it has none).
std::FILE* CreateNameless(const HeldFolder& folder, int& error);
// A new hidden file `name` in `folder`, created only when nothing is there (EEXIST otherwise).
std::FILE* CreateExclusive(const HeldFolder& folder, const std::string& name, int& error);
// Gives a file made by CreateNameless the name `name`; EEXIST when the name is taken.
int LinkNameless(std::FILE* file, const HeldFolder& folder, const std::string& name);
// Steps that make a new file take over `old`'s permissions or attributes: PrepareNewFile as soon as it
// is made (`ownerToo` also its owner, where the run may), FinishNewFile when it is complete and closed.
void PrepareNewFile(std::FILE* file, const Node& old, bool ownerToo);
int FinishNewFile(const HeldFolder& folder, const std::string& name, const Node* old);
// Makes the written contents reach the disk; 0 or the error number.
int SyncToDisk(std::FILE* file);
// Puts the file `from` in the place of `to`, both in `folder` (replacing it); `sync` waits until that
// is on the disk.
int Replace(const HeldFolder& folder, const std::string& from, const std::string& to, bool sync);
void Remove(const HeldFolder& folder, const std::string& name);

} // namespace quillary::output_system
