// The POSIX steps of an output file (output_file_system.h) and the POSIX file helpers of file_io.h.
#include "platform/file_io.h"

#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/output_file_system.h"

namespace quillary {

namespace {

// The name through which an open file without a name of its own can be linked into a folder.
std::string ProcFdPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

// A buffered stream over `fd`, which it closes; null (fd closed, `error` set) when none can be made.
std::FILE* StreamOf(int fd, int& error) {
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        error = errno;
        close(fd);
    }
    return file;
}

output_system::FileId IdOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

} // namespace

namespace output_system {

bool SameName(const std::string& a, const std::string& b) {
    return a == b;
}

bool IsDevicePath(const std::string&) {
    return false; // a POSIX device is found by what is at its path
}

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

int LookAt(const HeldFolder& folder, const std::string& name, Node& node) {
    node = Node{};
    struct stat st {};
    if (fstatat(folder.Descriptor(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? 0 : errno;
    node.haveId = true;
    node.id = IdOf(st);
    node.mode = static_cast<std::uint32_t>(st.st_mode & 07777);
    node.owner = static_cast<std::uint32_t>(st.st_uid);
    node.group = static_cast<std::uint32_t>(st.st_gid);
    if (S_ISREG(st.st_mode))
        node.kind = NodeKind::Regular;
    else if (S_ISLNK(st.st_mode))
        node.kind = NodeKind::Link;
    else if (S_ISDIR(st.st_mode))
        node.kind = NodeKind::Directory;
    else
        node.kind = NodeKind::Special;
    return 0;
}

std::FILE* StandardOutput() {
    return stdout;
}

std::FILE* OpenDirect(const HeldFolder* folder, const std::string& name, DirectMode mode, int& error,
                      const char*& refusal, bool& haveId, FileId& id) {
    error = 0;
    refusal = nullptr;
    haveId = false;
    // A regular file only: never through a link, and a FIFO opened without waiting for a reader.
    const int flags =
        mode == DirectMode::RegularOnly ? O_WRONLY | O_NOFOLLOW | O_NONBLOCK : O_WRONLY | O_CREAT | O_TRUNC;
    const int fd = openat(folder != nullptr ? folder->Descriptor() : AT_FDCWD, name.c_str(),
                          flags | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        error = errno;
        if (error == ELOOP && mode == DirectMode::RegularOnly) {
            refusal = "a symbolic link is in its place";
            error = 0;
        }
        return nullptr;
    }
    struct stat st {};
    const bool known = fstat(fd, &st) == 0;
    if (mode == DirectMode::RegularOnly) {
        if (!known || !S_ISREG(st.st_mode) || ftruncate(fd, 0) != 0 ||
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
            if (known && S_ISREG(st.st_mode))
                error = errno;
            else if (known)
                refusal = "it is not a regular file";
            else
                error = errno;
            close(fd);
            return nullptr;
        }
    }
    if (known) {
        haveId = true;
        id = IdOf(st);
    }
    return StreamOf(fd, error);
}

std::FILE* CreateNameless(const HeldFolder& folder, int& error) {
    const int fd = openat(folder.Descriptor(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    // Without /proc the file could never be given its name.
    if (access(ProcFdPath(fd).c_str(), F_OK) != 0) {
        error = EOPNOTSUPP;
        close(fd);
        return nullptr;
    }
    return StreamOf(fd, error);
}

std::FILE* CreateExclusive(const HeldFolder& folder, const std::string& name, int& error) {
    const int fd =
        openat(folder.Descriptor(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    return StreamOf(fd, error);
}

int LinkNameless(std::FILE* file, const HeldFolder& folder, const std::string& name) {
    const std::string source = ProcFdPath(fileno(file));
    return linkat(AT_FDCWD, source.c_str(), folder.Descriptor(), name.c_str(), AT_SYMLINK_FOLLOW) == 0
               ? 0
               : errno;
}

void PrepareNewFile(std::FILE* file, const Node& old, bool ownerToo) {
    const int fd = fileno(file);
    if (ownerToo && old.owner != geteuid())
        (void)!fchown(fd, old.owner, old.group);
    fchmod(fd, old.mode & 0777);
}

int FinishNewFile(const HeldFolder&, const std::string&, const Node*) {
    return 0; // the permissions were set when the file was made
}

int SyncToDisk(std::FILE* file) {
    return fsync(fileno(file)) == 0 ? 0 : errno;
}

int Replace(const HeldFolder& folder, const std::string& from, const std::string& to, bool) {
    return renameat(folder.Descriptor(), from.c_str(), folder.Descriptor(), to.c_str()) == 0 ? 0 : errno;
}

void Remove(const HeldFolder& folder, const std::string& name) {
    unlinkat(folder.Descriptor(), name.c_str(), 0);
}

} // namespace output_system

bool NamesSpecialFile(const std::string& path) {
    if (path.rfind("/dev/", 0) == 0 || path.rfind("/proc/", 0) == 0)
        return true;
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
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
