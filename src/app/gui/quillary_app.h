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

    // The process's exit status: the window's loop ends with 0, an unattended run sets its outcome.
    int OnRun() override;
    void SetExitStatus(int status) { m_exitStatus = status; }

private:
    CommandLineInfo m_cmdInfo;
    int m_exitStatus = 0;
};

} // namespace quillary
