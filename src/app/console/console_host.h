// How a console run reaches the terminal: the progress text on one stderr line (only when stderr is a
// terminal), ended when the run ends. What the run could not read is told by the listing session.
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

private:
    void EndProgressLine();

    bool m_interactive;
    bool m_lineOpen = false;
};

} // namespace quillary
