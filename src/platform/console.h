// The console program's contact with the system: its arguments and its standard streams.
#pragma once

#include <string>
#include <vector>

namespace quillary {

// The program's arguments after its own name, as UTF-8. On POSIX argv as it is (the bytes of the file
// system's names); on Windows decoded from the wide-character command line, where argv would hold
// them in the ANSI code page and lose every character outside it.
std::vector<std::string> ProgramArguments(int argc, char** argv);

enum class ConsoleStream { Output, Error };

// True when the stream is an interactive terminal (a console window on Windows), not a file, pipe or
// device.
bool IsTerminal(ConsoleStream stream);

// While it lives, standard output and standard error take UTF-8 text: on Windows a console window
// shows UTF-8 and follows the terminal control sequences of the progress line, and both settings are
// put back when the program ends. Nothing needs to change on POSIX.
class Utf8Console {
public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
#ifdef _WIN32
    unsigned m_savedCodePage = 0;
    unsigned long m_savedErrorMode = 0;
    bool m_errorModeChanged = false;
#endif
};

// From now on, running out of memory (in any thread) ends the program at once with the line
// "<program>: out of memory; nothing more was written" on standard error and exit status
// `exitStatus`, instead of an abort; a file replaced only when complete keeps its old contents. On
// POSIX a write past the file size limit ("ulimit -f") then fails with EFBIG, as on a full disk,
// instead of killing the program (SIGXFSZ is ignored). Called once, first thing in main.
void EndCleanlyOnResourceLimits(const char* program, int exitStatus);

#ifdef _WIN32
// Windows: the arguments of a command line after the program's name, split by the system's rules
// (quotes group, backslashes escape only quotes), as UTF-8.
std::vector<std::string> ArgumentsFromCommandLine(const std::wstring& commandLine);
#endif

} // namespace quillary
