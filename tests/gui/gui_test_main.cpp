// The GUI tests' main: starts wxWidgets without its event loop so that each test can create windows,
// drive them and pump their events. Listing the tests needs no display. wx's log messages go to
// stderr instead of modal boxes, and a failed wx assertion fails the running test.
#include <cstring>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>

namespace {

class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line)
        << "wx assertion failed in " << func.utf8_str() << ": " << cond.utf8_str() << " " << msg.utf8_str();
}

} // namespace

int main(int argc, char** argv) {
    bool listOnly = false;
    for (int i = 1; i < argc; ++i)
        listOnly = listOnly || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    testing::InitGoogleTest(&argc, argv);
    if (listOnly)
        return RUN_ALL_TESTS();
    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "cannot start wxWidgets (no display?)\n");
        return 1;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxSetAssertHandler(FailOnAssert);
    // An active event loop lets the tests yield: windows then get painted, resized and their
    // queued calls run, as in the program's own loop.
    wxEventLoop loop;
    int status = 0;
    {
        wxEventLoopActivator activator(&loop);
        status = RUN_ALL_TESTS();
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return status;
}
