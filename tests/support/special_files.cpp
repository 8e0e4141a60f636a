#include "support/special_files.h"

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
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
BoundSocket::BoundSocket(const std::filesystem::path&) {}
BoundSocket::~BoundSocket() = default;
ScopedUmask::ScopedUmask(unsigned) {}
ScopedUmask::~ScopedUmask() = default;
#else
bool MakeFifo(const std::filesystem::path& path) {
    return mkfifo(path.c_str(), 0644) == 0;
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
