#include "app/console/console_host.h"

#include <unistd.h>

#include <cstdio>

namespace quillary {

ConsoleHost::ConsoleHost() : m_interactive(isatty(STDERR_FILENO) == 1) {}

ConsoleHost::~ConsoleHost() {
    EndProgressLine();
}

void ConsoleHost::ShowProgress(const std::string& text) {
    if (!m_interactive)
        return;
    std::fprintf(stderr, "\r%s\033[K", text.c_str());
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
        std::fprintf(stderr, "quillary-cli: %s\n", DescribeProblem(result.problems[i]).c_str());
    if (count > kMaxProblemLines)
        std::fprintf(stderr, "quillary-cli: %zu more problems not shown\n", count - kMaxProblemLines);
}

} // namespace quillary
