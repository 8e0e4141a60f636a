#include "platform/file_identity.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/directory_reader.h"

namespace quillary {

namespace {

bool FromStat(int result, const struct stat& st, FileIdentity& identity) {
    if (result != 0 || !S_ISREG(st.st_mode))
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

} // namespace

bool ReadFileIdentity(const DirectoryHandle& folder, const char* name, FileIdentity& identity) {
    struct stat st {};
    return FromStat(fstatat(folder.Descriptor(), name, &st, AT_SYMLINK_NOFOLLOW), st, identity);
}

bool ReadFileIdentity(const std::string& path, FileIdentity& identity) {
    struct stat st {};
    return FromStat(lstat(path.c_str(), &st), st, identity);
}

} // namespace quillary
