// Directory enumeration with sizes, times and attribute letters. Symbolic links are never followed:
// a link is reported as an entry of its own (not a directory), so a link loop cannot hang a scan.
//
// On POSIX, folders are opened relative to their parent's open handle, so a tree of any depth can be
// read: no path handed to the system grows with the depth of the tree. On Windows, an open folder is its
// path in the long form ("\\?\c:\..."), which has no practical length limit. There a reparse point that
// stands for another name (symbolic link, junction) is the counterpart of a symbolic link.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillary {

struct EntryInfo {
    bool isDirectory = false;
    bool isRegular = false;        // a regular file (not a link, FIFO, socket or device)
    std::uint64_t size = 0;        // directories report 0
    std::int64_t creationTime = 0; // birth time where the file system has it, else status change
    std::int64_t lastAccessTime = 0;
    std::int64_t lastWriteTime = 0;
    char attributes[6] = "-----"; // r a h s c
    // Which file this is, for the checksum cache (file_identity.h): known where the system tells it
    // with the entry's details (POSIX), else read when it is needed.
    bool identityKnown = false;
    std::uint64_t device = 0;
    std::uint64_t fileIndex = 0;
    std::int64_t writeNanoseconds = 0;
    std::int64_t changeSeconds = 0;
    std::int64_t changeNanoseconds = 0;
};

enum class EntryKind { Directory, NotDirectory, Unknown };

// What tells one folder from every other while it exists, whatever it is called: device and inode
// number (POSIX), volume serial number and file index (Windows). A folder renamed away and another put
// in its place has another identity.
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    bool known = false;

    bool operator==(const FolderIdentity&) const = default;
};

// An open folder, closed on destruction. Its entries are asked for by name relative to it, and its
// subfolders are opened relative to it.
class DirectoryHandle {
public:
    DirectoryHandle() = default;
    ~DirectoryHandle();
    DirectoryHandle(const DirectoryHandle&) = delete;
    DirectoryHandle& operator=(const DirectoryHandle&) = delete;

    // Opens a folder by its path; "" is the root (POSIX), "c:" the root of a drive (Windows). A final
    // symbolic link is followed only when `followLink` is set. A path longer than the system's limit is
    // opened a piece at a time.
    bool OpenPath(const std::string& path, bool followLink = true);
    // Opens the subfolder `name` of `parent`; a symbolic link is not followed (and fails).
    bool OpenChild(const DirectoryHandle& parent, const char* name);
    bool IsOpen() const;
    // The error number of the last failed open.
    int Error() const { return m_error; }
    // Details of the open folder itself; `name` is its own name (for the hidden letter).
    bool StatSelf(std::string_view name, EntryInfo& info) const;
    // Details of the entry `name` without following a link: 0, or the error number.
    int StatEntry(const char* name, EntryInfo& info) const;
    // The open folder's identity (not known when it is not open or the system does not tell).
    FolderIdentity Identity() const;

    // For the other bodies of the platform layer: what the system knows the open folder by.
#ifdef _WIN32
    const std::wstring& LongPath() const;
#else
    int Descriptor() const;
#endif

private:
    void Close();

#ifdef _WIN32
    bool Open(std::wstring path, bool followLink);

    std::wstring m_path; // long form, without a trailing backslash except for a drive root
    bool m_isRoot = false;
    bool m_open = false;
    FolderIdentity m_identity; // as the folder was when it was opened
#else
    int m_fd = -1;
#endif
    int m_error = 0;
};

// Reads the entries of one folder. Open (or Start on a handle of one's own), then Next until it
// returns false. The reader's buffer is kept from one folder to the next.
class DirectoryReader {
public:
    DirectoryReader();
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;

    // `path` is a directory path without a trailing separator, or a root key ("", "c:").
    bool Open(const std::string& path);
    // Reads the folder open in `dir`, which must stay open until the reading ends.
    void Start(const DirectoryHandle& dir);
    // The next entry other than "." and ".."; the name is NUL-terminated and valid until the next call.
    bool Next(std::string_view& name, EntryKind& kind);
    // Details of the entry `name` of the folder being read, like DirectoryHandle::StatEntry: 0, or the
    // error number. For the entry Next just returned this can be had without asking the system again
    // (on Windows the enumeration brings all of them).
    int StatEntry(const char* name, EntryInfo& info) const;
    // The error number that ended Open or Next early; 0 when the directory was read to its end.
    int Error() const { return m_error; }

private:
    void Finish();

    DirectoryHandle m_owned; // the folder Open opened
    const DirectoryHandle* m_dir = nullptr;
#ifdef _WIN32
    struct FindData;
    void* m_find = nullptr;            // the search, once started
    std::unique_ptr<FindData> m_found; // what the system told of the entry Next returned last
    std::string m_name;                // its name in UTF-8
    bool m_haveEntry = false;
#else
    static constexpr std::size_t kBufferSize = 32768;

    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0; // bytes of entries in the buffer
    std::size_t m_next = 0; // where the next entry starts
#endif
    int m_error = 0;
};

#ifndef _WIN32
// POSIX only: opens a path like open(2) with the given flags (close-on-exec added). A path longer than
// the system's limit is opened a piece at a time, each piece relative to the folder before it. Returns
// the descriptor, or -1 with errno set.
int OpenAnyPath(const std::string& path, int flags);
#endif

// The names of the subdirectories of a folder ("." and ".." excluded, hidden ones included, symbolic
// links not counted as subdirectories). False when the folder cannot be read.
bool ListSubdirectories(const std::string& path, std::vector<std::string>& names);

// Details of one path without following a final symbolic link. `path` "" is the root (POSIX); on
// Windows a drive root "c:" has no details of its own: its times are 0 and its attributes "----"
// followed by "c" when its volume reports case-sensitive search (file-system flag 0x1), else "-".
bool StatPath(const std::string& path, EntryInfo& info);

} // namespace quillary
