#include "platform/file_io.h"

#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quillary {

namespace {

// The folder part of a path ("." for a bare name, "/" for a name in the root).
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Ten letters or digits from the system's random source: a name nobody can guess or prepare.
std::string RandomSuffix() {
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[10];
    if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        std::random_device device;
        for (unsigned char& byte : bytes)
            byte = static_cast<unsigned char>(device());
    }
    std::string suffix;
    for (const unsigned char byte : bytes)
        suffix += kLetters[byte % (sizeof kLetters - 1)];
    return suffix;
}

// The name through which an open file without a name of its own can be linked into a folder.
std::string ProcFdPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

constexpr const char* kLinkInPlace = "a symbolic link is in its place";
constexpr const char* kNotRegular = "it is not a regular file";

} // namespace

struct OutputFile::OldFile {
    struct stat st;
};

OutputFile::~OutputFile() {
    Discard();
}

bool OutputFile::Fail(int error) {
    m_error = ErrorText(error);
    return false;
}

bool OutputFile::Open(const std::string& path, OutputTarget target) {
    Discard();
    m_failed = m_refused = false;
    m_error.clear();
    m_path = path;
    m_sync = target == OutputTarget::AnyFile;
    m_haveTarget = false;
    m_folderDevice = m_folderInode = 0;
    if (path == "-") {
        m_file = stdout;
        m_ownsFile = false;
        std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
        return true;
    }
    struct stat folder {};
    if (stat(FolderOf(path).c_str(), &folder) == 0) {
        m_folderDevice = folder.st_dev;
        m_folderInode = folder.st_ino;
    }
    OldFile old{};
    if (lstat(path.c_str(), &old.st) != 0) {
        if (errno != ENOENT)
            return Fail(errno);
        return OpenReplacement(path, nullptr, target);
    }
    m_haveTarget = true;
    m_targetDevice = old.st.st_dev;
    m_targetInode = old.st.st_ino;
    if (S_ISREG(old.st.st_mode))
        return OpenReplacement(path, &old, target);
    if (target == OutputTarget::RegularFileOnly) {
        m_error = S_ISLNK(old.st.st_mode) ? kLinkInPlace : kNotRegular;
        m_refused = true;
        return false;
    }
    // A device, FIFO, socket or link is written as it is (a directory fails here).
    return OpenDirect(path, O_WRONLY | O_CREAT | O_TRUNC);
}

bool OutputFile::OpenDirect(const std::string& path, int flags) {
    const int fd = open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0 && errno == ELOOP && (flags & O_NOFOLLOW)) {
        m_error = kLinkInPlace;
        m_refused = true;
        return false;
    }
    if (fd < 0)
        return Fail(errno);
    if (flags & O_NONBLOCK) {
        struct stat st {};
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ftruncate(fd, 0) != 0 ||
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
            const int error = S_ISREG(st.st_mode) ? errno : 0;
            close(fd);
            if (error == 0) {
                m_error = kNotRegular;
                m_refused = true;
            }
            return error == 0 ? false : Fail(error);
        }
    }
    m_file = fdopen(fd, "wb");
    if (m_file == nullptr) {
        const int error = errno;
        close(fd);
        return Fail(error);
    }
    m_ownsFile = true;
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
    // The file really written (through a link, or in place).
    struct stat written {};
    if (fstat(fd, &written) == 0) {
        m_haveTarget = true;
        m_targetDevice = written.st_dev;
        m_targetInode = written.st_ino;
    }
    return true;
}

int OutputFile::CreateNamedTemporary() {
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        m_tempPath = m_tempStem + RandomSuffix();
        fd = open(m_tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        m_tempPath.clear();
    return fd;
}

bool OutputFile::OpenReplacement(const std::string& path, const OldFile* old, OutputTarget target) {
    const std::string folder = FolderOf(path);
    // The name is shortened so that the temporary name is never too long where the name itself fits.
    m_tempStem = (folder == "/" ? "" : folder) + "/." + NameOf(path).substr(0, 200) + ".";
    // A file without a name, where the file system has them: a scan of the folder never sees it, and
    // a killed run leaves nothing behind. It gets its name at the end, through /proc.
    int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0 && access(ProcFdPath(fd).c_str(), F_OK) != 0) {
        close(fd);
        fd = -1;
    }
    m_anonymous = fd >= 0;
    if (fd < 0 && errno != EACCES && errno != EPERM)
        fd = CreateNamedTemporary();
    if (fd < 0) {
        const int error = errno;
        m_tempPath.clear();
        // A writable file in a folder where no new file can be made is written in place, as before.
        if (old != nullptr && (error == EACCES || error == EPERM)) {
            const int safety = target == OutputTarget::RegularFileOnly ? O_NOFOLLOW | O_NONBLOCK : O_TRUNC;
            return OpenDirect(path, O_WRONLY | safety);
        }
        return Fail(error);
    }
    if (old != nullptr) {
        // The listing that replaces a file keeps its permissions (and, for a run as root, its owner).
        if (target == OutputTarget::AnyFile && old->st.st_uid != geteuid())
            (void)!fchown(fd, old->st.st_uid, old->st.st_gid);
        fchmod(fd, old->st.st_mode & 0777);
    }
    m_file = fdopen(fd, "wb");
    if (m_file == nullptr) {
        const int error = errno;
        close(fd);
        Discard();
        return Fail(error);
    }
    m_ownsFile = true;
    m_replace = true;
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
    return true;
}

