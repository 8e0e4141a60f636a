#include "platform/directory_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstring>

namespace quillary {

namespace {

constexpr unsigned kStatxMask =
    STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME | STATX_INO;
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

void FillInfo(const struct statx& st, std::string_view name, EntryInfo& info) {
    info.isDirectory = S_ISDIR(st.stx_mode);
    info.isRegular = S_ISREG(st.stx_mode);
    info.size = info.isDirectory ? 0 : st.stx_size;
    info.lastAccessTime = st.stx_atime.tv_sec;
    info.lastWriteTime = st.stx_mtime.tv_sec;
    constexpr unsigned kIdentity = STATX_INO | STATX_SIZE | STATX_MTIME | STATX_CTIME;
    info.identityKnown = (st.stx_mask & kIdentity) == kIdentity;
    info.device = static_cast<std::uint64_t>(makedev(st.stx_dev_major, st.stx_dev_minor));
    info.fileIndex = st.stx_ino;
    info.writeNanoseconds = st.stx_mtime.tv_nsec;
    info.changeSeconds = st.stx_ctime.tv_sec;
    info.changeNanoseconds = st.stx_ctime.tv_nsec;
    info.creationTime = (st.stx_mask & STATX_BTIME) ? st.stx_btime.tv_sec : st.stx_ctime.tv_sec;
    std::memcpy(info.attributes, "-----", 6);
    if (!(st.stx_mode & S_IWUSR))
        info.attributes[0] = 'r';
    if (!name.empty() && name.front() == '.')
        info.attributes[2] = 'h';
    if ((st.stx_attributes_mask & STATX_ATTR_COMPRESSED) && (st.stx_attributes & STATX_ATTR_COMPRESSED))
        info.attributes[4] = 'c';
}

std::string_view LastComponent(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Closes a descriptor on scope exit; AT_FDCWD and -1 are left alone.
struct DescriptorGuard {
    int fd;
    ~DescriptorGuard() {
        if (fd >= 0)
            close(fd);
    }
};

} // namespace

int OpenAnyPath(const std::string& path, int flags) {
    flags |= O_CLOEXEC;
    if (path.size() < PATH_MAX)
        return open(path.c_str(), flags);
    // Walk down in pieces shorter than the limit, each cut at a separator. O_PATH needs no read
    // permission on the folders passed through, only search permission, as a whole-path lookup.
    DescriptorGuard base{AT_FDCWD};
    std::size_t start = 0;
    if (path.front() == '/') {
        base.fd = open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (base.fd < 0)
            return -1;
        start = 1;
    }
    while (path.size() - start >= PATH_MAX) {
        const std::size_t cut = path.rfind('/', start + PATH_MAX - 1);
        if (cut == std::string::npos || cut < start) {
            errno = ENAMETOOLONG; // one name longer than the limit
            return -1;
        }
        if (cut > start) { // "//" gives an empty piece, which is skipped
            const int next =
                openat(base.fd, path.substr(start, cut - start).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            if (next < 0)
                return -1;
            const DescriptorGuard previous{base.fd};
            base.fd = next;
        }
        start = cut + 1;
    }
    return openat(base.fd, path.c_str() + start, flags);
}

DirectoryHandle::~DirectoryHandle() {
    Close();
}

bool DirectoryHandle::IsOpen() const {
    return m_fd >= 0;
}

int DirectoryHandle::Descriptor() const {
    return m_fd;
}

void DirectoryHandle::Close() {
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

bool DirectoryHandle::OpenPath(const std::string& path, bool followLink) {
    Close();
    m_fd = OpenAnyPath(path.empty() ? "/" : path, kFolderFlags | (followLink ? 0 : O_NOFOLLOW));
    m_error = m_fd >= 0 ? 0 : errno;
    return m_fd >= 0;
}

bool DirectoryHandle::OpenChild(const DirectoryHandle& parent, const char* name) {
    Close();
    m_fd = openat(parent.m_fd, name, kFolderFlags | O_NOFOLLOW);
    m_error = m_fd >= 0 ? 0 : errno;
    return m_fd >= 0;
}

bool DirectoryHandle::StatSelf(std::string_view name, EntryInfo& info) const {
    struct statx st {};
    if (m_fd < 0 || statx(m_fd, "", AT_EMPTY_PATH, kStatxMask, &st) != 0)
        return false;
    FillInfo(st, name, info);
    return true;
}

FolderIdentity DirectoryHandle::Identity() const {
    struct stat st {};
    if (m_fd < 0 || fstat(m_fd, &st) != 0)
        return {};
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), true};
}

int DirectoryHandle::StatEntry(const char* name, EntryInfo& info) const {
    if (m_fd < 0)
        return EBADF;
    struct statx st {};
    if (statx(m_fd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxMask, &st) != 0)
        return errno;
    FillInfo(st, name, info);
    return 0;
}

DirectoryReader::DirectoryReader() = default;

DirectoryReader::~DirectoryReader() = default;

bool DirectoryReader::Open(const std::string& path) {
    m_dir = nullptr;
    if (!m_owned.OpenPath(path)) {
        m_error = m_owned.Error();
        return false;
    }
    Start(m_owned);
    return true;
}

void DirectoryReader::Start(const DirectoryHandle& dir) {
    m_dir = &dir;
    m_used = m_next = 0;
    m_error = 0;
    if (!m_buffer)
        m_buffer.reset(new char[kBufferSize]);
}

bool DirectoryReader::Next(std::string_view& name, EntryKind& kind) {
    if (m_dir == nullptr)
        return false;
    for (;;) {
        if (m_next >= m_used) {
            const ssize_t got = getdents64(m_dir->Descriptor(), m_buffer.get(), kBufferSize);
            if (got <= 0) {
                m_error = got < 0 ? errno : 0;
                Finish();
                return false;
            }
            m_used = static_cast<std::size_t>(got);
            m_next = 0;
        }
        // The fields of one record are copied out rather than read through a cast of the buffer.
        const char* record = m_buffer.get() + m_next;
        unsigned short length = 0;
        unsigned char type = DT_UNKNOWN;
        std::memcpy(&length, record + offsetof(struct dirent64, d_reclen), sizeof length);
        std::memcpy(&type, record + offsetof(struct dirent64, d_type), sizeof type);
        m_next += length;
        const char* text = record + offsetof(struct dirent64, d_name);
        if (text[0] == '.' && (text[1] == '\0' || (text[1] == '.' && text[2] == '\0')))
            continue;
        name = text;
        kind = type == DT_DIR ? EntryKind::Directory
                              : (type == DT_UNKNOWN ? EntryKind::Unknown : EntryKind::NotDirectory);
        return true;
    }
}

void DirectoryReader::Finish() {
    m_dir = nullptr;
}

int DirectoryReader::StatEntry(const char* name, EntryInfo& info) const {
    return m_dir != nullptr ? m_dir->StatEntry(name, info) : EBADF;
}

bool ListSubdirectories(const std::string& path, std::vector<std::string>& names) {
    names.clear();
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder == "/")
        folder.clear();
    DirectoryReader reader;
    if (!reader.Open(folder))
        return false;
    std::string_view name;
    EntryKind kind;
    EntryInfo info;
    while (reader.Next(name, kind)) {
        if (kind == EntryKind::Directory ||
            (kind == EntryKind::Unknown && reader.StatEntry(name.data(), info) == 0 && info.isDirectory))
            names.emplace_back(name);
    }
    return true;
}

bool StatPath(const std::string& path, EntryInfo& info) {
    struct statx st {};
    const std::string_view name = LastComponent(path);
    int status = 0;
    if (path.size() < PATH_MAX) {
        status = statx(AT_FDCWD, path.empty() ? "/" : path.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                       kStatxMask, &st);
    } else {
        // Too long for one lookup: ask the parent folder, opened a piece at a time.
        const DescriptorGuard parent{OpenAnyPath(path.substr(0, path.size() - name.size()), O_PATH)};
        status = parent.fd < 0 ? -1
                               : statx(parent.fd, std::string(name).c_str(),
                                       AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxMask, &st);
    }
    if (status != 0)
        return false;
    FillInfo(st, name, info);
    return true;
}

} // namespace quillary
