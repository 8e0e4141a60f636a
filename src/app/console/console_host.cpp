#include "app/console/console_host.h"

#include <cstdio>

#include "platform/console.h"
#include "platform/utf8.h"
#include "session/run_report.h"

namespace quillary {

void PrintMessage(const std::string& message) {
    std::fputs(ProgramMessageLine("quillary-cli", message).c_str(), stderr);
}

ConsoleHost::ConsoleHost() : m_interactive(IsTerminal(ConsoleStream::Error)) {}

ConsoleHost::~ConsoleHost() {
    EndProgressLine();
}

void ConsoleHost::ShowProgress(const std::string& text) {
    if (!m_interactive)
        return;
    std::fprintf(stderr, "\r%s\033[K", ShowableText(text).c_str());
    m_lineOpen = true;
}

void ConsoleHost::EndProgressLine() {
    if (m_lineOpen)
        std::fputc('\n', stderr);
    m_lineOpen = false;
}

void ConsoleHost::RunFinished(const RunResult&) {
    EndProgressLine();
}

} // namespace quillary
