#include "platform/held_folder.h"

#include <windows.h>

#include <cerrno>
#include <utility>

#include "platform/path_syntax.h"
#include "platform/wide_text.h"
#include "platform/win32_error.h"

namespace quillary {

HeldFolder::~HeldFolder() {
    Close();
}

HeldFolder::HeldFolder(HeldFolder&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_path(std::move(other.m_path)),
      m_identity(std::exchange(other.m_identity, {})), m_error(other.m_error) {}

HeldFolder& HeldFolder::operator=(HeldFolder&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_path = std::move(other.m_path);
        m_identity = std::exchange(other.m_identity, {});
        m_error = other.m_error;
    }
    return *this;
}

bool HeldFolder::IsOpen() const {
    return m_handle != nullptr;
}

void HeldFolder::Close() {
    if (m_handle != nullptr)
        CloseHandle(m_handle);
    m_handle = nullptr;
    m_identity = {};
}

bool HeldFolder::Open(const std::string& path, bool followLink) {
    Close();
    // Like a scanned folder: without trailing separators, and "c:" the root of the drive (a name
    // relative to the drive's current folder comes as "c:.").
    m_path = path;
    while (m_path.size() > 1 && kWindowsPaths.IsSeparator(m_path.back()))
        m_path.pop_back();
    const std::wstring name = SystemPath(kWindowsPaths.IsRootKey(m_path) ? m_path + "\\" : m_path);
    // Without FILE_SHARE_DELETE the folder cannot be renamed or removed while it is held.
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const HANDLE handle = CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        m_error = LastErrno();
        return false;
    }
    FILE_ATTRIBUTE_TAG_INFO tag{};
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) ||
        !GetFileInformationByHandle(handle, &info)) {
        m_error = LastErrno();
        CloseHandle(handle);
        return false;
    }
    m_error = 0;
    if ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(tag.ReparseTag))
        m_error = ELOOP; // opened itself, not followed
    else if (!(tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        m_error = ENOTDIR;
    if (m_error != 0) {
        CloseHandle(handle);
        return false;
    }
    m_handle = handle;
    m_identity = {info.dwVolumeSerialNumber,
                  (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow, true};
    return true;
}

bool HeldFolder::OpenChild(const HeldFolder& parent, const std::string& name) {
    const bool ends = !parent.m_path.empty() && kWindowsPaths.IsSeparator(parent.m_path.back());
    return Open(ends ? parent.m_path + name : parent.m_path + "\\" + name, false);
}

// A held folder cannot be moved, so its path still leads to it and to the folder it lies in.
bool HeldFolder::OpenParent(const HeldFolder& child) {
    const std::size_t cut = kWindowsPaths.FindLastSeparator(child.m_path);
    if (cut == std::string::npos || kWindowsPaths.IsRootKey(child.m_path)) {
        Close();
        m_error = ENOENT;
        return false;
    }
    return Open(child.m_path.substr(0, cut), false);
}

std::wstring HeldFolder::EntryPath(const std::string& name) const {
    const bool ends = !m_path.empty() && kWindowsPaths.IsSeparator(m_path.back());
    return SystemPath(ends ? m_path + name : m_path + "\\" + name);
}

} // namespace quillary
