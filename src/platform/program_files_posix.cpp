#include "platform/program_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace quillary {

std::string ExecutablePath() {
    std::vector<char> buffer(PATH_MAX + 1);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0)
        return {};
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

namespace {

// The program keeps its settings and preview files beside itself when its folder is writable (a
// portable copy), but never in an installed layout (bin/ beside share/quillary/), where a writable
// folder means /usr/bin under root.
std::string PortableProgramDirectory() {
    const std::string programDir = ProgramDirectory();
    if (programDir.empty() || access(programDir.c_str(), W_OK) != 0)
        return {};
    struct stat st {};
    if (stat((programDir + "/../share/quillary").c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return {};
    return programDir;
}

} // namespace

std::string SettingsDirectory() {
    if (std::string programDir = PortableProgramDirectory(); !programDir.empty())
        return programDir;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/')
        return std::string(xdg) + "/quillary";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config/quillary";
}

std::string PreviewDirectory() {
    if (std::string programDir = PortableProgramDirectory(); !programDir.empty())
        return programDir;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const char* home = std::getenv("HOME");
    std::string base;
    if (runtime != nullptr && runtime[0] == '/')
        base = runtime;
    else if (home != nullptr && home[0] == '/')
        base = std::string(home) + "/.cache";
    else
        return {};
    mkdir(base.c_str(), 0700); // ~/.cache may not exist yet
    const std::string dir = base + "/quillary";
    mkdir(dir.c_str(), 0700);
    // Use the folder only when it is a real folder of this user that nobody else can enter: preview
    // files must never be readable or replaceable by another user.
    struct stat st {};
    if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid() ||
        (st.st_mode & 077) != 0)
        return {};
    return dir;
}

std::string ChecksumCacheFile() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    std::string dir;
    if (xdg != nullptr && xdg[0] == '/')
        dir = std::string(xdg) + "/quillary";
    else if (home != nullptr && home[0] == '/')
        dir = std::string(home) + "/.cache/quillary";
    else
        return {};
    return CreateFolders(dir) == 0 ? dir + "/checksums.sqlite" : std::string();
}

int CreateFolders(const std::string& folder) {
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
        struct stat st {};
        if (stat(part.c_str(), &st) != 0)
            return errno;
        if (!S_ISDIR(st.st_mode))
            return ENOTDIR;
        if (end == std::string::npos)
            return 0;
    }
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.empty() ? "/" : path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

unsigned long ProcessId() {
    return static_cast<unsigned long>(getpid());
}

} // namespace quillary
