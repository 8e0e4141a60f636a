// The application object of the window `quillary`: prepares what the windows share (the message
// table, the parsed command line) and opens the main window. The program ends when that window is
// gone.
#pragma once

#include <wx/app.h>

#include "app/command_line.h"

namespace quillary {

class CQuillaryApp : public wxApp {
public:
    bool OnInit() override;

    const CommandLineInfo& CommandLine() const { return m_cmdInfo; }

private:
    CommandLineInfo m_cmdInfo;
};

} // namespace quillary
