// Files that only POSIX systems have, made for tests of how the program treats them: symbolic links
// (Windows has them, but Wine refuses to make them), FIFOs, sockets, devices, and the file-creation
// mask. On
// Windows nothing is made where the system refuses (each returns false); the tests that need them skip
// there with these reasons.
#pragma once

#include <filesystem>

namespace quillary::test {

inline constexpr const char* kNoSymlinks = "this system refuses to make symbolic links (Wine)";
inline constexpr const char* kNoFifos = "FIFOs and Unix sockets are POSIX file kinds";
inline constexpr const char* kNoPermissionBits = "POSIX permission bits and users";

// Makes a symbolic link `link` to `target` (a folder link when `folder`). On POSIX a failure throws as
// fs::create_symlink does; on Windows it returns false.
bool MakeSymlink(const std::filesystem::path& target, const std::filesystem::path& link, bool folder = false);

// Makes a FIFO (named pipe) at `path`; false when it cannot be made (always on Windows).
bool MakeFifo(const std::filesystem::path& path);

// Makes a character device like /dev/null at `path`; false when it cannot be made (without root, in a
// container that forbids it, always on Windows).
bool MakeNullDevice(const std::filesystem::path& path);

// Sets a file's Windows attributes to exactly these (the others cleared); false where it cannot be done
// (always on POSIX systems, which have no such attributes).
bool SetWindowsAttributes(const std::filesystem::path& path, bool archive, bool hidden, bool system);

// A listening Unix domain socket bound at a path, closed (not removed) when destroyed.
class BoundSocket {
public:
    explicit BoundSocket(const std::filesystem::path& path);
    ~BoundSocket();
    BoundSocket(const BoundSocket&) = delete;
    BoundSocket& operator=(const BoundSocket&) = delete;
    bool Bound() const { return m_bound; }

private:
    int m_socket = -1;
    bool m_bound = false;
};

// Sets the file-creation mask for its lifetime (does nothing on Windows).
class ScopedUmask {
public:
    explicit ScopedUmask(unsigned mask);
    ~ScopedUmask();
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    unsigned m_saved = 0;
};

} // namespace quillary::test
