#include "app/console/console_host.h"

#include <cstdio>

#include "listing/product.h"
#include "platform/console.h"
#include "platform/utf8.h"
#include "session/run_report.h"

namespace quillary {

void PrintMessage(const std::string& message) {
    std::fputs(ProgramMessageLine("quillary-cli", message).c_str(), stderr);
}

ConsoleHost::ConsoleHost(const MessageTable& messages)
    : m_messages(messages), m_interactive(IsTerminal(ConsoleStream::Error)) {}

ConsoleHost::~ConsoleHost() {
    EndProgressLine();
}

void ConsoleHost::ShowProgress(const RunProgress& progress) {
    if (!m_interactive)
        return;
    std::string text = std::string(kProductName) + " " + kVersionText + ", ";
    if (!progress.checksumFile.empty())
        text += "CRC (" + progress.checksumFile + ") " + std::to_string(progress.checksumPercent) + "%";
    else
        text += m_messages.Get(MSG_DIRS) + ":" + std::to_string(progress.folders) + ", " +
                m_messages.Get(MSG_FILES) + ":" + std::to_string(progress.entries);
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
