// Directory enumeration with sizes, times and attribute letters. Symbolic links are never followed:
// a link is reported as an entry of its own (not a directory), so a link loop cannot hang a scan.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <dirent.h>

namespace quillary {

struct EntryInfo {
    bool isDirectory = false;
    std::uint64_t size = 0;        // directories report 0
    std::int64_t creationTime = 0; // birth time where the file system has it, else status change
    std::int64_t lastAccessTime = 0;
    std::int64_t lastWriteTime = 0;
    char attributes[6] = "-----"; // r a h s c
};

enum class EntryKind { Directory, NotDirectory, Unknown };

// Reads one directory. Open, then Next until it returns false; Stat asks for the details of an entry
// by name through the open directory handle (cheaper than a full path).
class DirectoryReader {
public:
    DirectoryReader() = default;
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;

    // `path` is a directory path without a trailing separator; "" is the root.
    bool Open(const std::string& path);
    // The next entry other than "." and "..".
    bool Next(std::string_view& name, EntryKind& kind);
    bool Stat(const char* name, EntryInfo& info) const;
    // The error number that ended Open or Next early; 0 when the directory was read to its end.
    int Error() const { return m_error; }

private:
    DIR* m_dir = nullptr;
    int m_error = 0;
};

// The names of the subdirectories of a folder ("." and ".." excluded, hidden ones included, symbolic
// links not counted as subdirectories). False when the folder cannot be read.
bool ListSubdirectories(const std::string& path, std::vector<std::string>& names);

// Details of one path without following a final symbolic link. `path` "" is the root.
bool StatPath(const std::string& path, EntryInfo& info);

} // namespace quillary
