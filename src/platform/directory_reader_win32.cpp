#include "platform/directory_reader.h"

#include <windows.h>

#include <cerrno>
#include <cstring>

#include "platform/path_syntax.h"
#include "platform/wide_text.h"
#include "platform/win32_error.h"

namespace quillary {

struct DirectoryReader::FindData {
    WIN32_FIND_DATAW data;
};

namespace {

// 100 ns intervals from 1601-01-01 to 1970-01-01.
constexpr long long kUnixEpochAsFileTime = 116444736000000000LL;
constexpr long long kFileTimeUnitsPerSecond = 10000000LL;
// The volume flag that gives a drive root its "c" letter.
constexpr DWORD kRootLetterVolumeFlag = 0x1;

std::int64_t SecondsSince1970(const FILETIME& time) {
    const long long units =
        static_cast<long long>(static_cast<unsigned long long>(time.dwHighDateTime) << 32 |
                               time.dwLowDateTime) -
        kUnixEpochAsFileTime;
    long long seconds = units / kFileTimeUnitsPerSecond;
    if (units % kFileTimeUnitsPerSecond < 0)
        --seconds; // whole seconds before, as on POSIX
    return seconds;
}

// A reparse point that stands for another name (symbolic link, junction, mount point): the counterpart
// of a symbolic link, never followed while walking a tree. Other reparse points (compressed system
// files, cloud files) are the files and folders they look like.
bool IsLink(DWORD attributes, DWORD reparseTag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(reparseTag);
}

void FillInfo(const WIN32_FIND_DATAW& data, EntryInfo& info) {
    const DWORD attributes = data.dwFileAttributes;
    // dwReserved0 holds the reparse tag when the reparse-point attribute is set.
    const bool link = IsLink(attributes, data.dwReserved0);
    info.isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) && !link;
    info.isRegular =
        !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
    info.size =
        info.isDirectory ? 0 : static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    info.creationTime = SecondsSince1970(data.ftCreationTime);
    info.lastAccessTime = SecondsSince1970(data.ftLastAccessTime);
    info.lastWriteTime = SecondsSince1970(data.ftLastWriteTime);
    std::memcpy(info.attributes, "-----", 6);
    if (attributes & FILE_ATTRIBUTE_READONLY)
        info.attributes[0] = 'r';
    if (attributes & FILE_ATTRIBUTE_ARCHIVE)
        info.attributes[1] = 'a';
    if (attributes & FILE_ATTRIBUTE_HIDDEN)
        info.attributes[2] = 'h';
    if (attributes & FILE_ATTRIBUTE_SYSTEM)
        info.attributes[3] = 's';
    if (attributes & FILE_ATTRIBUTE_COMPRESSED)
        info.attributes[4] = 'c';
}

// A drive root has no entry of its own in any folder: its times are 0 and its letters "----" followed
// by "c" when the volume has the flag. False when there is no such drive.
bool FillRootInfo(std::string_view rootKey, EntryInfo& info) {
    const std::wstring root = WideFromUtf8(rootKey) + L"\\"; // "c:\": never the drive's current folder
    if (GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR)
        return false;
    info = EntryInfo{};
    info.isDirectory = true;
    DWORD flags = 0;
    if (GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
        (flags & kRootLetterVolumeFlag))
        info.attributes[4] = 'c';
    return true;
}

// Details of the file or folder at a long-form path: 0, or the error number.
int StatSystemPath(const std::wstring& path, EntryInfo& info) {
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes))
        return LastErrno();
    WIN32_FIND_DATAW data{};
    if (attributes.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // Only a search tells the reparse tag. Without it (a search pattern in the name, a parent that
        // cannot be listed) the reparse point is taken for a link.
        data.dwReserved0 = IO_REPARSE_TAG_SYMLINK;
        const std::size_t lastName = path.rfind(L'\\') + 1;
        if (path.find_first_of(L"*?<>\"", lastName) == std::wstring::npos) {
            WIN32_FIND_DATAW found;
            const HANDLE search =
                FindFirstFileExW(path.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
            if (search != INVALID_HANDLE_VALUE) {
                FindClose(search);
                data.dwReserved0 = found.dwReserved0;
            }
        }
    }
    data.dwFileAttributes = attributes.dwFileAttributes;
    data.ftCreationTime = attributes.ftCreationTime;
    data.ftLastAccessTime = attributes.ftLastAccessTime;
    data.ftLastWriteTime = attributes.ftLastWriteTime;
    data.nFileSizeHigh = attributes.nFileSizeHigh;
    data.nFileSizeLow = attributes.nFileSizeLow;
    FillInfo(data, info);
    return 0;
}

std::string_view WithoutTrailingSeparators(std::string_view path) {
    while (!path.empty() && kWindowsPaths.IsSeparator(path.back()))
        path.remove_suffix(1);
    return path;
}

std::wstring Joined(const std::wstring& folder, std::wstring_view name) {
    std::wstring path = folder;
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    path += name;
    return path;
}

} // namespace

DirectoryHandle::~DirectoryHandle() {
    Close();
}

bool DirectoryHandle::IsOpen() const {
    return m_open;
}

const std::wstring& DirectoryHandle::LongPath() const {
    return m_path;
}

void DirectoryHandle::Close() {
    m_path.clear();
    m_isRoot = false;
    m_open = false;
    m_identity = {};
}

FolderIdentity DirectoryHandle::Identity() const {
    return m_open ? m_identity : FolderIdentity{};
}

