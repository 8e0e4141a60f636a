// A fresh folder in the system's temporary folder for one benchmark run, removed with its contents at
// the end.
#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace quillary::bench {

class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& prefix) {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

} // namespace quillary::bench
