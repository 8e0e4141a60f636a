#include "platform/regular_file.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>

#include "platform/directory_reader.h"
#include "platform/wide_text.h"
#include "platform/win32_error.h"

namespace quillary {

namespace {

constexpr long long kUnixEpochAsFileTime = 116444736000000000LL;
constexpr long long kFileTimeUnitsPerSecond = 10000000LL;
// ReadFile takes a 32-bit count: larger reads are made in pieces of this size.
constexpr std::size_t kLargestRead = 1u << 30;

// A count of 100-nanosecond units as whole seconds and the nanoseconds after them (also before 0).
void SplitUnits(long long units, long long& seconds, long long& nanoseconds) {
    seconds = units / kFileTimeUnitsPerSecond;
    long long rest = units % kFileTimeUnitsPerSecond;
    if (rest < 0) {
        --seconds;
        rest += kFileTimeUnitsPerSecond;
    }
    nanoseconds = rest * 100;
}

long long WriteUnits(const BY_HANDLE_FILE_INFORMATION& information) {
    return static_cast<long long>(static_cast<unsigned long long>(information.ftLastWriteTime.dwHighDateTime)
                                      << 32 |
                                  information.ftLastWriteTime.dwLowDateTime);
}

void FillStamp(const BY_HANDLE_FILE_INFORMATION& information, FileStamp& stamp) {
    stamp.size = static_cast<std::uint64_t>(information.nFileSizeHigh) << 32 | information.nFileSizeLow;
    long long seconds = 0, nanoseconds = 0;
    SplitUnits(WriteUnits(information) - kUnixEpochAsFileTime, seconds, nanoseconds);
    stamp.lastWriteSeconds = seconds;
    stamp.lastWriteNanoseconds = static_cast<long>(nanoseconds);
}

} // namespace

RegularFile::~RegularFile() {
    Close();
}

void RegularFile::Close() {
    if (m_handle != nullptr)
        CloseHandle(m_handle);
    m_handle = nullptr;
}

RegularFile::OpenResult RegularFile::OpenSystemPath(const std::wstring& path, FileStamp& stamp,
                                                    bool followLink) {
    Close();
    m_error = 0;
    // Backup semantics let a folder be opened too, so that it is told apart from a file that cannot be
    // read; the reparse-point flag opens a link itself instead of what it names.
    const DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_BACKUP_SEMANTICS |
                        (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        m_error = LastErrno();
        return OpenResult::Failed;
    }
    m_handle = handle;
    // A pipe or a character device is never read: it might never end, or wait for input.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        Close();
        return OpenResult::NotRegular;
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(handle, &information)) {
        m_error = LastErrno();
        Close();
        return OpenResult::Failed;
    }
    // Unless links are followed, a reparse point is opened as itself: a link, or a file whose contents
    // are kept elsewhere (in the cloud, say), which is not fetched just to be read here.
    const DWORD notRegular =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | (followLink ? 0 : FILE_ATTRIBUTE_REPARSE_POINT);
    if (information.dwFileAttributes & notRegular) {
        Close();
        return OpenResult::NotRegular;
    }
    FillStamp(information, stamp);
    return OpenResult::Opened;
}

RegularFile::OpenResult RegularFile::Open(const std::string& path, FileStamp& stamp, bool followLink) {
    return OpenSystemPath(SystemPath(path), stamp, followLink);
}

RegularFile::OpenResult RegularFile::OpenIn(const DirectoryHandle& folder, const char* name,
                                            FileStamp& stamp) {
    if (!folder.IsOpen()) {
        Close();
        m_error = EBADF;
        return OpenResult::Failed;
    }
    std::wstring path = folder.LongPath();
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    path += WideFromUtf8(name);
    return OpenSystemPath(path, stamp, false);
}

bool RegularFile::Stamp(FileStamp& stamp, FileIdentity* identity) {
    BY_HANDLE_FILE_INFORMATION information;
    if (m_handle == nullptr || !GetFileInformationByHandle(m_handle, &information)) {
        m_error = m_handle == nullptr ? EBADF : LastErrno();
        return false;
    }
    FillStamp(information, stamp);
    if (identity != nullptr && !FileIdentityOf(m_handle, information, *identity))
        *identity = FileIdentity{}; // matches no file the scan saw
    return true;
}

long long RegularFile::Read(void* buffer, std::size_t size) {
    if (m_handle == nullptr) {
        m_error = EBADF;
        return -1;
    }
    DWORD got = 0;
    if (!ReadFile(m_handle, buffer, static_cast<DWORD>(std::min(size, kLargestRead)), &got, nullptr)) {
        m_error = LastErrno();
        return -1;
    }
    return got;
}

long long RegularFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (m_handle == nullptr) {
        m_error = EBADF;
        return -1;
    }
    auto* dest = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        // On a handle opened for synchronous use, the offset in OVERLAPPED says where to read.
        const std::uint64_t at = offset + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD got = 0;
        if (!ReadFile(m_handle, dest + done, static_cast<DWORD>(std::min(size - done, kLargestRead)), &got,
                      &where)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            m_error = LastErrno();
            return -1;
        }
        if (got == 0)
            break; // the end of the file
        done += got;
    }
    return static_cast<long long>(done);
}

} // namespace quillary
