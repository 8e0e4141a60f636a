// Helpers of the GUI tests: a window built in a scratch program folder, a run that waits for its
// cancel, and event pumping.
#pragma once

#include <atomic>
#include <string>

#include <gtest/gtest.h>
#include <wx/radiobut.h>

#include "app/command_line.h"
#include "app/gui/listing_runner.h"
#include "app/gui/quillary_dlg.h"
#include "platform/program_locations.h"
#include "support/scratch_dir.h"
#include "window_driver.h"

namespace quillary::test {

inline CommandLineInfo Words(std::initializer_list<std::string> words) {
    return CommandLineInfo::Parse(std::vector<std::string>(words));
}

inline CQuillaryDlg* MakeWindow(const ScratchDir& dir, const CommandLineInfo& commandLine = {},
                                ListingRunnerFactory runner = {}) {
    return new CQuillaryDlg(commandLine, ProgramLocations::InDirectory(dir.Path().string()),
                            std::move(runner));
}

// Chooses an output type on Options 2 as a click on its radio button does.
inline void ChooseOutput(CQuillaryDlg& window, int radioId) {
    auto* radio = static_cast<wxRadioButton*>(window.Surface().Window(radioId));
    radio->SetValue(true);
    wxCommandEvent event(wxEVT_RADIOBUTTON, radioId);
    event.SetEventObject(radio);
    radio->ProcessWindowEvent(event);
}

// A run that enters the busy state and stays in it until it is cancelled, then reports a cancelled
// run in the host contract's order.
class WaitingRunner final : public ListingRunner {
public:
    explicit WaitingRunner(ListingHost& host) : m_host(host) {}

    void Run(RunTarget target) override {
        m_host.EnterBusyState();
        RunProgress progress;
        progress.folders = 1;
        progress.entries = 2;
        m_host.ShowProgress(progress);
        m_cancel.wait(false);
        m_host.LeaveBusyState();
        RunResult result;
        result.status = RunStatus::Cancelled;
        result.outputPath = target.outputPath;
        m_host.RunFinished(result);
    }

    void RequestCancel() override {
        m_cancel.store(true);
        m_cancel.notify_all();
    }

private:
    ListingHost& m_host;
    std::atomic<bool> m_cancel{false};
};

inline ListingRunnerFactory Waiting() {
    return [](ListingHost& host) { return std::make_unique<WaitingRunner>(host); };
}

} // namespace quillary::test
