#include "support/run_program.h"

#include "support/scratch_dir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <map>

namespace quillary::test {

#ifdef _WIN32
namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty())
        return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// One argument quoted as CommandLineToArgvW and the C runtime read it back: backslashes are literal
// except before a quote, where they are doubled.
std::wstring Quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return arg;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

// The test's environment with the given variables set, as a block for CreateProcessW.
std::wstring EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& changes) {
    std::map<std::wstring, std::wstring> variables; // Windows sorts the block by name
    wchar_t* const strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring text = entry;
        const std::size_t equals = text.find(L'=', 1); // "=C:=C:\x" names start with '='
        if (equals != std::wstring::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    FreeEnvironmentStringsW(strings);
    for (const auto& [name, value] : changes)
        variables[Wide(name)] = Wide(value);
    std::wstring block;
    for (const auto& [name, value] : variables)
        block += name + L"=" + value + L'\0';
    return block + L'\0';
}

HANDLE InheritableFile(const fs::path& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(path.wstring().c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const fs::path& workingDir, const RunOptions& options) {
    ScratchDir capture;
    const fs::path outPath = capture.Path() / "stdout", errPath = capture.Path() / "stderr";
    const std::wstring application = fs::path(program).make_preferred().wstring();
    std::wstring commandLine = Quoted(application);
    for (const std::string& arg : args)
        commandLine += L" " + Quoted(Wide(arg));
    std::wstring environment = EnvironmentBlock(options.environment);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = InheritableFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = InheritableFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process{};
    const std::wstring folder = workingDir.wstring();
    const BOOL started = CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(),
                                        folder.c_str(), &startup, &process);
    CloseHandle(startup.hStdInput);
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    ProgramResult result;
    if (started) {
        if (WaitForSingleObject(process.hProcess, 120000) == WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, 255);
            WaitForSingleObject(process.hProcess, INFINITE);
        } else {
            DWORD code = 0;
            if (GetExitCodeProcess(process.hProcess, &code))
                result.exitCode = static_cast<int>(code);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    return result;
}

bool RunningAsRoot() {
    return false;
}

BackgroundProgram::~BackgroundProgram() = default;
bool BackgroundProgram::Start(const std::string&, const std::vector<std::string>&) {
    return false;
}
bool BackgroundProgram::HoldsFileStartingWith(const std::string&) const {
    return false;
}
bool BackgroundProgram::KillAndWait() {
    return false;
}
#else
namespace {

std::vector<char*> Arguments(const std::string& program, const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    return argv;
}

} // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const fs::path& workingDir, const RunOptions& options) {
    ScratchDir capture;
    const fs::path outPath = capture.Path() / "stdout", errPath = capture.Path() / "stderr";
    std::vector<char*> argv = Arguments(program, args);
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(workingDir.c_str()) != 0)
            _exit(125);
        const int outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(outFd, 1);
        dup2(errFd, 2);
        for (const auto& [name, value] : options.environment)
            setenv(name.c_str(), value.c_str(), 1);
        alarm(120);
        if (options.fileSizeLimit != 0) {
            signal(SIGXFSZ, SIG_DFL);
            const rlimit limit{options.fileSizeLimit, options.fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (options.memoryLimit != 0) {
            const rlimit limit{options.memoryLimit, options.memoryLimit};
            setrlimit(RLIMIT_AS, &limit);
        }
        if (options.asNobody && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(126);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ProgramResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    return result;
}

bool RunningAsRoot() {
    return geteuid() == 0;
}

BackgroundProgram::~BackgroundProgram() {
    KillAndWait();
}

bool BackgroundProgram::Start(const std::string& program, const std::vector<std::string>& args) {
    std::vector<char*> argv = Arguments(program, args);
    const pid_t child = fork();
    if (child == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, 1);
        dup2(devNull, 2);
        alarm(120);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    m_pid = child;
    return child > 0;
}

bool BackgroundProgram::HoldsFileStartingWith(const std::string& prefix) const {
    const fs::path fds = "/proc/" + std::to_string(m_pid) + "/fd";
    std::error_code ignored;
    for (auto fd = fs::directory_iterator(fds, ignored); fd != fs::directory_iterator();
         fd.increment(ignored)) {
        if (fs::read_symlink(fd->path(), ignored).string().rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

bool BackgroundProgram::KillAndWait() {
    if (m_pid <= 0)
        return false;
    kill(static_cast<pid_t>(m_pid), SIGKILL);
    int status = 0;
    waitpid(static_cast<pid_t>(m_pid), &status, 0);
    m_pid = -1;
    return WIFSIGNALED(status);
}
#endif

} // namespace quillary::test
