#include "platform/held_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace quillary {

HeldFolder::~HeldFolder() {
    Close();
}

HeldFolder::HeldFolder(HeldFolder&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_identity(std::exchange(other.m_identity, {})),
      m_error(other.m_error) {}

HeldFolder& HeldFolder::operator=(HeldFolder&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_identity = std::exchange(other.m_identity, {});
        m_error = other.m_error;
    }
    return *this;
}

bool HeldFolder::IsOpen() const {
    return m_fd >= 0;
}

void HeldFolder::Close() {
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
    m_identity = {};
}

bool HeldFolder::Open(const std::string& path, bool followLink) {
    Close();
    // O_PATH: passing through is all that is needed; O_NOFOLLOW with O_DIRECTORY fails on a link.
    return Hold(OpenAnyPath(path.empty() ? "/" : path, O_PATH | O_DIRECTORY | (followLink ? 0 : O_NOFOLLOW)));
}

bool HeldFolder::OpenChild(const HeldFolder& parent, const std::string& name) {
    Close();
    return Hold(openat(parent.m_fd, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

bool HeldFolder::OpenParent(const HeldFolder& child) {
    Close();
    return Hold(openat(child.m_fd, "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
}

bool HeldFolder::Hold(int fd) {
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0) {
        m_error = errno;
        if (fd >= 0)
            close(fd);
        return false;
    }
    m_fd = fd;
    m_error = 0;
    m_identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), true};
    return true;
}

} // namespace quillary
