#include "app/gui/quillary_app.h"

#include <cstdio>

#include "app/gui/quillary_dlg.h"
#include "platform/desktop.h"
#include "platform/program_locations.h"
#include "ui/wx_string.h"

namespace quillary {

// Start-up, in order: the platform services the window needs (nothing to prepare with wx on GTK: no
// 3-D look, no rich-edit library, no ActiveX hosting), the message table (built into the window with
// the product name filled in), the accelerators (attached to the window), the command line, and the
// main window. The program ends when that window has closed.
bool CQuillaryApp::OnInit() {
#ifdef _WIN32
    // Without a desktop the program fails with a message instead of crashing on its first window (the
    // status is OnRun's: a failed OnInit would exit with -1).
    if (!CanOpenWindows()) {
        std::fprintf(stderr, "quillary: cannot open a window: no display is available\n");
        m_exitStatus = 1;
        return true;
    }
#endif
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i)
        words.push_back(ToUtf8(argv[i]));
    m_cmdInfo = CommandLineInfo::Parse(words);
    auto* window = new CQuillaryDlg(m_cmdInfo, ProgramLocations::ForThisProgram());
    SetTopWindow(window);
    window->Show();
    return true;
}

int CQuillaryApp::OnRun() {
    if (GetTopWindow() == nullptr)
        return m_exitStatus;
    const int loopStatus = wxApp::OnRun();
    return m_exitStatus != 0 ? m_exitStatus : loopStatus;
}

} // namespace quillary