bool DirectoryHandle::Open(std::wstring path, bool followLink) {
    Close();
    // The folder is opened only to see that it is one (and, unless followed, not a link); it is then
    // known by its path, so that it stays free to be renamed or removed while its subfolders wait.
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        m_error = LastErrno();
        return false;
    }
    FILE_ATTRIBUTE_TAG_INFO tag{};
    const bool known = GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag);
    m_error = known ? 0 : LastErrno();
    BY_HANDLE_FILE_INFORMATION file{};
    if (known && GetFileInformationByHandle(handle, &file))
        m_identity = {file.dwVolumeSerialNumber,
                      (static_cast<std::uint64_t>(file.nFileIndexHigh) << 32) | file.nFileIndexLow, true};
    CloseHandle(handle);
    if (!known)
        return false;
    if (IsLink(tag.FileAttributes, tag.ReparseTag))
        m_error = ELOOP;
    else if (!(tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        m_error = ENOTDIR;
    if (m_error != 0)
        return false;
    m_path = std::move(path);
    m_open = true;
    return true;
}

bool DirectoryHandle::OpenPath(const std::string& path, bool followLink) {
    const std::string_view folder = WithoutTrailingSeparators(path);
    if (kWindowsPaths.IsRootKey(folder)) {
        const bool opened = Open(L"\\\\?\\" + WideFromUtf8(folder) + L"\\", followLink);
        m_isRoot = opened;
        return opened;
    }
    if (folder.empty()) {
        Close();
        m_error = ENOENT; // no single root here
        return false;
    }
    return Open(SystemPath(folder), followLink);
}

bool DirectoryHandle::OpenChild(const DirectoryHandle& parent, const char* name) {
    if (!parent.m_open) {
        Close();
        m_error = EBADF;
        return false;
    }
    return Open(Joined(parent.m_path, WideFromUtf8(name)), false);
}

bool DirectoryHandle::StatSelf(std::string_view, EntryInfo& info) const {
    if (!m_open)
        return false;
    if (m_isRoot) // "\\?\c:\": the key is the letter and the colon
        return FillRootInfo(Utf8FromWide(std::wstring_view(m_path).substr(4, 2)), info);
    return StatSystemPath(m_path, info) == 0;
}

int DirectoryHandle::StatEntry(const char* name, EntryInfo& info) const {
    return m_open ? StatSystemPath(Joined(m_path, WideFromUtf8(name)), info) : EBADF;
}

DirectoryReader::DirectoryReader() : m_found(std::make_unique<FindData>()) {}

DirectoryReader::~DirectoryReader() {
    Finish();
}

void DirectoryReader::Finish() {
    if (m_find != nullptr)
        FindClose(m_find);
    m_find = nullptr;
    m_dir = nullptr;
    m_haveEntry = false;
}

bool DirectoryReader::Open(const std::string& path) {
    Finish();
    if (!m_owned.OpenPath(path)) {
        m_error = m_owned.Error();
        return false;
    }
    Start(m_owned);
    return true;
}

void DirectoryReader::Start(const DirectoryHandle& dir) {
    Finish();
    m_dir = &dir;
    m_error = 0;
}

bool DirectoryReader::Next(std::string_view& name, EntryKind& kind) {
    if (m_dir == nullptr)
        return false;
    WIN32_FIND_DATAW& data = m_found->data;
    for (;;) {
        bool found = false;
        if (m_find == nullptr) {
            const std::wstring pattern = Joined(m_dir->LongPath(), L"*");
            const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
            found = search != INVALID_HANDLE_VALUE;
            if (found)
                m_find = search;
        } else {
            found = FindNextFileW(m_find, &data);
        }
        if (!found) {
            // A drive root without entries has no "." either: its search finds no file at all.
            const DWORD error = GetLastError();
            m_error =
                (error == ERROR_NO_MORE_FILES || error == ERROR_FILE_NOT_FOUND) ? 0 : ErrnoFromWin32(error);
            Finish();
            return false;
        }
        const wchar_t* text = data.cFileName;
        if (text[0] == L'.' && (text[1] == L'\0' || (text[1] == L'.' && text[2] == L'\0')))
            continue;
        m_name = Utf8FromWide(text);
        m_haveEntry = true;
        name = m_name;
        kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                       !IsLink(data.dwFileAttributes, data.dwReserved0)
                   ? EntryKind::Directory
                   : EntryKind::NotDirectory;
        return true;
    }
}

int DirectoryReader::StatEntry(const char* name, EntryInfo& info) const {
    if (m_dir == nullptr)
        return EBADF;
    if (m_haveEntry && m_name == name) { // the entry just read: the search told everything
        FillInfo(m_found->data, info);
        return 0;
    }
    return m_dir->StatEntry(name, info);
}

bool ListSubdirectories(const std::string& path, std::vector<std::string>& names) {
    names.clear();
    DirectoryReader reader;
    if (!reader.Open(std::string(WithoutTrailingSeparators(path))))
        return false;
    std::string_view name;
    EntryKind kind;
    while (reader.Next(name, kind)) {
        if (kind == EntryKind::Directory)
            names.emplace_back(name);
    }
    return true;
}

bool StatPath(const std::string& path, EntryInfo& info) {
    const std::string_view trimmed = WithoutTrailingSeparators(path);
    if (kWindowsPaths.IsRootKey(trimmed))
        return FillRootInfo(trimmed, info);
    return !trimmed.empty() && StatSystemPath(SystemPath(trimmed), info) == 0;
}

} // namespace quillary
