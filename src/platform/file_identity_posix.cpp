#include "platform/file_identity.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/directory_reader.h"

namespace quillary {

bool FileIdentityOf(const struct stat& st, FileIdentity& identity) {
    if (!S_ISREG(st.st_mode))
        return false;
    identity.device = static_cast<std::uint64_t>(st.st_dev);
    identity.index = static_cast<std::uint64_t>(st.st_ino);
    identity.size = static_cast<std::uint64_t>(st.st_size);
    identity.writeSeconds = st.st_mtim.tv_sec;
    identity.writeNanoseconds = st.st_mtim.tv_nsec;
    identity.changeSeconds = st.st_ctim.tv_sec;
    identity.changeNanoseconds = st.st_ctim.tv_nsec;
    return true;
}

bool ReadFileIdentity(const DirectoryHandle& folder, const char* name, FileIdentity& identity) {
    struct stat st {};
    return fstatat(folder.Descriptor(), name, &st, AT_SYMLINK_NOFOLLOW) == 0 && FileIdentityOf(st, identity);
}

bool ReadFileIdentity(const std::string& path, FileIdentity& identity) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && FileIdentityOf(st, identity);
}

} // namespace quillary
