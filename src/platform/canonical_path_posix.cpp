#include "platform/canonical_path.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

namespace quillary {

CanonicalPathResult CanonicalPath(const std::string& path) {
    CanonicalPathResult result;
    if (path.empty() || path.find('\0') != std::string::npos) {
        result.error = path.empty() ? ENOENT : EINVAL; // a NUL byte would cut the path short
        return result;
    }
    std::string full = path;
    if (path.front() != '/') {
        // realpath() would report a deleted current folder as a missing path; it is told apart here.
        std::vector<char> buffer(PATH_MAX + 1);
        const char* cwd = getcwd(buffer.data(), buffer.size());
        if (cwd == nullptr || cwd[0] != '/') { // "(unreachable)..." lies outside the root
            result.error = cwd == nullptr ? errno : ENOENT;
            result.noCurrentFolder = true;
            return result;
        }
        full = std::string(cwd) + "/" + path;
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(full.c_str(), nullptr), &std::free);
    if (!resolved) {
        result.error = errno;
        return result;
    }
    result.path = resolved.get();
    return result;
}

} // namespace quillary
