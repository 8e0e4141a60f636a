#include "platform/file_io.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <random>
#include <system_error>

#include "platform/case_fold.h"
#include "platform/utf8.h"
#include "platform/wide_text.h"
#include "platform/win32_error.h"

namespace quillary {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The length of the folder part of a path with its last separator ("c:\x\" in "c:\x\out.txt"), or of
// the drive of a drive-relative name ("c:" in "c:out.txt"); 0 for a bare name.
std::size_t FolderPartLength(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    if (separator != std::string::npos)
        return separator + 1;
    return path.size() >= 2 && path[1] == ':' ? 2 : 0;
}

// The folder part of a path ("." for a bare name); a folder's own trailing separator is kept only for
// a root ("c:\"), which names something other than "c:".
std::string FolderOf(const std::string& path) {
    std::size_t length = FolderPartLength(path);
    if (length == 0)
        return ".";
    while (length > 1 && IsSeparator(path[length - 1]) && !IsSeparator(path[length - 2]) &&
           !(length == 3 && path[1] == ':'))
        --length;
    return path.substr(0, length);
}

std::string NameOf(const std::string& path) {
    return path.substr(FolderPartLength(path));
}

// Ten letters or digits from the system's random source (std::random_device takes them from the
// system's cryptographic generator): a name nobody can guess or prepare.
std::string RandomSuffix() {
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::string suffix;
    for (int i = 0; i < 10; ++i)
        suffix += kLetters[device() % (sizeof kLetters - 1)];
    return suffix;
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

bool IsDevicePath(const std::string& path) {
    return (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] == '.' &&
            IsSeparator(path[3])) ||
           IsDeviceName(NameOf(path));
}

// A file's identity: the volume's serial number and the file's index on it.
struct FileId {
    std::uint64_t volume = 0, index = 0;
};

// The identity of the file or folder at `path`; a link itself, not its target, with `ownLink`.
bool IdentifyFile(const std::string& path, bool ownLink, FileId& id) {
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (ownLink ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const HANDLE handle =
        CreateFileW(SystemPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (!known)
        return false;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
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

// OpenDirect's ways of opening.
constexpr int kDirectFollow = 1;      // through a link; a device or an existing file, emptied
constexpr int kDirectRegularOnly = 2; // only an existing regular file (never a link), emptied
constexpr int kDirectDevice = 3;      // a device name, as the system maps it

// The attributes a replaced file passes on to its replacement (a read-only file is never replaced).
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

constexpr const char* kLinkInPlace = "a symbolic link is in its place";
constexpr const char* kNotRegular = "it is not a regular file";

} // namespace

struct OutputFile::OldFile {
    DWORD attributes = 0;
};

OutputFile::~OutputFile() {
    Discard();
}

bool OutputFile::Fail(int error) {
    m_error = ErrorText(error);
    return false;
}

bool OutputFile::Open(const std::string& path, OutputTarget target) {
    Discard();
    m_failed = m_refused = false;
    m_error.clear();
    m_path = path;
    m_sync = target == OutputTarget::AnyFile;
    m_haveTarget = false;
    m_folderDevice = m_folderInode = 0;
    m_lastWasCr = false;
    if (path == "-") {
        // Line ends are made here: the C library's text mode would turn "\r\n" into "\r\r\n".
        std::fflush(stdout);
        _setmode(_fileno(stdout), _O_BINARY);
        m_file = stdout;
        m_ownsFile = false;
        std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
        return true;
    }
    if (IsDevicePath(path)) {
        if (target == OutputTarget::RegularFileOnly) {
            m_error = kNotRegular;
            m_refused = true;
            return false;
        }
        return OpenDirect(path, kDirectDevice);
    }
    FileId folder;
    if (IdentifyFile(FolderOf(path), false, folder)) {
        m_folderDevice = folder.volume;
        m_folderInode = folder.index;
    }
    OldFile old;
    old.attributes = GetFileAttributesW(SystemPath(path).c_str());
    if (old.attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            return Fail(ErrnoFromWin32(error));
        return OpenReplacement(path, nullptr, target);
    }
    FileId existing;
    if (IdentifyFile(path, true, existing)) {
        m_haveTarget = true;
        m_targetDevice = existing.volume;
        m_targetInode = existing.index;
    }
    const bool link = (old.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const bool folderInPlace = (old.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // Windows never replaces a read-only file (Wine would): said at once, before any folder is read.
    if (!link && !folderInPlace && (old.attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return Fail(EACCES);
    if (!link && !folderInPlace)
        return OpenReplacement(path, &old, target);
    if (target == OutputTarget::RegularFileOnly) {
        m_error = link ? kLinkInPlace : kNotRegular;
        m_refused = true;
        return false;
    }
    if (folderInPlace)
        return Fail(EISDIR);
    return OpenDirect(path, kDirectFollow); // a link is written through, as on POSIX
}

bool OutputFile::OpenDirect(const std::string& path, int flags) {
    // A device is named as the system maps it ("nul", "\\.\COM1"); the long-path form would make it a
    // plain file name.
    const std::wstring name = flags == kDirectDevice ? WideFromUtf8(path) : SystemPath(path);
    const DWORD disposition = flags == kDirectFollow ? OPEN_ALWAYS : OPEN_EXISTING;
    const DWORD options = flags == kDirectRegularOnly ? FILE_FLAG_OPEN_REPARSE_POINT : 0;
    const HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, disposition, FILE_ATTRIBUTE_NORMAL | options, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return Fail(LastErrno());
    const bool disk = GetFileType(handle) == FILE_TYPE_DISK;
    if (flags == kDirectRegularOnly) {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!disk || GetFileInformationByHandle(handle, &info) == 0 ||
            (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
            CloseHandle(handle);
            m_error =
                (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? kLinkInPlace : kNotRegular;
            m_refused = true;
            return false;
        }
    }
    if (disk && SetEndOfFile(handle) == 0) {
        const int error = LastErrno();
        CloseHandle(handle);
        return Fail(error);
    }
    m_file = StreamOf(handle);
    if (m_file == nullptr)
        return Fail(errno);
    m_ownsFile = true;
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
    BY_HANDLE_FILE_INFORMATION written{};
    if (disk && GetFileInformationByHandle(HandleOf(m_file), &written) != 0) {
        m_haveTarget = true;
        m_targetDevice = written.dwVolumeSerialNumber;
        m_targetInode = (static_cast<std::uint64_t>(written.nFileIndexHigh) << 32) | written.nFileIndexLow;
    }
    return true;
}

bool OutputFile::OpenReplacement(const std::string& path, const OldFile* old, OutputTarget target) {
    // The name is shortened so that the temporary name is never too long where the name itself fits.
    m_tempStem =
        path.substr(0, FolderPartLength(path)) + "." + std::string(Utf8CutToBytes(NameOf(path), 200)) + ".";
    // A hidden file with a new, unguessable name; CREATE_NEW never opens one that is already there.
    HANDLE handle = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        m_tempPath = m_tempStem + RandomSuffix();
        handle =
            CreateFileW(SystemPath(m_tempPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        error = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    if (handle == INVALID_HANDLE_VALUE) {
        m_tempPath.clear();
        // A writable file in a folder where no new file can be made is written in place, as before.
        if (old != nullptr && ErrnoFromWin32(error) == EACCES)
            return OpenDirect(path,
                              target == OutputTarget::RegularFileOnly ? kDirectRegularOnly : kDirectFollow);
        return Fail(ErrnoFromWin32(error));
    }
    // The replacement shows as the old file did (hidden, system, archive); a new file as any new file.
    m_attributes = FILE_ATTRIBUTE_ARCHIVE;
    if (old != nullptr)
        m_attributes = (old->attributes & kKeptAttributes) != 0 ? old->attributes & kKeptAttributes
                                                                : FILE_ATTRIBUTE_NORMAL;
    m_file = StreamOf(handle);
    if (m_file == nullptr) {
        const int streamError = errno;
        Discard();
        return Fail(streamError);
    }
    m_ownsFile = true;
    m_replace = true;
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
    return true;
}

void OutputFile::WriteBytes(std::string_view bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) {
        if (!m_failed)
            m_error = ErrorText(errno);
        m_failed = true;
    }
}

void OutputFile::Write(std::string_view text) {
    if (m_file == nullptr || text.empty())
        return;
    // Most lines need one "\r" added at their end; a line from the CSV writer already has it.
    std::string converted;
    std::size_t copied = 0;
    for (std::size_t i = text.find('\n'); i != std::string_view::npos; i = text.find('\n', i + 1)) {
        const bool afterCr = i == 0 ? m_lastWasCr : text[i - 1] == '\r';
        if (afterCr)
            continue;
        if (converted.empty())
            converted.reserve(text.size() + text.size() / 16 + 2);
        converted.append(text.substr(copied, i - copied));
        converted += "\r\n";
        copied = i + 1;
    }
    if (copied == 0) {
        WriteBytes(text);
    } else {
        converted.append(text.substr(copied));
        WriteBytes(converted);
    }
    m_lastWasCr = text.back() == '\r';
}

bool OutputFile::Close() {
    if (m_file == nullptr)
        return !m_failed;
    auto failed = [this](int error) {
        if (!m_failed)
            m_error = ErrorText(error);
        m_failed = true;
    };
    if (std::fflush(m_file) != 0)
        failed(errno);
    // The main file's new contents reach the disk before its name replaces the old one, so that not
    // even a system crash loses both. Per-folder listings skip this: thousands of waits would slow a
    // run down, and a killed run leaves their old files anyway.
    if (m_sync && m_replace && !m_failed && FlushFileBuffers(HandleOf(m_file)) == 0)
        failed(LastErrno());
    if (m_ownsFile && std::fclose(m_file) != 0)
        failed(errno);
    m_file = nullptr;
    if (m_replace) {
        const std::wstring tempPath = SystemPath(m_tempPath);
        if (!m_failed && SetFileAttributesW(tempPath.c_str(), m_attributes) == 0)
            failed(LastErrno());
        const DWORD moveFlags = MOVEFILE_REPLACE_EXISTING | (m_sync ? MOVEFILE_WRITE_THROUGH : 0);
        if (!m_failed && MoveFileExW(tempPath.c_str(), SystemPath(m_path).c_str(), moveFlags) == 0)
            failed(LastErrno());
        if (m_failed)
            DeleteFileW(tempPath.c_str());
        m_tempPath.clear();
        m_replace = false;
    }
    return !m_failed;
}

void OutputFile::Discard() {
    if (m_file != nullptr && m_ownsFile)
        std::fclose(m_file);
    else if (m_file != nullptr)
        std::fflush(m_file);
    m_file = nullptr;
    if (!m_tempPath.empty())
        DeleteFileW(SystemPath(m_tempPath).c_str());
    m_tempPath.clear();
    m_replace = false;
}

bool OutputFile::IsSameFile(const std::string& path) const {
    if (m_path.empty() || m_path == "-")
        return false;
    FileId id;
    if (m_haveTarget && IdentifyFile(path, true, id) && id.volume == m_targetDevice &&
        id.index == m_targetInode)
        return true;
    return EqualsNoCase(NameOf(path), NameOf(m_path)) && IdentifyFile(FolderOf(path), false, id) &&
           id.volume == m_folderDevice && id.index == m_folderInode;
}

bool OutputFile::IsTemporaryFile(const std::string& path) const {
    FileId id;
    return !m_tempPath.empty() && EqualsNoCase(NameOf(path), NameOf(m_tempPath)) &&
           IdentifyFile(FolderOf(path), false, id) && id.volume == m_folderDevice &&
           id.index == m_folderInode;
}

bool NamesSpecialFile(const std::string& path) {
    return IsDevicePath(path);
}

InputFile::~InputFile() {
    if (m_handle != nullptr)
        CloseHandle(m_handle);
}

bool InputFile::Open(const std::string& path) {
    if (m_handle != nullptr)
        CloseHandle(m_handle);
    m_handle = nullptr;
    m_error = 0;
    const std::wstring name = SystemPath(path);
    const HANDLE handle =
        CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        m_error = LastErrno();
        // A folder cannot be opened as a file; like any other file that is not a regular one, that is
        // no error of its own.
        const DWORD attributes = GetFileAttributesW(name.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            m_error = 0;
        return false;
    }
    // Only regular files: a device or pipe would block or never end.
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle) != FILE_TYPE_DISK || GetFileInformationByHandle(handle, &info) == 0 ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        CloseHandle(handle);
        return false;
    }
    m_handle = handle;
    return true;
}

long long InputFile::Read(void* buffer, std::size_t size) {
    if (m_handle == nullptr)
        return -1;
    DWORD got = 0;
    const DWORD wanted = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    if (ReadFile(m_handle, buffer, wanted, &got, nullptr) == 0) {
        if (GetLastError() == ERROR_HANDLE_EOF)
            return 0;
        m_error = LastErrno();
        return -1;
    }
    return got;
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
