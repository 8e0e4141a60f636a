#include "platform/file_io.h"

#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quillary {

OutputFile::~OutputFile() {
    Close();
}

bool OutputFile::Open(const std::string& path) {
    Close();
    m_failed = false;
    if (path == "-") {
        m_file = stdout;
        m_ownsFile = false;
    } else {
        m_file = std::fopen(path.c_str(), "wb");
        m_ownsFile = true;
    }
    if (m_file != nullptr)
        std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
    return m_file != nullptr;
}

void OutputFile::Write(std::string_view text) {
    if (m_file != nullptr && !text.empty() && std::fwrite(text.data(), 1, text.size(), m_file) != text.size())
        m_failed = true;
}

bool OutputFile::Close() {
    if (m_file == nullptr)
        return !m_failed;
    if (std::fflush(m_file) != 0)
        m_failed = true;
    if (m_ownsFile && std::fclose(m_file) != 0)
        m_failed = true;
    m_file = nullptr;
    return !m_failed;
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
    if (m_fd < 0)
        return -1;
    for (;;) {
        const ssize_t got = read(m_fd, buffer, size);
        if (got >= 0)
            return got;
        if (errno != EINTR) {
            m_error = errno;
            return -1;
        }
    }
}

bool ReadWholeFile(const std::string& path, std::string& contents, std::size_t maxBytes) {
    InputFile file;
    if (!file.Open(path))
        return false;
    contents.clear();
    char buffer[65536];
    for (;;) {
        const long long got = file.Read(buffer, sizeof buffer);
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (contents.size() + static_cast<std::size_t>(got) > maxBytes)
            return false;
        contents.append(buffer, static_cast<std::size_t>(got));
    }
}

std::string ErrorText(int error) {
    return std::generic_category().message(error);
}

} // namespace quillary