bool OutputFile::LinkAnonymous() {
    const std::string source = ProcFdPath(fileno(m_file));
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_tempPath = m_tempStem + RandomSuffix();
        if (linkat(AT_FDCWD, source.c_str(), AT_FDCWD, m_tempPath.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    m_tempPath.clear();
    return false;
}

void OutputFile::Write(std::string_view text) {
    if (m_file != nullptr && !text.empty() &&
        std::fwrite(text.data(), 1, text.size(), m_file) != text.size()) {
        if (!m_failed)
            m_error = ErrorText(errno);
        m_failed = true;
    }
}

bool OutputFile::Close() {
    if (m_file == nullptr)
        return !m_failed;
    auto failed = [this](int error) {
        if (!m_failed)
            m_error = ErrorText(error);
        m_failed = true;
    };
    if (std::fflush(m_file) != 0)
        failed(errno);
    // The main file's new contents reach the disk before its name replaces the old one, so that not
    // even a system crash loses both. Per-folder listings skip this: thousands of waits would slow a
    // run down, and a killed run leaves their old files anyway.
    if (m_sync && m_replace && !m_failed && fsync(fileno(m_file)) != 0)
        failed(errno);
    if (m_replace && m_anonymous && !m_failed && !LinkAnonymous())
        failed(errno);
    if (m_ownsFile && std::fclose(m_file) != 0)
        failed(errno);
    m_file = nullptr;
    if (m_replace) {
        if (!m_failed && rename(m_tempPath.c_str(), m_path.c_str()) != 0)
            failed(errno);
        if (m_failed && !m_tempPath.empty())
            unlink(m_tempPath.c_str());
        m_tempPath.clear();
        m_replace = false;
    }
    return !m_failed;
}

void OutputFile::Discard() {
    if (m_file != nullptr && m_ownsFile)
        std::fclose(m_file);
    else if (m_file != nullptr)
        std::fflush(m_file);
    m_file = nullptr;
    if (!m_tempPath.empty())
        unlink(m_tempPath.c_str());
    m_tempPath.clear();
    m_replace = m_anonymous = false;
}

bool OutputFile::IsSameFile(const std::string& path) const {
    if (m_path.empty() || m_path == "-")
        return false;
    struct stat st {};
    if (m_haveTarget && lstat(path.c_str(), &st) == 0 && st.st_dev == m_targetDevice &&
        st.st_ino == m_targetInode)
        return true;
    return NameOf(path) == NameOf(m_path) && stat(FolderOf(path).c_str(), &st) == 0 &&
           st.st_dev == m_folderDevice && st.st_ino == m_folderInode;
}

bool OutputFile::IsTemporaryFile(const std::string& path) const {
    struct stat st {};
    return !m_tempPath.empty() && NameOf(path) == NameOf(m_tempPath) &&
           stat(FolderOf(path).c_str(), &st) == 0 && st.st_dev == m_folderDevice &&
           st.st_ino == m_folderInode;
}

bool NamesSpecialFile(const std::string& path) {
    if (path.rfind("/dev/", 0) == 0 || path.rfind("/proc/", 0) == 0)
        return true;
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

InputFile::~InputFile() {
    if (m_fd >= 0)
        close(m_fd);
}

bool InputFile::Open(const std::string& path) {
    if (m_fd >= 0)
        close(m_fd);
    m_error = 0;
    m_fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (m_fd < 0) {
        m_error = errno;
        return false;
    }
    struct stat st {};
    // Only regular files: a FIFO or device would block or never end.
    if (fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(m_fd);
        m_fd = -1;
        return false;
    }
    posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

long long InputFile::Read(void* buffer, std::size_t size) {
    return m_fd < 0 ? -1 : ReadRetrying(m_fd, buffer, size, m_error);
}

long long ReadRetrying(int fd, void* buffer, std::size_t size, int& error) {
    for (;;) {
        const ssize_t got = read(fd, buffer, size);
        if (got >= 0)
            return got;
        if (errno != EINTR) {
            error = errno;
            return -1;
        }
    }
}

std::string ErrorText(int error) {
    return std::generic_category().message(error);
}

} // namespace quillary
