#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/directory_reader.h"
#include "platform/file_io.h"

namespace quillary {

namespace {
constexpr off_t kLargeFile = 4 << 20;
// O_NONBLOCK: opening a FIFO without a writer must not wait for one.
constexpr int kFlags = O_RDONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
} // namespace

RegularFile::~RegularFile() {
    Close();
}

void RegularFile::Close() {
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

namespace {

void FillStamp(const struct stat& st, FileStamp& stamp) {
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.lastWriteSeconds = st.st_mtim.tv_sec;
    stamp.lastWriteNanoseconds = st.st_mtim.tv_nsec;
}

} // namespace

RegularFile::OpenResult RegularFile::Open(const std::string& path, FileStamp& stamp, bool followLink) {
    Close();
    m_fd = OpenAnyPath(path, followLink ? kFlags & ~O_NOFOLLOW : kFlags);
    return Check(stamp);
}

RegularFile::OpenResult RegularFile::OpenIn(const DirectoryHandle& folder, const char* name,
                                            FileStamp& stamp) {
    Close();
    m_fd = openat(folder.Descriptor(), name, kFlags | O_CLOEXEC);
    return Check(stamp);
}

RegularFile::OpenResult RegularFile::Check(FileStamp& stamp) {
    m_error = 0;
    if (m_fd < 0) {
        m_error = errno;
        // ELOOP: the name is a symbolic link; ENXIO: a socket.
        return (m_error == ELOOP || m_error == ENXIO) ? OpenResult::NotRegular : OpenResult::Failed;
    }
    struct stat st {};
    if (fstat(m_fd, &st) != 0) {
        m_error = errno;
        return OpenResult::Failed;
    }
    if (!S_ISREG(st.st_mode))
        return OpenResult::NotRegular;
    FillStamp(st, stamp);
    if (st.st_size > kLargeFile) // for a small file the hint would cost more than it saves
        posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return OpenResult::Opened;
}

bool RegularFile::Stamp(FileStamp& stamp, FileIdentity* identity) {
    struct stat st {};
    if (m_fd < 0 || fstat(m_fd, &st) != 0) {
        m_error = m_fd < 0 ? EBADF : errno;
        return false;
    }
    FillStamp(st, stamp);
    if (identity != nullptr && !FileIdentityOf(st, *identity))
        *identity = FileIdentity{}; // matches no file the scan saw
    return true;
}

long long RegularFile::Read(void* buffer, std::size_t size) {
    return m_fd < 0 ? -1 : ReadRetrying(m_fd, buffer, size, m_error);
}

long long RegularFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (m_fd < 0) {
        m_error = EBADF;
        return -1;
    }
    auto* dest = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = pread(m_fd, dest + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            m_error = errno;
            return -1;
        }
        if (got == 0)
            break; // the end of the file
        done += static_cast<std::size_t>(got);
    }
    return static_cast<long long>(done);
}

} // namespace quillary
