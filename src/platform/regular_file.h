// A regular file opened for reading its contents: a symbolic link is not followed, and a FIFO, device
// or socket is refused without blocking, so that nothing but a regular file's own bytes is ever read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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
        NotRegular, // a link, folder, FIFO, device or socket
        Failed,     // LastError says why
    };

    RegularFile() = default;
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // Opens a path of any length; `stamp` receives the opened file's size and last-write time.
    OpenResult Open(const std::string& path, FileStamp& stamp);
    // Opens the file `name` in an open folder (a shorter lookup than the whole path).
    OpenResult OpenIn(const DirectoryHandle& folder, const char* name, FileStamp& stamp);
    // The open file's current size and last-write time; false (LastError set) on failure.
    bool Stamp(FileStamp& stamp);
    // Bytes read (0 at the end), or -1 on an error (LastError set).
    long long Read(void* buffer, std::size_t size);
    int LastError() const { return m_error; }

private:
    OpenResult Check(FileStamp& stamp);

    int m_fd = -1;
    int m_error = 0;
};

} // namespace quillary
