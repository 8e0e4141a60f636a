#include "platform/file_identity.h"

#include <windows.h>

#include "platform/directory_reader.h"
#include "platform/wide_text.h"

namespace quillary {

namespace {

constexpr long long kUnixEpochAsFileTime = 116444736000000000LL;
constexpr long long kFileTimeUnitsPerSecond = 10000000LL;

void SplitTime(long long units, std::int64_t& seconds, std::int64_t& nanoseconds) {
    seconds = units / kFileTimeUnitsPerSecond;
    long long rest = units % kFileTimeUnitsPerSecond;
    if (rest < 0) {
        --seconds;
        rest += kFileTimeUnitsPerSecond;
    }
    nanoseconds = rest * 100;
}

long long Units(const FILETIME& time) {
    return static_cast<long long>(static_cast<unsigned long long>(time.dwHighDateTime) << 32 |
                                  time.dwLowDateTime);
}

// Opened for its details only (no read access is needed), a reparse point as itself.
bool IdentityOf(const std::wstring& path, FileIdentity& identity) {
    const HANDLE handle = CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION information;
    const bool known = GetFileType(handle) == FILE_TYPE_DISK &&
                       GetFileInformationByHandle(handle, &information) &&
                       FileIdentityOf(handle, information, identity);
    CloseHandle(handle);
    return known;
}

} // namespace

bool FileIdentityOf(void* handle, const BY_HANDLE_FILE_INFORMATION& information, FileIdentity& identity) {
    const DWORD notRegular = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT;
    if ((information.dwFileAttributes & notRegular) != 0)
        return false;
    identity.device = information.dwVolumeSerialNumber;
    identity.index = static_cast<std::uint64_t>(information.nFileIndexHigh) << 32 | information.nFileIndexLow;
    identity.size = static_cast<std::uint64_t>(information.nFileSizeHigh) << 32 | information.nFileSizeLow;
    SplitTime(Units(information.ftLastWriteTime) - kUnixEpochAsFileTime, identity.writeSeconds,
              identity.writeNanoseconds);
    // Where the file system does not tell the change time, the last-write time stands for it.
    FILE_BASIC_INFO basic{};
    const long long change = GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) != 0
                                 ? basic.ChangeTime.QuadPart
                                 : Units(information.ftLastWriteTime);
    SplitTime(change, identity.changeSeconds, identity.changeNanoseconds);
    return true;
}

bool ReadFileIdentity(const DirectoryHandle& folder, const char* name, FileIdentity& identity) {
    if (!folder.IsOpen())
        return false;
    std::wstring path = folder.LongPath();
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    path += WideFromUtf8(name);
    return IdentityOf(path, identity);
}

bool ReadFileIdentity(const std::string& path, FileIdentity& identity) {
    return IdentityOf(SystemPath(path), identity);
}

} // namespace quillary
