// What tells one version of a file from every other: the file itself (device and inode number; on
// Windows volume serial number and file index), its size, and its last-write and change times to the
// nanosecond (the change time moves with every write, rename into place or change of the file's
// details, even where the last-write time was set back). Two equal identities are the same contents.
#pragma once

#include <cstdint>
#include <string>

#ifdef _WIN32
struct _BY_HANDLE_FILE_INFORMATION;
#else
struct stat;
#endif

namespace quillary {

class DirectoryHandle;

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    std::uint64_t size = 0;
    std::int64_t writeSeconds = 0; // since 1970, as the listing shows it
    std::int64_t writeNanoseconds = 0;
    std::int64_t changeSeconds = 0; // the system's own count; only compared
    std::int64_t changeNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;
};

// The identity of the regular file `name` in an open folder, or of the one at `path`, without following
// a symbolic link; false when it cannot be read or is not a regular file.
bool ReadFileIdentity(const DirectoryHandle& folder, const char* name, FileIdentity& identity);
bool ReadFileIdentity(const std::string& path, FileIdentity& identity);

// For the other bodies of the platform layer: the identity of an open file from the details the system
// told of it; false when it is not a regular file.
#ifdef _WIN32
bool FileIdentityOf(void* handle, const _BY_HANDLE_FILE_INFORMATION& information, FileIdentity& identity);
#else
bool FileIdentityOf(const struct stat& details, FileIdentity& identity);
#endif

} // namespace quillary
