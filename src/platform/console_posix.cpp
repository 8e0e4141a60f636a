#include "platform/console.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace quillary {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

bool IsTerminal(ConsoleStream stream) {
    return isatty(stream == ConsoleStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

namespace {

// Set once before any other thread starts; read by the handler, which must not allocate.
char g_outOfMemoryLine[128];
int g_outOfMemoryStatus = 1;

void EndOutOfMemory() {
    const ssize_t ignored = write(STDERR_FILENO, g_outOfMemoryLine, std::strlen(g_outOfMemoryLine));
    (void)ignored;
    std::_Exit(g_outOfMemoryStatus);
}

} // namespace

void EndCleanlyOnResourceLimits(const char* program, int exitStatus) {
    std::snprintf(g_outOfMemoryLine, sizeof g_outOfMemoryLine,
                  "%s: out of memory; nothing more was written\n", program);
    g_outOfMemoryStatus = exitStatus;
    std::set_new_handler(EndOutOfMemory);
    std::signal(SIGXFSZ, SIG_IGN);
}

Utf8Console::Utf8Console() = default;
Utf8Console::~Utf8Console() = default;

} // namespace quillary
