// Progress of a console run: the title's progress text on one stderr line, only when stderr is a
// terminal.
#pragma once

#include "engine/listing_engine.h"

namespace quillary {

class ConsoleHost : public ListingHost {
public:
    ConsoleHost();
    ~ConsoleHost() override;

    void ShowProgress(const std::string& text) override;
    void EnterBusyState() override {}
    void LeaveBusyState() override;

private:
    bool m_interactive;
    bool m_lineOpen = false;
};

} // namespace quillary
