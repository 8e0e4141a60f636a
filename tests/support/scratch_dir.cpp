#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace quillary::test {

fs::path MakeUniqueFolder(const fs::path& parent, const std::string& prefix) {
    // One generator per thread: tests make scratch folders from several threads at once.
    thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 6; ++i)
            name += static_cast<char>('a' + random() % 26);
        std::error_code error;
        if (fs::create_directory(parent / name, error))
            return parent / name;
    }
    std::abort();
}

ScratchDir::ScratchDir() : m_path(MakeUniqueFolder(fs::temp_directory_path(), "quillary-test-")) {}

ScratchDir::ScratchDir(const fs::path& parent) : m_path(MakeUniqueFolder(parent, "quillary-test-")) {}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(m_path, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_symlink(ignored))
            continue;
        if (it->is_directory(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
#ifdef _WIN32
        else // a read-only file cannot be removed on Windows
            fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
#endif
    }
    fs::remove_all(m_path, ignored);
#ifdef _WIN32
    // A child process's handles on files here may close a moment after the process ended (Wine).
    for (int attempt = 0; attempt < 50 && fs::exists(m_path, ignored); ++attempt) {
        Sleep(20);
        fs::remove_all(m_path, ignored);
    }
#endif
}

#ifdef _WIN32
void SetTimes(const fs::path& path, std::int64_t modified, std::int64_t accessed) {
    // FILETIME counts 100 ns steps since 1601-01-01.
    const auto fileTime = [](std::int64_t seconds) {
        const std::uint64_t ticks = static_cast<std::uint64_t>(seconds + 11644473600LL) * 10000000ULL;
        FILETIME time;
        time.dwLowDateTime = static_cast<DWORD>(ticks);
        time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
        return time;
    };
    const HANDLE file = CreateFileW(
        path.wstring().c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    const FILETIME written = fileTime(modified), read = fileTime(accessed);
    const BOOL done = SetFileTime(file, nullptr, &read, &written);
    CloseHandle(file);
    ASSERT_TRUE(done) << path;
}
#else
void SetTimes(const fs::path& path, std::int64_t modified, std::int64_t accessed) {
    const timespec times[2] = {{static_cast<time_t>(accessed), 0}, {static_cast<time_t>(modified), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}
#endif

#ifdef _WIN32
void SetFileSize(const fs::path& path, std::uint64_t size) {
    const HANDLE file =
        CreateFileW(path.wstring().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD ignored = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    const BOOL done = SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end);
    CloseHandle(file);
    ASSERT_TRUE(done) << path;
}
#else
void SetFileSize(const fs::path& path, std::uint64_t size) {
    fs::resize_file(path, size);
}
#endif

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ReadTextFile(const fs::path& path) {
    return TextFromNative(ReadFile(path));
}

std::string TextFromNative(std::string text) {
#ifdef _WIN32
    std::string lines;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\n')
            EXPECT_TRUE(at > 0 && text[at - 1] == '\r') << "a line without CR LF in " << text;
        else if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
            continue;
        lines += text[at];
    }
    text = std::move(lines);
#endif
    return text;
}

void WriteFile(const fs::path& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

} // namespace quillary::test
