// How a console run reaches the terminal: the progress text on one stderr line (only when stderr is a
// terminal), and when the run ends, one stderr line per problem it recorded (the first 20, then a count).
#pragma once

#include "engine/listing_host.h"

namespace quillary {

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
