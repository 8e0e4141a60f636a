// A regular file opened for reading its contents: a symbolic link (on Windows a reparse point standing for
// another name) is not followed unless asked for, and a FIFO, device or socket is refused without
// blocking, so that nothing but a regular file's own bytes is ever read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file_identity.h"

namespace quillary {

class DirectoryHandle;

// What tells one version of a file's contents from another.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t lastWriteSeconds = 0;
    long lastWriteNanoseconds = 0;

    bool operator==(const FileStamp&) const = default;
};

class RegularFile {
public:
    enum class OpenResult {
        Opened,
        NotRegular, // a link (unless followed), folder, FIFO, device or socket
        Failed,     // LastError says why
    };

    RegularFile() = default;
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // Opens a path of any length; `stamp` receives the opened file's size and last-write time. With
    // `followLink` a final symbolic link is followed to the file it names.
    OpenResult Open(const std::string& path, FileStamp& stamp, bool followLink = false);
    // Opens the file `name` in an open folder (a shorter lookup than the whole path).
    OpenResult OpenIn(const DirectoryHandle& folder, const char* name, FileStamp& stamp);
    // The open file's current size and last-write time; false (LastError set) on failure. With
    // `identity`, also the open file's identity (file_identity.h), from the same look where the system
    // tells it all at once.
    bool Stamp(FileStamp& stamp, FileIdentity* identity = nullptr);
    // Bytes read (0 at the end), or -1 on an error (LastError set).
    long long Read(void* buffer, std::size_t size);
    // Reads `size` bytes at `offset`: the count read, fewer only at the end of the file, or -1 on an
    // error (LastError set). Where Read goes on afterwards differs between systems: use one or the other.
    long long ReadAt(std::uint64_t offset, void* buffer, std::size_t size);
    int LastError() const { return m_error; }

private:
    void Close();
#ifdef _WIN32
    OpenResult OpenSystemPath(const std::wstring& path, FileStamp& stamp, bool followLink);

    void* m_handle = nullptr;
#else
    OpenResult Check(FileStamp& stamp);

    int m_fd = -1;
#endif
    int m_error = 0;
};

} // namespace quillary
