// The Windows steps of an output file (output_file_system.h) and the Windows file helpers of file_io.h.
#include "platform/file_io.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <random>
#include <system_error>

#include "platform/case_fold.h"
#include "platform/output_file_system.h"
#include "platform/wide_text.h"
#include "platform/win32_error.h"

namespace quillary {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The name part of a path, after its last separator or its drive.
std::string NameOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    if (separator != std::string::npos)
        return path.substr(separator + 1);
    return path.size() >= 2 && path[1] == ':' ? path.substr(2) : path;
}

// The names Windows gives to devices in every folder, also with an extension ("nul.txt").
bool IsDeviceName(const std::string& name) {
    std::string base = name.substr(0, name.find_first_of(".:"));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    static constexpr const char* kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices) {
        if (EqualsNoCase(base, device))
            return true;
    }
    return base.size() == 4 &&
           (EqualsNoCase(base.substr(0, 3), "COM") || EqualsNoCase(base.substr(0, 3), "LPT")) &&
           base[3] >= '1' && base[3] <= '9';
}

output_system::FileId IdOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

HANDLE HandleOf(std::FILE* file) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

// A C stream over a handle, so that writes are buffered as on POSIX; closing it closes the handle.
std::FILE* StreamOf(HANDLE handle) {
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr)
        _close(fd);
    return file;
}

// The attributes a replaced file passes on to its replacement (a read-only file is never replaced).
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

} // namespace

namespace output_system {

bool SameName(const std::string& a, const std::string& b) {
    return EqualsNoCase(a, b);
}

bool IsDevicePath(const std::string& path) {
    return (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] == '.' &&
            IsSeparator(path[3])) ||
           IsDeviceName(NameOf(path));
}

// std::random_device takes its numbers from the system's cryptographic generator.
std::string RandomSuffix() {
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::string suffix;
    for (int i = 0; i < 10; ++i)
        suffix += kLetters[device() % (sizeof kLetters - 1)];
    return suffix;
}

namespace {

// The identity of the entry at `path` itself (a link's own, never its target's).
bool IdentifyEntry(const std::wstring& path, FileId& id) {
    const HANDLE handle =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (known)
        id = IdOf(info);
    return known;
}

} // namespace

int LookAt(const HeldFolder& folder, const std::string& name, Node& node) {
    node = Node{};
    const std::wstring path = folder.EntryPath(name);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? 0 : ErrnoFromWin32(error);
    }
    node.haveId = IdentifyEntry(path, node.id);
    node.mode = attributes;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        node.kind = NodeKind::Link;
    else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        node.kind = NodeKind::Directory;
    else
        node.kind = NodeKind::Regular;
    // Windows never replaces a read-only file (Wine would).
    node.neverReplaced = node.kind == NodeKind::Regular && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    return 0;
}

std::FILE* StandardOutput() {
    // Line ends are made by OutputFile: the C library's text mode would turn "\r\n" into "\r\r\n".
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
    return stdout;
}

std::FILE* OpenDirect(const HeldFolder* folder, const std::string& name, DirectMode mode, int& error,
                      const char*& refusal, bool& haveId, FileId& id) {
    error = 0;
    refusal = nullptr;
    haveId = false;
    // A device is named as the system maps it ("nul", "\\.\COM1"); the long-path form would make it a
    // plain file name.
    const std::wstring path = folder == nullptr ? WideFromUtf8(name) : folder->EntryPath(name);
    const DWORD disposition = mode == DirectMode::Follow ? OPEN_ALWAYS : OPEN_EXISTING;
    const DWORD options = mode == DirectMode::RegularOnly ? FILE_FLAG_OPEN_REPARSE_POINT : 0;
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, disposition, FILE_ATTRIBUTE_NORMAL | options, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = LastErrno();
        return nullptr;
    }
    const bool disk = GetFileType(handle) == FILE_TYPE_DISK;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = disk && GetFileInformationByHandle(handle, &info) != 0;
    if (mode == DirectMode::RegularOnly &&
        (!known ||
         (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0)) {
        CloseHandle(handle);
        refusal = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0
                      ? "a symbolic link is in its place"
                      : "it is not a regular file";
        return nullptr;
    }
    if (disk && SetEndOfFile(handle) == 0) {
        error = LastErrno();
        CloseHandle(handle);
        return nullptr;
    }
    if (known) {
        haveId = true;
        id = IdOf(info);
    }
    std::FILE* file = StreamOf(handle);
    if (file == nullptr)
        error = errno;
    return file;
}

std::FILE* CreateNameless(const HeldFolder&, int& error) {
    error = EOPNOTSUPP; // every new file has a name
    return nullptr;
}

std::FILE* CreateExclusive(const HeldFolder& folder, const std::string& name, int& error) {
    const std::wstring path = folder.EntryPath(name);
    // CREATE_NEW never opens one that is already there.
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = LastErrno();
        return nullptr;
    }
    std::FILE* file = StreamOf(handle);
    if (file == nullptr) {
        error = errno;
        DeleteFileW(path.c_str());
    }
    return file;
}

int LinkNameless(std::FILE*, const HeldFolder&, const std::string&) {
    return EOPNOTSUPP;
}

void PrepareNewFile(std::FILE*, const Node&, bool) {
    // The attributes are set when the new file is complete: until then it stays hidden.
}

int FinishNewFile(const HeldFolder& folder, const std::string& name, const Node* old) {
    // The replacement shows as the old file did (hidden, system, archive); a new file as any new file.
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    if (old != nullptr)
        attributes = (old->mode & kKeptAttributes) != 0 ? old->mode & kKeptAttributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesW(folder.EntryPath(name).c_str(), attributes) != 0 ? 0 : LastErrno();
}

int SyncToDisk(std::FILE* file) {
    return FlushFileBuffers(HandleOf(file)) != 0 ? 0 : LastErrno();
}

int Replace(const HeldFolder& folder, const std::string& from, const std::string& to, bool sync) {
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | (sync ? MOVEFILE_WRITE_THROUGH : 0);
    return MoveFileExW(folder.EntryPath(from).c_str(), folder.EntryPath(to).c_str(), flags) != 0
               ? 0
               : LastErrno();
}

void Remove(const HeldFolder& folder, const std::string& name) {
    DeleteFileW(folder.EntryPath(name).c_str());
}

} // namespace output_system

bool NamesSpecialFile(const std::string& path) {
    return output_system::IsDevicePath(path);
}

std::string ErrorText(int error) {
    // The C library's texts differ from Linux's for some numbers (and it has none for others); the
    // texts users and tests see are the same on both systems.
    switch (error) {
    case ENOENT:
        return "No such file or directory";
    case EACCES:
        return "Permission denied";
    case EEXIST:
        return "File exists";
    case ENOTDIR:
        return "Not a directory";
    case EISDIR:
        return "Is a directory";
    case EINVAL:
        return "Invalid argument";
    case ENOSPC:
        return "No space left on device";
    case ENAMETOOLONG:
        return "File name too long";
    case ENOMEM:
        return "Cannot allocate memory";
    case EIO:
        return "Input/output error";
    case EAGAIN:
        return "Resource temporarily unavailable";
    case ELOOP:
        return "Too many levels of symbolic links";
    case ENOTEMPTY:
        return "Directory not empty";
    default:
        return std::generic_category().message(error);
    }
}

} // namespace quillary
