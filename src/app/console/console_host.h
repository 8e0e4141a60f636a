// How a console run reaches the terminal: the progress on one stderr line (only when stderr is a
// terminal), ended when the run ends. What the run could not read is told by the listing session.
#pragma once

#include "engine/listing_host.h"
#include "listing/message_table.h"

namespace quillary {

// Writes "quillary-cli: <message>" as one stderr line. Control characters are shown as "?": names and
// language texts in a message never act on the terminal.
void PrintMessage(const std::string& message);

class ConsoleHost : public ListingHost {
public:
    // The progress line is worded in the language of `messages`, which must outlive the host.
    explicit ConsoleHost(const MessageTable& messages);
    ~ConsoleHost() override;

    // "Quillary v0.7, Dirs:12, Files:345", or "Quillary v0.7, CRC (/path/of/file) 40%".
    void ShowProgress(const RunProgress& progress) override;
    void EnterBusyState() override {}
    void LeaveBusyState() override { EndProgressLine(); }
    void RunFinished(const RunResult& result) override;

private:
    void EndProgressLine();

    const MessageTable& m_messages;
    bool m_interactive;
    bool m_lineOpen = false;
};

} // namespace quillary
