// Runs a program as a child process with its standard output and error captured, on both systems:
// fork and exec on POSIX, CreateProcessW on Windows (the arguments quoted so that the child's
// CommandLineToArgvW gives them back unchanged).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace quillary::test {

struct ProgramResult {
    int exitCode = -1; // -1: it did not exit by itself (killed by a signal, or after two minutes)
    std::string out;
    std::string err;
};

struct RunOptions {
    // Set in the child's environment on top of the test's own.
    std::vector<std::pair<std::string, std::string>> environment;
    // POSIX only: a file size limit (RLIMIT_FSIZE), set as a shell's "ulimit -f" sets it: SIGXFSZ
    // keeps its default action, so a program that does not ignore it is killed by a write past it.
    // 0 for none.
    std::uint64_t fileSizeLimit = 0;
    // POSIX only: an address space limit (RLIMIT_AS) in bytes, as "ulimit -v" sets; 0 for none.
    std::uint64_t memoryLimit = 0;
    // POSIX only: run as user and group 65534 without supplementary groups (the test must run as root).
    bool asNobody = false;
};

// Runs `program` with `args` in `workingDir`; a run that hangs is stopped after two minutes.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::filesystem::path& workingDir, const RunOptions& options = {});

// True when the tests run as the superuser (never on Windows).
bool RunningAsRoot();

// A program started in the background with its output discarded, killed at the end if still running.
// POSIX only: Start returns false on Windows.
class BackgroundProgram {
public:
    BackgroundProgram() = default;
    ~BackgroundProgram();
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    bool Start(const std::string& program, const std::vector<std::string>& args);
    // True when the program holds a file open whose path starts with `prefix` (from /proc).
    bool HoldsFileStartingWith(const std::string& prefix) const;
    // Kills the program and waits for it; true when it ended by that signal.
    bool KillAndWait();

private:
    long m_pid = -1;
};

} // namespace quillary::test
