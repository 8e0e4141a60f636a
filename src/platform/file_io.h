// Buffered output files and plain input files, owned through RAII.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace quillary {

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates or truncates the file. "-" is standard output.
    bool Open(const std::string& path);
    void Write(std::string_view text);
    // Flushes and closes; false when any write failed.
    bool Close();

private:
    std::FILE* m_file = nullptr;
    bool m_ownsFile = false;
    bool m_failed = false;
};

class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens a regular file for reading; false (with LastError set) otherwise.
    bool Open(const std::string& path);
    // Bytes read (0 at the end), or -1 on an error (LastError set).
    long long Read(void* buffer, std::size_t size);
    // The error number of the last failed call; 0 for a file that exists but is not a regular file.
    int LastError() const { return m_error; }

private:
    int m_fd = -1;
    int m_error = 0;
};

// The system's text for an error number ("Permission denied").
std::string ErrorText(int error);

// Reads a whole small file; false when it cannot be opened, is a directory, or is larger than maxBytes.
bool ReadWholeFile(const std::string& path, std::string& contents, std::size_t maxBytes = 64u << 20);

} // namespace quillary
