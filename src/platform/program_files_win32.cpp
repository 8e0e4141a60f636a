#include "platform/program_files.h"

#include <windows.h>

#include <cerrno>
#include <vector>

#include "platform/wide_text.h"
#include "platform/win32_error.h"

namespace quillary {

std::string ExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            if (path.rfind(L"\\\\?\\", 0) == 0 && path.rfind(L"\\\\?\\UNC\\", 0) != 0)
                path.erase(0, 4);
            return Utf8FromWide(path);
        }
        buffer.resize(buffer.size() * 2); // the name was cut short
    }
}

namespace {

// An environment variable as UTF-8 (getenv would give it in the ANSI code page); "" when unset.
std::string Environment(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return Utf8FromWide(value);
}

// True when a new file can be made in the folder: only trying tells, because the folder's access
// rights, not its read-only attribute, decide it.
bool IsWritableFolder(const std::string& dir) {
    const std::wstring probe =
        SystemPath(dir + "\\.quillary-write-test." + std::to_string(GetCurrentProcessId()));
    const HANDLE handle = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

// The program keeps its settings and preview files beside itself when its folder is writable (a
// portable copy), but never in an installed layout (bin\ beside share\quillary\).
std::string PortableProgramDirectory() {
    const std::string programDir = ProgramDirectory();
    if (programDir.empty() || !IsWritableFolder(programDir) ||
        IsDirectory(programDir + "\\..\\share\\quillary"))
        return {};
    return programDir;
}

// A folder of the user's profile with "\quillary" added, created when missing; "" when the profile
// folder is unknown or the folder cannot be made.
std::string ProfileFolder(const wchar_t* variable) {
    const std::string base = Environment(variable);
    if (base.empty())
        return {};
    const std::string dir = base + "\\quillary";
    CreateDirectoryW(SystemPath(dir).c_str(), nullptr);
    return IsDirectory(dir) ? dir : std::string();
}

} // namespace

std::string SettingsDirectory() {
    if (std::string programDir = PortableProgramDirectory(); !programDir.empty())
        return programDir;
    // The settings of a user who roams between machines go with them. Without a profile folder the
    // settings beside the program are still read.
    const std::string dir = ProfileFolder(L"APPDATA");
    return dir.empty() ? ProgramDirectory() : dir;
}

std::string PreviewDirectory() {
    if (std::string programDir = PortableProgramDirectory(); !programDir.empty())
        return programDir;
    // The profile's local folder is the user's own; preview files stay on this machine.
    return ProfileFolder(L"LOCALAPPDATA");
}

std::string ChecksumCacheFile() {
    // Checksums belong to this machine's files: the profile's local folder, even for a portable copy.
    const std::string dir = ProfileFolder(L"LOCALAPPDATA");
    return dir.empty() ? std::string() : dir + "\\checksums.sqlite";
}

int CreateFolders(const std::string& folder) {
    // Every folder on the path is tried in turn (the drive or share fails, as do existing folders);
    // new ones take the security of their parent, and the user's profile folders are private.
    const std::wstring path = SystemPath(folder);
    DWORD lastError = ERROR_SUCCESS;
    for (std::size_t end = path.find(L'\\', path.rfind(L"\\\\?\\", 0) == 0 ? 4 : 0);;
         end = path.find(L'\\', end + 1)) {
        lastError = CreateDirectoryW(path.substr(0, end).c_str(), nullptr) ? ERROR_SUCCESS : GetLastError();
        if (end == std::wstring::npos)
            break;
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ErrnoFromWin32(lastError != ERROR_SUCCESS ? lastError : GetLastError());
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 0 : ENOTDIR;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesW(SystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

unsigned long ProcessId() {
    return GetCurrentProcessId();
}

} // namespace quillary
