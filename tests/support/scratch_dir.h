// A scratch folder for one test, and small file helpers shared by the test suites.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace quillary::test {

namespace fs = std::filesystem;

// A fresh temporary folder, removed with its contents (even read-only ones) when the test ends.
class ScratchDir {
public:
    ScratchDir();
    // A fresh folder inside `parent` instead of the temporary folder.
    explicit ScratchDir(const fs::path& parent);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const fs::path& Path() const { return m_path; }
    // A path inside the folder.
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

// A fresh folder named `prefix` and six random letters inside `parent`.
fs::path MakeUniqueFolder(const fs::path& parent, const std::string& prefix);

// Sets a file's (or folder's, or link's own) modification and access times, in seconds since 1970.
// Fails the current test when the times cannot be set.
void SetTimes(const fs::path& path, std::int64_t modified, std::int64_t accessed);

// A path from UTF-8 text, and back. (A path made from a plain std::string takes it in the system's
// code page on Windows, where only ASCII names would survive.)
inline fs::path Utf8Path(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}
inline std::string Utf8Text(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Sets a file's size; a file grown so is sparse where the file system allows (std::filesystem's
// resize_file stops at 2 GiB with MinGW).
void SetFileSize(const fs::path& path, std::uint64_t size);

std::string ReadFile(const fs::path& path);
// Reads a text file the program wrote, with LF line ends. On Windows its lines end in CR LF: each line
// end is checked (a bare LF fails the current test) and returned as LF.
std::string ReadTextFile(const fs::path& path);
// The same for text the program wrote elsewhere (its standard output).
std::string TextFromNative(std::string text);
void WriteFile(const fs::path& path, const std::string& contents);

} // namespace quillary::test
