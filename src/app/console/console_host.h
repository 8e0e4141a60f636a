// How a console run reaches the terminal: the progress text on one stderr line (only when stderr is a
// terminal), and when the run ends, one stderr line per problem it recorded (the first 20, then a count).
#pragma once

#include "engine/listing_host.h"

namespace quillary {

// Writes "quillary-cli: <message>" as one stderr line. Control characters are shown as "?": names and
// language texts in a message never act on the terminal.
void PrintMessage(const std::string& message);

class ConsoleHost : public ListingHost {
public:
    ConsoleHost();
    ~ConsoleHost() override;

    void ShowProgress(const std::string& text) override;
    void EnterBusyState() override {}
    void LeaveBusyState() override { EndProgressLine(); }
    void RunFinished(const RunResult& result) override;

    static constexpr std::size_t kMaxProblemLines = 20;

private:
    void EndProgressLine();

    bool m_interactive;
    bool m_lineOpen = false;
};

} // namespace quillary
