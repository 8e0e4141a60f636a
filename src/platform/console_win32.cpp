#include "platform/console.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/wide_text.h"

namespace quillary {

namespace {

HANDLE StreamHandle(ConsoleStream stream) {
    return GetStdHandle(stream == ConsoleStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

// The arguments after the first (the program's name) of a command line, as UTF-8.
bool SplitAfterProgramName(const wchar_t* commandLine, std::vector<std::string>& arguments) {
    int count = 0;
    LPWSTR* parts = CommandLineToArgvW(commandLine, &count);
    if (parts == nullptr)
        return false;
    for (int i = 1; i < count; ++i)
        arguments.push_back(Utf8FromWide(parts[i]));
    LocalFree(parts);
    return true;
}

} // namespace

std::vector<std::string> ArgumentsFromCommandLine(const std::wstring& commandLine) {
    // The system splits a command line with a program name in front; an empty one would give the
    // name of this program instead.
    std::vector<std::string> arguments;
    SplitAfterProgramName((L"program " + commandLine).c_str(), arguments);
    return arguments;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    if (!SplitAfterProgramName(GetCommandLineW(), arguments) && argc > 1)
        arguments.assign(argv + 1, argv + argc);
    return arguments;
}

bool IsTerminal(ConsoleStream stream) {
    // Only a console has a console mode; the NUL device, which the C library calls a terminal, has none.
    DWORD mode = 0;
    return GetConsoleMode(StreamHandle(stream), &mode) != 0;
}

namespace {

// Set once before any other thread starts; read by the handler, which must not allocate.
char g_outOfMemoryLine[128];
int g_outOfMemoryStatus = 1;

void EndOutOfMemory() {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), g_outOfMemoryLine,
              static_cast<DWORD>(std::strlen(g_outOfMemoryLine)), &written, nullptr);
    std::_Exit(g_outOfMemoryStatus);
}

} // namespace

void EndCleanlyOnResourceLimits(const char* program, int exitStatus) {
    std::snprintf(g_outOfMemoryLine, sizeof g_outOfMemoryLine,
                  "%s: out of memory; nothing more was written\r\n", program);
    g_outOfMemoryStatus = exitStatus;
    std::set_new_handler(EndOutOfMemory);
}

Utf8Console::Utf8Console() {
    m_savedCodePage = GetConsoleOutputCP();
    if (m_savedCodePage != 0 && m_savedCodePage != CP_UTF8)
        SetConsoleOutputCP(CP_UTF8);
    // The progress line ends with "erase to the end of the line" (ESC [ K).
    DWORD mode = 0;
    const HANDLE error = StreamHandle(ConsoleStream::Error);
    if (GetConsoleMode(error, &mode) != 0 && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) == 0 &&
        SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) {
        m_savedErrorMode = mode;
        m_errorModeChanged = true;
    }
}

Utf8Console::~Utf8Console() {
    // Text still buffered is shown with the code page it was written in.
    std::fflush(stdout);
    std::fflush(stderr);
    if (m_savedCodePage != 0 && m_savedCodePage != CP_UTF8)
        SetConsoleOutputCP(m_savedCodePage);
    if (m_errorModeChanged)
        SetConsoleMode(StreamHandle(ConsoleStream::Error), m_savedErrorMode);
}

} // namespace quillary
