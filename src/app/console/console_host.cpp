#include "app/console/console_host.h"

#include <cstdio>

#include "platform/console.h"
#include "platform/utf8.h"

namespace quillary {

void PrintMessage(const std::string& message) {
    std::fprintf(stderr, "quillary-cli: %s\n", ShowableText(message).c_str());
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

void ConsoleHost::RunFinished(const RunResult& result) {
    EndProgressLine();
    const std::size_t count = result.problems.size();
    for (std::size_t i = 0; i < count && i < kMaxProblemLines; ++i)
        PrintMessage(DescribeProblem(result.problems[i]));
    if (count > kMaxProblemLines)
        PrintMessage(std::to_string(count - kMaxProblemLines) + " more problems not shown");
}

} // namespace quillary
