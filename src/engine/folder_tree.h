// The scanned folders of a run as a tree: each record holds its own name and its parent, so that a
// folder costs the same memory however deep it lies. A root is a folder that was selected and not found
// below another scanned folder; its name is its whole path (no trailing separator; the POSIX root is "",
// a drive "c:"). The path of any other folder is its parent's path, the separator and its name.
//
// Records never move once made (entries point at their folder), and a folder's path leads to one record
// only: a scan that reaches a folder again refreshes its record in place.
//
// Threading: a scan changes the tree under its own lock; once the scan is over, the tree is only read.
#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "engine/records.h"
#include "platform/directory_reader.h"

namespace quillary {

class FolderTree {
public:
    using iterator = std::deque<DirRecord>::iterator;
    using const_iterator = std::deque<DirRecord>::const_iterator;

    DirRecord& AddRoot(const std::string& path);
    DirRecord& AddSubfolder(DirRecord& parent, std::string_view name);
    // Moves the root `root` into `parent`, named `name` (the last part of its path), with all below it.
    void MoveUnder(DirRecord& root, DirRecord& parent, std::string_view name);
    // Sorts the subfolders added since the last call, so that FindSubfolder finds them.
    static void SortSubfolders(DirRecord& dir);

    // The record of the folder at `path`, or null.
    DirRecord* Find(std::string_view path) const;
    // The same for a folder that must be there (throws std::out_of_range otherwise).
    const DirRecord& at(std::string_view path) const;
    // The roots whose paths lie below `path`.
    std::vector<DirRecord*> RootsBelow(std::string_view path) const;
    // The roots by path (byte order).
    const std::map<std::string, DirRecord*, std::less<>>& Roots() const { return m_roots; }

    std::size_t size() const { return m_records.size(); }
    bool empty() const { return m_records.empty(); }
    void clear();
    iterator begin() { return m_records.begin(); }
    iterator end() { return m_records.end(); }
    const_iterator begin() const { return m_records.begin(); }
    const_iterator end() const { return m_records.end(); }

private:
    std::deque<DirRecord> m_records;
    std::map<std::string, DirRecord*, std::less<>> m_roots;
};

// The subfolder of `dir` named `name` among those sorted, or null.
DirRecord* FindSubfolder(const DirRecord& dir, std::string_view name);

// The folder's path, made by walking up to its root.
std::string PathOf(const DirRecord& dir);

// The paths of folders asked for one after another, made in one buffer: the part a folder shares with
// the folder asked for before is kept, so a walk down a tree makes each path in steps of one name.
class FolderPath {
public:
    // Valid until the next call.
    const std::string& Of(const DirRecord& dir);

private:
    std::string m_path;
    std::vector<const DirRecord*> m_chain; // the folders whose paths m_path starts with, by depth
    std::vector<std::size_t> m_ends;       // where each of their paths ends in m_path
    std::vector<const DirRecord*> m_up;
};

// Opens scanned folders one after another, each from the nearest folder above it that is still open,
// one name at a time (never through a link), and checks that it is the folder the scan read: folders
// asked for in path order cost one open each, however deep they lie. A selected folder is opened by
// its path, as the scan opened it.
class FolderWalk {
public:
    // The open folder `dir`, valid until the next call; null when it cannot be opened (or is another
    // folder now).
    const DirectoryHandle* Open(const DirRecord& dir);

private:
    struct OpenFolder {
        const DirRecord* dir = nullptr;
        DirectoryHandle handle;
    };
    static constexpr std::size_t kOpenFolders = 64;
    std::deque<OpenFolder> m_open; // each inside the one before
    std::vector<const DirRecord*> m_down;
};

} // namespace quillary
