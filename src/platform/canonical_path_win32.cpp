#include "platform/canonical_path.h"

#include <windows.h>

#include <cerrno>
#include <vector>

#include "platform/wide_text.h"
#include "platform/win32_error.h"

namespace quillary {

namespace {

// The absolute form of a path with "." and ".." resolved by the text alone; "" with `error` set when
// the system cannot make one.
std::wstring FullPath(const std::wstring& path, int& error) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (length == 0) {
            error = LastErrno();
            return {};
        }
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

// The path the system reaches when it opens `path` (a long-path form), with every link resolved:
// "\\?\C:\Data" or "\\?\UNC\server\share". When the system opens the folder but cannot name it
// (Wine cannot for paths longer than MAX_PATH), the path itself, without its links resolved.
std::wstring FinalPath(const std::wstring& path, int& error) {
    // Backup semantics let a folder be opened; no access right is needed to ask for its name.
    const HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = LastErrno();
        return {};
    }
    std::vector<wchar_t> buffer(MAX_PATH);
    std::wstring result = path;
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(
            handle, buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            break;
        if (length < buffer.size()) {
            result.assign(buffer.data(), length);
            break;
        }
        buffer.resize(length + 1);
    }
    CloseHandle(handle);
    return result;
}

// "\\?\C:\Data" -> "c:\Data", "\\?\C:\" -> "c:", "\\?\UNC\server\share" -> "\\server\share".
std::wstring UsualForm(std::wstring path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        path = L"\\\\" + path.substr(8);
    else if (path.rfind(L"\\\\?\\", 0) == 0)
        path = path.substr(4);
    if (path.size() >= 2 && path[1] == L':' && path[0] >= L'A' && path[0] <= L'Z')
        path[0] = static_cast<wchar_t>(path[0] - L'A' + L'a');
    // No trailing separator: a drive root is "c:", the key of the drive's root folder.
    while (path.size() > 2 && path.back() == L'\\' && path[path.size() - 2] != L'\\')
        path.pop_back();
    return path;
}

} // namespace

CanonicalPathResult CanonicalPath(const std::string& path) {
    CanonicalPathResult result;
    if (path.empty() || path.find('\0') != std::string::npos) {
        result.error = path.empty() ? ENOENT : EINVAL; // a NUL byte would cut the path short
        return result;
    }
    std::wstring wide = WideFromUtf8(path);
    for (wchar_t& c : wide) {
        if (c == L'/')
            c = L'\\';
    }
    // "c:" alone is the drive's root folder here (the key of that root), not its current folder.
    if (wide.size() == 2 && wide[1] == L':')
        wide += L'\\';
    const bool relative = !(wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\') &&
                          !(wide.size() >= 2 && wide[0] == L'\\' && wide[1] == L'\\');
    if (relative && GetCurrentDirectoryW(0, nullptr) == 0) {
        result.error = LastErrno();
        result.noCurrentFolder = true;
        return result;
    }
    // Long paths are resolved by the text first, because the "\\?\" form that lifts the length limit
    // takes "." and ".." literally.
    const std::wstring full = wide.rfind(L"\\\\?\\", 0) == 0 ? wide : FullPath(wide, result.error);
    if (full.empty())
        return result;
    const std::wstring systemPath = SystemPath(Utf8FromWide(full));
    std::wstring resolved = FinalPath(systemPath, result.error);
    if (resolved.empty())
        return result;
    // A drive mapped to a network share resolves to the share ("\\server\share\x"); the folder is
    // kept on the drive the user named, which is where the folder tree shows it.
    if (resolved.rfind(L"\\\\?\\UNC\\", 0) == 0 && systemPath.rfind(L"\\\\?\\UNC\\", 0) != 0)
        resolved = systemPath;
    result.path = Utf8FromWide(UsualForm(resolved));
    return result;
}

} // namespace quillary
