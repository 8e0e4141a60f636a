#include "platform/directory_reader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace quillary {

namespace {

constexpr unsigned kStatxMask =
    STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME;

void FillInfo(const struct statx& st, std::string_view name, EntryInfo& info) {
    info.isDirectory = S_ISDIR(st.stx_mode);
    info.size = info.isDirectory ? 0 : st.stx_size;
    info.lastAccessTime = st.stx_atime.tv_sec;
    info.lastWriteTime = st.stx_mtime.tv_sec;
    info.creationTime = (st.stx_mask & STATX_BTIME) ? st.stx_btime.tv_sec : st.stx_ctime.tv_sec;
    std::memcpy(info.attributes, "-----", 6);
    if (!(st.stx_mode & S_IWUSR))
        info.attributes[0] = 'r';
    if (!name.empty() && name.front() == '.')
        info.attributes[2] = 'h';
    if ((st.stx_attributes_mask & STATX_ATTR_COMPRESSED) && (st.stx_attributes & STATX_ATTR_COMPRESSED))
        info.attributes[4] = 'c';
}

std::string_view LastComponent(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

DirectoryReader::~DirectoryReader() {
    if (m_dir != nullptr)
        closedir(m_dir);
}

bool DirectoryReader::Open(const std::string& path) {
    if (m_dir != nullptr)
        closedir(m_dir);
    m_dir = opendir(path.empty() ? "/" : path.c_str());
    m_error = m_dir != nullptr ? 0 : errno;
    return m_dir != nullptr;
}

bool DirectoryReader::Next(std::string_view& name, EntryKind& kind) {
    if (m_dir == nullptr)
        return false;
    errno = 0;
    while (const dirent* entry = readdir(m_dir)) {
        const char* text = entry->d_name;
        if (text[0] == '.' && (text[1] == '\0' || (text[1] == '.' && text[2] == '\0')))
            continue;
        name = text;
        switch (entry->d_type) {
        case DT_DIR:
            kind = EntryKind::Directory;
            break;
        case DT_UNKNOWN:
            kind = EntryKind::Unknown;
            break;
        default:
            kind = EntryKind::NotDirectory;
        }
        return true;
    }
    m_error = errno;
    return false;
}

bool DirectoryReader::Stat(const char* name, EntryInfo& info) const {
    if (m_dir == nullptr)
        return false;
    struct statx st {};
    if (statx(dirfd(m_dir), name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxMask, &st) != 0)
        return false;
    FillInfo(st, name, info);
    return true;
}

bool ListSubdirectories(const std::string& path, std::vector<std::string>& names) {
    names.clear();
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder == "/")
        folder.clear();
    DirectoryReader reader;
    if (!reader.Open(folder))
        return false;
    std::string_view name;
    EntryKind kind;
    EntryInfo info;
    while (reader.Next(name, kind)) {
        if (kind == EntryKind::Directory ||
            (kind == EntryKind::Unknown && reader.Stat(name.data(), info) && info.isDirectory))
            names.emplace_back(name);
    }
    return true;
}

bool StatPath(const std::string& path, EntryInfo& info) {
    struct statx st {};
    if (statx(AT_FDCWD, path.empty() ? "/" : path.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxMask,
              &st) != 0)
        return false;
    FillInfo(st, LastComponent(path), info);
    return true;
}

} // namespace quillary
