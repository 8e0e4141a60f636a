#include "support/special_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <string>

namespace quillary::test {

bool MakeSymlink(const std::filesystem::path& target, const std::filesystem::path& link, bool folder) {
#ifdef _WIN32
    std::error_code error;
    if (folder)
        std::filesystem::create_directory_symlink(target, link, error);
    else
        std::filesystem::create_symlink(target, link, error);
    return !error;
#else
    if (folder)
        std::filesystem::create_directory_symlink(target, link);
    else
        std::filesystem::create_symlink(target, link);
    return true;
#endif
}

#ifdef _WIN32
bool MakeFifo(const std::filesystem::path&) {
    return false;
}
bool MakeNullDevice(const std::filesystem::path&) {
    return false;
}
bool SetWindowsAttributes(const std::filesystem::path& path, bool archive, bool hidden, bool system) {
    DWORD attributes = (archive ? FILE_ATTRIBUTE_ARCHIVE : 0) | (hidden ? FILE_ATTRIBUTE_HIDDEN : 0) |
                       (system ? FILE_ATTRIBUTE_SYSTEM : 0);
    if (attributes == 0)
        attributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesW(path.c_str(), attributes) != 0;
}
BoundSocket::BoundSocket(const std::filesystem::path&) {}
BoundSocket::~BoundSocket() = default;
ScopedUmask::ScopedUmask(unsigned) {}
ScopedUmask::~ScopedUmask() = default;
#else
bool MakeFifo(const std::filesystem::path& path) {
    return mkfifo(path.c_str(), 0644) == 0;
}

bool SetWindowsAttributes(const std::filesystem::path&, bool, bool, bool) {
    return false;
}

bool MakeNullDevice(const std::filesystem::path& path) {
    return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

BoundSocket::BoundSocket(const std::filesystem::path& path) : m_socket(socket(AF_UNIX, SOCK_STREAM, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string text = path.string();
    text.copy(address.sun_path, sizeof address.sun_path - 1);
    m_bound =
        m_socket >= 0 && bind(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

BoundSocket::~BoundSocket() {
    if (m_socket >= 0)
        close(m_socket);
}

ScopedUmask::ScopedUmask(unsigned mask) : m_saved(umask(static_cast<mode_t>(mask))) {}
ScopedUmask::~ScopedUmask() {
    umask(static_cast<mode_t>(m_saved));
}
#endif

} // namespace quillary::test
