#include "app/console/console_host.h"

#include <unistd.h>

#include <cstdio>

namespace quillary {

ConsoleHost::ConsoleHost() : m_interactive(isatty(STDERR_FILENO) == 1) {}

ConsoleHost::~ConsoleHost() {
    LeaveBusyState();
}

void ConsoleHost::ShowProgress(const std::string& text) {
    if (!m_interactive)
        return;
    std::fprintf(stderr, "\r%s\033[K", text.c_str());
    m_lineOpen = true;
}

void ConsoleHost::LeaveBusyState() {
    if (m_lineOpen)
        std::fputc('\n', stderr);
    m_lineOpen = false;
}

} // namespace quillary
